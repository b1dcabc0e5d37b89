// Checks the two forms of LoopWren's GNOME Shell extension as the Shells that load them would parse
// them: the form for Shell 45 and later as an ES module that default-exports its extension and imports
// only what those Shells provide, the form for 43 and 44 as a script with init() and no imports, each
// claiming only its own Shell versions. Only 43 runs here (the other test file runs the extension on
// it), so the module form is parsed, not run. Usage: gjs extensionforms.js <folder with both forms>
const {GLib} = imports.gi;

const folder = ARGV[0];
const uuid = 'loopwren@loopwren.github.io';
let failures = 0;

function check(condition, what) {
    if (!condition) {
        printerr(`FAIL: ${what}`);
        failures++;
    }
}

function read(form, file) {
    const [, bytes] = GLib.file_get_contents(`${folder}/${form}/${uuid}/${file}`);
    return new TextDecoder().decode(bytes);
}

const modules = Reflect.parse(read('modules', 'extension.js'), {target: 'module'});
const imported = modules.body.filter(node => node.type === 'ImportDeclaration')
    .map(node => node.moduleRequest ? node.moduleRequest.source.value : node.source.value);
check(imported.length > 0 && imported.every(source =>
    source.startsWith('gi://') || source.startsWith('resource:///org/gnome/shell/')),
`the module form imports only from gi:// and the Shell: ${imported}`);
check(modules.body.some(node => node.type === 'ExportDeclaration' && node.isDefault),
    'the module form has no default export');

const legacy = Reflect.parse(read('legacy', 'extension.js'), {target: 'script'});
check(legacy.body.some(node => node.type === 'FunctionDeclaration' && node.id.name === 'init'),
    'the script form has no init()');

const versions = form => JSON.parse(read(form, 'metadata.json'))['shell-version'].map(Number);
check(JSON.parse(read('legacy', 'metadata.json')).uuid === uuid, 'the metadata names another uuid');
check(versions('legacy').every(v => v >= 43 && v < 45), `script form versions ${versions('legacy')}`);
check(versions('modules').every(v => v >= 45), `module form versions ${versions('modules')}`);

if (failures > 0)
    imports.system.exit(1);
print('both forms of the extension parse as their Shells load them');
