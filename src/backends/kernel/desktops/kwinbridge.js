// LoopWren's hands inside KWin: it reports where the pointer is and the windows, and focuses and places
// them. LoopWren loads it over D-Bus with a first line that sets `loopwren` (the bus name and object to
// answer, the token of the request, the command), and the script answers through callDBus.
//
// One script serves Plasma 5.27 and Plasma 6: the names differ (clientList/windowList,
// activeClient/activeWindow, geometry/frameGeometry), so each is looked up before use.

var bridgeInterface = "io.github.loopwren.KWinBridge";

function send(method, argument)
{
    if (argument === undefined)
        callDBus(loopwren.service, loopwren.path, bridgeInterface, method, loopwren.token);
    else
        callDBus(loopwren.service, loopwren.path, bridgeInterface, method, loopwren.token, argument);
}

function answer(result) { send("answer", JSON.stringify(result)); }

function allWindows() { return workspace.windowList ? workspace.windowList() : workspace.clientList(); }

function activeWindow()
{
    return workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient;
}

// The first 16 hex digits of KWin's id for the window: LoopWren keeps them as a 64-bit handle.
function keyOf(window)
{
    return String(window.internalId).replace(/[{}-]/g, "").substring(0, 16).toLowerCase();
}

function frameOf(window)
{
    var frame = window.frameGeometry !== undefined ? window.frameGeometry : window.geometry;
    return {x : frame.x, y : frame.y, width : frame.width, height : frame.height};
}

// The windows a taskbar shows: no panels, pop-ups or windows that ask to be left out.
function isListed(window)
{
    return !window.deleted && !window.skipTaskbar && (window.normalWindow || window.dialog);
}

function describe(window, active)
{
    return {
        key : keyOf(window),
        pid : window.pid,
        desktopFileName : String(window.desktopFileName || ""),
        resourceClass : String(window.resourceClass || ""),
        resourceName : String(window.resourceName || ""),
        frame : frameOf(window),
        active : window === active,
        minimized : window.minimized
    };
}

// The window of that key, or the first listed window of the process that owns it.
function find(key, pid, firstOfProcess)
{
    var windows = allWindows();
    var found = null;
    for (var i = 0; i < windows.length; ++i) {
        if (keyOf(windows[i]) === key)
            found = windows[i];
    }
    if (firstOfProcess && pid) {
        for (var j = 0; j < windows.length; ++j) {
            if (windows[j].pid === pid && isListed(windows[j]))
                return windows[j];
        }
    }
    return found;
}

function listWindows()
{
    var active = activeWindow();
    var listed = [];
    var windows = allWindows();
    for (var i = 0; i < windows.length; ++i) {
        if (isListed(windows[i]))
            listed.push(describe(windows[i], active));
    }
    answer(listed);
}

function activate(command)
{
    var window = find(command.key, command.pid, false);
    if (!window)
        return answer({done : false});
    if (window.minimized)
        window.minimized = false;
    // KWin switches to the window's virtual desktop itself when it activates a window.
    if (workspace.activeWindow !== undefined)
        workspace.activeWindow = window;
    else
        workspace.activeClient = window;
    answer({done : true});
}

function isNumber(value) { return typeof value === "number" && isFinite(value); }

function place(command)
{
    var window = find(command.key, command.pid, true);
    if (!window)
        return answer({done : false});
    // A full-screen or maximised window keeps its size whatever is asked.
    if (window.fullScreen)
        window.fullScreen = false;
    if (window.setMaximize)
        window.setMaximize(false, false);
    // Parts not asked for keep the frame KWin reports now (for a window just restored from maximised
    // that is still the maximised one: the application has not drawn the restored size yet).
    var frame = frameOf(window);
    var wanted = {
        x : isNumber(command.x) ? command.x : frame.x,
        y : isNumber(command.y) ? command.y : frame.y,
        width : isNumber(command.width) ? command.width : frame.width,
        height : isNumber(command.height) ? command.height : frame.height
    };
    // Position and size in one step: KWin moves the frame and asks the application for the size
    // together, and the frame lands exactly there (measured on KWin 5.27 with Breeze decorations).
    window.frameGeometry = typeof Qt !== "undefined" && Qt.rect
                               ? Qt.rect(wanted.x, wanted.y, wanted.width, wanted.height)
                               : wanted;
    answer({done : true, key : keyOf(window)});
}

// Every change, pushed as it happens, so a click recorded on LoopWren's side carries the position of its
// press rather than a later one.
function watchPointer()
{
    var push = function() {
        var position = workspace.cursorPos;
        send("pointer", position.x + " " + position.y);
    };
    workspace.cursorPosChanged.connect(push);
    push();
}

var loopwrenCommands =
    {windows : listWindows, activate : activate, place : place, watchPointer : watchPointer};

loopwrenCommands[loopwren.command.op](loopwren.command);
