// LoopWren's service inside GNOME Shell: where the pointer is, and the other applications' windows
// listed, focused and placed. Only the compositor knows these on Wayland.
//
// The one body of both forms of the extension: gnomeshellextension.cmake puts the imports of Shell 43-44
// (imports.gi) or of Shell 45+ (ES modules) before it and the entry point after it. It names Gio,
// GLib, Meta, Shell and Main as the imports bring them.

const kBusName = 'io.github.loopwren.Shell';
const kObjectPath = '/io/github/loopwren/Shell';
const kInterface = `
<node>
  <interface name="io.github.loopwren.Shell1">
    <method name="GetPointer">
      <arg type="i" direction="out" name="x"/>
      <arg type="i" direction="out" name="y"/>
    </method>
    <method name="GetStageSize">
      <arg type="i" direction="out" name="width"/>
      <arg type="i" direction="out" name="height"/>
    </method>
    <method name="ListWindows">
      <arg type="s" direction="out" name="windows"/>
    </method>
    <method name="Activate">
      <arg type="t" direction="in" name="id"/>
      <arg type="b" direction="out" name="found"/>
    </method>
    <method name="Place">
      <arg type="t" direction="in" name="id"/>
      <arg type="b" direction="in" name="move"/>
      <arg type="i" direction="in" name="x"/>
      <arg type="i" direction="in" name="y"/>
      <arg type="b" direction="in" name="resize"/>
      <arg type="i" direction="in" name="width"/>
      <arg type="i" direction="in" name="height"/>
      <arg type="b" direction="out" name="found"/>
    </method>
    <signal name="PointerMoved">
      <arg type="i" name="x"/>
      <arg type="i" name="y"/>
    </signal>
  </interface>
</node>`;

function loopwrenCursorTracker() {
    // Shell 44 and later reach the tracker through the backend; 43 through the display.
    if (global.backend && global.backend.get_cursor_tracker)
        return global.backend.get_cursor_tracker();
    return Meta.CursorTracker.get_for_display(global.display);
}

function loopwrenWindows() {
    return global.get_window_actors()
        .map(actor => actor.get_meta_window())
        .filter(win => win && !win.is_override_redirect() &&
                win.get_window_type() !== Meta.WindowType.DESKTOP);
}

class LoopWrenShellService {
    constructor() {
        this._dbus = Gio.DBusExportedObject.wrapJSObject(kInterface, this);
        this._dbus.export(Gio.DBus.session, kObjectPath);
        this._tracker = loopwrenCursorTracker();
        // Pushed at each move, so that a recorder reading the devices has the position of a press
        // at hand without asking (and waiting for) the shell.
        this._moved = this._tracker.connect('position-invalidated', () => this._pushPointer());
        this._name = Gio.bus_own_name_on_connection(Gio.DBus.session, kBusName,
            Gio.BusNameOwnerFlags.NONE, null, null);
    }

    destroy() {
        Gio.bus_unown_name(this._name);
        this._tracker.disconnect(this._moved);
        this._dbus.unexport();
    }

    _pushPointer() {
        const [x, y] = global.get_pointer();
        if (x === this._lastX && y === this._lastY)
            return;
        this._lastX = x;
        this._lastY = y;
        this._dbus.emit_signal('PointerMoved', new GLib.Variant('(ii)', [x, y]));
    }

    GetPointer() {
        const [x, y] = global.get_pointer();
        return [x, y];
    }

    GetStageSize() {
        return [global.stage.width, global.stage.height];
    }

    ListWindows() {
        const tracker = Shell.WindowTracker.get_default();
        const focused = global.display.get_focus_window();
        const windows = loopwrenWindows().map(win => {
            const app = tracker.get_window_app(win);
            const frame = win.get_frame_rect();
            return {
                id: win.get_id(),
                desktopId: app ? app.get_id() : '',
                appName: app ? app.get_name() : '',
                wmClass: win.get_wm_class() || '',
                appId: win.get_gtk_application_id() || '',
                pid: win.get_pid(),
                x: frame.x,
                y: frame.y,
                width: frame.width,
                height: frame.height,
                focused: win === focused,
                maximized: win.get_maximized() !== 0,
                stacking: win.get_stable_sequence(),
            };
        });
        // The order the windows were opened in, as the recorder's "first window" means.
        windows.sort((a, b) => a.stacking - b.stacking);
        return JSON.stringify(windows);
    }

    _window(id) {
        return loopwrenWindows().find(win => win.get_id() === id) || null;
    }

    Activate(id) {
        const win = this._window(id);
        if (!win)
            return false;
        Main.activateWindow(win);
        return true;
    }

    Place(id, move, x, y, resize, width, height) {
        const win = this._window(id);
        if (!win)
            return false;
        // A maximised or full-screen window keeps its place whatever it is asked.
        if (win.is_fullscreen())
            win.unmake_fullscreen();
        if (win.get_maximized() !== 0) {
            if (Meta.MaximizeFlags)
                win.unmaximize(Meta.MaximizeFlags.BOTH);
            else
                win.unmaximize();
        }
        const frame = win.get_frame_rect();
        // The position first, so that a size the application takes its time to draw is placed where
        // asked; the size then keeps that top-left.
        if (move)
            win.move_frame(true, x, y);
        if (resize)
            win.move_resize_frame(true, move ? x : frame.x, move ? y : frame.y, width, height);
        return true;
    }
}
