#include "x11userinputwatch.h"

#include "keycodetable.h"
#include "x11connection.h"

#include <QSocketNotifier>

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <cmath>
#include <cstring>

namespace loopwren {
namespace {

// XI 2.1 delivers raw events to the root window without a grab.
bool offersRawEvents(Display* display, int* opcode)
{
    int event = 0, error = 0;
    if (!XQueryExtension(display, "XInputExtension", opcode, &event, &error))
        return false;
    int major = 2, minor = 2;
    return XIQueryVersion(display, &major, &minor) == Success && (major > 2 || minor >= 1);
}

} // namespace

X11UserInputWatch::X11UserInputWatch(std::string displayName) : m_displayName(std::move(displayName)) {}

X11UserInputWatch::~X11UserInputWatch() { stop(); }

QString X11UserInputWatch::problem()
{
    if (!m_problem) {
        const std::unique_ptr<X11Connection> connection = X11Connection::open(m_displayName);
        int opcode = 0;
        if (!connection)
            m_problem = QStringLiteral("the X display cannot be opened");
        else if (!offersRawEvents(connection->display(), &opcode))
            m_problem = QStringLiteral("the X server offers no XInput 2.1");
        else
            m_problem = QString();
    }
    return *m_problem;
}

bool X11UserInputWatch::start(const std::vector<std::uint16_t>& ignoredKeys, std::function<void()> used)
{
    stop();
    m_connection = X11Connection::open(m_displayName);
    if (!m_connection || !offersRawEvents(m_connection->display(), &m_opcode)) {
        m_connection.reset();
        return false;
    }
    Display* display = m_connection->display();
    m_used = std::move(used);
    for (const std::uint16_t key : ignoredKeys) {
        if (const auto evdev = KeyCodeTable::evdevCode(key))
            m_ignoredKeycodes.insert(*evdev + 8);
    }
    // Modifier keys alone change nothing on the desktop, and they begin every hotkey.
    if (XModifierKeymap* modifiers = XGetModifierMapping(display)) {
        for (int i = 0; i < 8 * modifiers->max_keypermod; ++i) {
            if (modifiers->modifiermap[i] != 0)
                m_ignoredKeycodes.insert(modifiers->modifiermap[i]);
        }
        XFreeModifiermap(modifiers);
    }

    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XIEventMask mask{XIAllDevices, sizeof(bits), bits};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawButtonPress);
    XISetMask(bits, XI_RawMotion);
    XISetMask(bits, XI_HierarchyChanged);
    XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
    learnDevices();
    XSync(display, False);

    m_notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(display), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] { readEvents(); });
    return true;
}

void X11UserInputWatch::stop()
{
    // Often called from within the notifier's own signal: it goes once that has returned.
    if (m_notifier) {
        m_notifier->setEnabled(false);
        m_notifier.release()->deleteLater();
    }
    m_connection.reset();
    m_devices.clear();
    m_ignoredKeycodes.clear();
    m_used = nullptr;
}

void X11UserInputWatch::learnDevices()
{
    Display* display = m_connection->display();
    const Atom xtestProperty = XInternAtom(display, "XTEST Device", True);
    int count = 0;
    XIDeviceInfo* devices = XIQueryDevice(display, XIAllDevices, &count);
    std::map<int, Device> learnt;
    for (int i = 0; i < count; ++i) {
        const XIDeviceInfo& info = devices[i];
        Device device;
        // The server marks its XTEST devices with a property; their names say so too.
        device.synthetic = std::strstr(info.name, "XTEST") != nullptr;
        if (xtestProperty != 0) {
            int propertyCount = 0;
            Atom* properties = XIListProperties(display, info.deviceid, &propertyCount);
            for (int p = 0; p < propertyCount; ++p)
                device.synthetic = device.synthetic || properties[p] == xtestProperty;
            XFree(properties);
        }
        for (int c = 0; c < info.num_classes; ++c) {
            if (info.classes[c]->type != XIValuatorClass)
                continue;
            const auto* valuator = reinterpret_cast<const XIValuatorClassInfo*>(info.classes[c]);
            if (valuator->number <= 1)
                device.axes[valuator->number] = {valuator->mode == XIModeAbsolute, valuator->min, valuator->max};
        }
        // What a device had moved so far stays with it across a change elsewhere.
        if (const auto known = m_devices.find(info.deviceid); known != m_devices.end()) {
            device.dx = known->second.dx;
            device.dy = known->second.dy;
            device.anchored = known->second.anchored;
            device.anchorX = known->second.anchorX;
            device.anchorY = known->second.anchorY;
        }
        learnt[info.deviceid] = device;
    }
    XIFreeDeviceInfo(devices);
    m_devices = std::move(learnt);
}

void X11UserInputWatch::readEvents()
{
    if (!m_connection)
        return;
    Display* display = m_connection->display();
    while (m_connection && !m_connection->isBroken() && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        XGenericEventCookie* cookie = &event.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != m_opcode || !XGetEventData(display, cookie))
            continue;
        bool used = false;
        if (cookie->evtype == XI_HierarchyChanged)
            learnDevices();
        else
            used = counts(cookie->data);
        XFreeEventData(display, cookie);
        if (used) {
            // Called once; it may stop this watch from within.
            const std::function<void()> callback = std::move(m_used);
            stop();
            if (callback)
                callback();
            return;
        }
    }
    if (m_connection && m_connection->isBroken())
        stop();
}

bool X11UserInputWatch::counts(const void* rawEvent)
{
    const auto* raw = static_cast<const XIRawEvent*>(rawEvent);
    // Selected for every device, each input comes once from its slave device and once more from the
    // master it drives; the slave's is the one looked at.
    if (raw->deviceid != raw->sourceid)
        return false;
    const auto found = m_devices.find(raw->sourceid);
    if (found == m_devices.end() || found->second.synthetic)
        return false;
    switch (raw->evtype) {
    case XI_RawKeyPress:
        return m_ignoredKeycodes.count(raw->detail) == 0;
    case XI_RawButtonPress:
        return true;
    case XI_RawMotion:
        return moved(found->second, raw);
    default:
        return false;
    }
}

bool X11UserInputWatch::moved(Device& device, const void* rawEvent)
{
    const auto* raw = static_cast<const XIRawEvent*>(rawEvent);
    Display* display = m_connection->display();
    const double extent[2] = {double(DisplayWidth(display, DefaultScreen(display))),
                              double(DisplayHeight(display, DefaultScreen(display)))};
    double value[2] = {0, 0};
    bool present[2] = {false, false};
    // Values come packed, one for each bit set in the mask, in the order of the bits.
    int next = 0;
    for (int bit = 0; bit < raw->valuators.mask_len * 8; ++bit) {
        if (!XIMaskIsSet(raw->valuators.mask, bit))
            continue;
        if (bit <= 1) {
            value[bit] = raw->raw_values[next];
            present[bit] = true;
        }
        ++next;
    }
    double position[2] = {0, 0};
    bool absolute = false;
    for (int axis = 0; axis < 2; ++axis) {
        const auto known = device.axes.find(axis);
        if (!present[axis] || known == device.axes.end())
            continue;
        const Axis& a = known->second;
        if (a.absolute) {
            absolute = true;
            // Device units to pixels, where the device says its range.
            position[axis] = a.maximum > a.minimum ? (value[axis] - a.minimum) / (a.maximum - a.minimum) * extent[axis]
                                                   : value[axis];
        } else {
            (axis == 0 ? device.dx : device.dy) += value[axis];
        }
    }
    if (absolute) {
        if (!device.anchored) {
            device.anchored = true;
            device.anchorX = present[0] ? position[0] : 0;
            device.anchorY = present[1] ? position[1] : 0;
            return false;
        }
        device.dx = present[0] ? position[0] - device.anchorX : device.dx;
        device.dy = present[1] ? position[1] - device.anchorY : device.dy;
    }
    return std::hypot(device.dx, device.dy) > kMoveThreshold;
}

} // namespace loopwren
