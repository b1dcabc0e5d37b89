"""python-dbusmock template: a stand-in for a desktop's GlobalShortcuts portal.

No desktop with the portal (KDE Plasma, GNOME 48) runs on the test machines, so this plays the part of
one on a private session bus. It answers through Request objects as the portal does, binds what it is
asked, describing each trigger the way KDE does ("CTRL+SHIFT+r" reads "Ctrl+Shift+R"), except that
the desktop puts its own choice on the shortcuts named in the parameter "choices" ({id: description}).
With "refuse" true the user declines the binding. With "registry" true it takes an application's id
as xdg-desktop-portal 1.19.4+ does (once, before any other call); without, as an older portal, it does
not know the method.

Control from the test (interface org.freedesktop.DBus.Mock): BoundTriggers() -> {id: preferred
trigger} of the last binding, Calls() -> the portal's methods called so far, in order ("Register
app-id", "CreateSession", "BindShortcuts"), Press(id) and Release(id) send Activated and Deactivated,
Rebind(id, description) sends ShortcutsChanged as after a change in the desktop's settings.
"""

import dbus
from dbusmock import MOCK_IFACE, mockobject

BUS_NAME = "org.freedesktop.portal.Desktop"
MAIN_OBJ = "/org/freedesktop/portal/desktop"
MAIN_IFACE = "org.freedesktop.portal.GlobalShortcuts"
SYSTEM_BUS = False

REQUEST_IFACE = "org.freedesktop.portal.Request"
SESSION_IFACE = "org.freedesktop.portal.Session"
REGISTRY_IFACE = "org.freedesktop.host.portal.Registry"


def load(mock, parameters):
    mock.AddProperties(MAIN_IFACE, {"version": dbus.UInt32(parameters.get("version", 1))})
    mock.choices = dict(parameters.get("choices", {}))
    mock.refuse = bool(parameters.get("refuse", False))
    mock.registry = bool(parameters.get("registry", False))
    mock.calls = []
    mock.session = ""
    mock.bound = {}


def describe(trigger):
    words = {"CTRL": "Ctrl", "ALT": "Alt", "SHIFT": "Shift", "LOGO": "Meta"}
    return "+".join(words.get(part, part[:1].upper() + part[1:]) for part in trigger.split("+"))


def answer(mock, sender, token, code, results):
    path = "/org/freedesktop/portal/desktop/request/%s/%s" % (sender[1:].replace(".", "_"), token)
    if path not in mockobject.objects:
        mock.AddObject(path, REQUEST_IFACE, {}, [])
    mockobject.objects[path].EmitSignal(REQUEST_IFACE, "Response", "ua{sv}", [dbus.UInt32(code), results])
    return dbus.ObjectPath(path)


def shortcut_list(mock):
    return dbus.Array(
        [dbus.Struct((sid, {"description": dbus.String(entry[0], variant_level=1),
                            "trigger_description": dbus.String(entry[1], variant_level=1)}),
                     signature="sa{sv}")
         for sid, entry in mock.bound.items()],
        signature="(sa{sv})")


@dbus.service.method(MAIN_IFACE, in_signature="a{sv}", out_signature="o", sender_keyword="sender")
def CreateSession(self, options, sender):
    self.calls.append("CreateSession")
    self.session = "/org/freedesktop/portal/desktop/session/%s/%s" % (
        sender[1:].replace(".", "_"), options["session_handle_token"])
    if self.session not in mockobject.objects:
        self.AddObject(self.session, SESSION_IFACE, {}, [("Close", "", "", "")])
    return answer(self, sender, options["handle_token"], 0, {"session_handle": dbus.String(self.session, variant_level=1)})


@dbus.service.method(MAIN_IFACE, in_signature="oa(sa{sv})sa{sv}", out_signature="o", sender_keyword="sender")
def BindShortcuts(self, session, shortcuts, _parent, options, sender):
    self.calls.append("BindShortcuts")
    if self.refuse or session != self.session:
        return answer(self, sender, options["handle_token"], 1, {})
    self.preferred = {sid: str(props.get("preferred_trigger", "")) for sid, props in shortcuts}
    self.bound = {sid: (str(props["description"]),
                        self.choices.get(sid, describe(str(props.get("preferred_trigger", "")))))
                  for sid, props in shortcuts}
    return answer(self, sender, options["handle_token"], 0, {"shortcuts": shortcut_list(self)})


@dbus.service.method(REGISTRY_IFACE, in_signature="sa{sv}", out_signature="")
def Register(self, app_id, _options):
    if not self.registry:
        raise dbus.exceptions.DBusException("No such method", name="org.freedesktop.DBus.Error.UnknownMethod")
    if self.calls:
        raise dbus.exceptions.DBusException("Registered too late or twice", name="org.freedesktop.portal.Error.Failed")
    self.calls.append("Register " + app_id)


@dbus.service.method(MOCK_IFACE, in_signature="", out_signature="as")
def Calls(self):
    return dbus.Array(self.calls, signature="s")


@dbus.service.method(MOCK_IFACE, in_signature="", out_signature="a{ss}")
def BoundTriggers(self):
    return dbus.Dictionary(getattr(self, "preferred", {}), signature="ss")


def emit(mock, name, shortcut_id):
    mock.EmitSignal(MAIN_IFACE, name, "osta{sv}",
                    [dbus.ObjectPath(mock.session), shortcut_id, dbus.UInt64(0), dbus.Dictionary({}, signature="sv")])


@dbus.service.method(MOCK_IFACE, in_signature="s", out_signature="")
def Press(self, shortcut_id):
    emit(self, "Activated", shortcut_id)


@dbus.service.method(MOCK_IFACE, in_signature="s", out_signature="")
def Release(self, shortcut_id):
    emit(self, "Deactivated", shortcut_id)


@dbus.service.method(MOCK_IFACE, in_signature="ss", out_signature="")
def Rebind(self, shortcut_id, description):
    self.bound[shortcut_id] = (self.bound[shortcut_id][0], description)
    self.EmitSignal(MAIN_IFACE, "ShortcutsChanged", "oa(sa{sv})", [dbus.ObjectPath(self.session), shortcut_list(self)])
