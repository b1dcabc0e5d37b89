#include "kernelcapturesession.h"

#include "replaydevicefilter.h"

#include <fcntl.h>
#include <libinput.h>
#include <libudev.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace loopwren {

namespace {

std::string readSysfs(const std::string& path)
{
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

bool isReplayDeviceInSysfs(const std::string& node)
{
    const std::string device = "/sys/class/input/" + node.substr(node.rfind('/') + 1) + "/device/";
    const auto hex = [](const std::string& text) {
        return static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 16));
    };
    return ReplayDeviceFilter::matches(readSysfs(device + "name"), hex(readSysfs(device + "id/vendor")),
                                       hex(readSysfs(device + "id/product")));
}

constexpr const char* kSeat = "seat0";

// Marks a device whose input is left out; its address is the mark.
char kSkippedDevice;

void logLine(const std::string& text)
{
    std::printf("LoopWren kernel input: %s\n", text.c_str());
    std::fflush(stdout);
}

std::optional<double> scrollAxis(libinput_event_pointer* pointer, libinput_pointer_axis axis, bool wheel)
{
    if (!libinput_event_pointer_has_axis(pointer, axis))
        return std::nullopt;
    return wheel ? libinput_event_pointer_get_scroll_value_v120(pointer, axis)
                 : libinput_event_pointer_get_scroll_value(pointer, axis);
}

std::string deviceNode(libinput_device* device)
{
    udev_device* udevDevice = libinput_device_get_udev_device(device);
    if (!udevDevice)
        return {};
    const char* node = udev_device_get_devnode(udevDevice);
    std::string result = node ? node : "";
    udev_device_unref(udevDevice);
    return result;
}

} // namespace

std::unique_ptr<KernelCaptureSession> KernelCaptureSession::start(ClickSettings clicks,
                                                                 std::shared_ptr<PointerPositionSource> positions,
                                                                 Sink sink, TakenBack takenBack)
{
    std::unique_ptr<KernelCaptureSession> session(
        new KernelCaptureSession(clicks, std::move(positions), std::move(sink)));
    session->m_takenBack = std::move(takenBack);
    if (!session->m_wake.isValid() || !session->open())
        return nullptr;
    // The devices open as the seat is assigned; their arrival is reported as events, and so is any
    // input that came meanwhile, which no watch has asked for yet.
    session->readEvents();
    session->m_batch.clear();
    const auto devices = session->devices();
    const bool anyOpened = std::any_of(devices.begin(), devices.end(),
                                       [](const InputDeviceAccess& device) { return device.error == 0; });
    if (!anyOpened) {
        logLine(devices.empty()
                    ? "no input device found on " + std::string(kSeat)
                    : "none of the " + std::to_string(devices.size()) + " input devices could be opened (" +
                          std::strerror(devices.front().error) +
                          "); members of the group 'input' may read them");
        return nullptr;
    }
    session->m_running.store(true, std::memory_order_release);
    session->m_thread = std::jthread([raw = session.get()] { raw->run(); });
    return session;
}

std::vector<InputDeviceAccess> KernelCaptureSession::probe()
{
    KernelCaptureSession session(ClickSettings{}, nullptr, [](std::vector<InputEvent>&&) {});
    if (!session.open())
        return {};
    session.readEvents();
    return session.devices();
}

KernelCaptureSession::KernelCaptureSession(ClickSettings clicks,
                                           std::shared_ptr<PointerPositionSource> positions, Sink sink)
    : m_translator(clicks), m_positions(std::move(positions)), m_sink(std::move(sink))
{
}

KernelCaptureSession::~KernelCaptureSession()
{
    endThread(Request::stop);
    if (m_libinput)
        libinput_unref(m_libinput);
    if (m_udev)
        udev_unref(m_udev);
}

void KernelCaptureSession::finish() { endThread(Request::finish); }

std::vector<InputDeviceAccess> KernelCaptureSession::devices() const
{
    std::lock_guard lock(m_devicesMutex);
    std::vector<InputDeviceAccess> result;
    for (const auto& [node, device] : m_devices)
        result.push_back(device);
    return result;
}

bool KernelCaptureSession::open()
{
    static const libinput_interface kInterface = {&KernelCaptureSession::openRestricted,
                                                  &KernelCaptureSession::closeRestricted};
    m_udev = udev_new();
    if (!m_udev) {
        logLine("udev is not available");
        return false;
    }
    m_libinput = libinput_udev_create_context(&kInterface, this, m_udev);
    if (!m_libinput) {
        logLine("libinput could not be set up");
        return false;
    }
    m_inputd = InputdClient::connect();
    if (libinput_udev_assign_seat(m_libinput, kSeat) != 0) {
        logLine("the input devices of " + std::string(kSeat) + " could not be listed");
        return false;
    }
    return true;
}

int KernelCaptureSession::openRestricted(const char* path, int, void* session)
{
    auto* self = static_cast<KernelCaptureSession*>(session);
    if (self->m_inputd && !self->m_inputd->revoked()) {
        const InputdClient::Lent lent = self->m_inputd->lend(path);
        if (lent.fd >= 0) {
            self->m_lentByService.store(true, std::memory_order_relaxed);
            self->noteOpen(path, 0);
            return lent.fd;
        }
    }
    // Read-only whatever libinput asks for: the capture never writes to a device (no LEDs, no grabs).
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const int error = fd < 0 ? errno : 0;
    self->noteOpen(path, error);
    return fd < 0 ? -error : fd;
}

void KernelCaptureSession::closeRestricted(int fd, void*) { ::close(fd); }

void KernelCaptureSession::noteOpen(const std::string& node, int error)
{
    std::lock_guard lock(m_devicesMutex);
    auto& device = m_devices[node];
    device.node = node;
    device.error = error;
    // A device that cannot be opened is still known by what sysfs tells everyone, so that LoopWren's
    // own replay device is not counted among the ones the user lacks access to.
    if (error != 0)
        device.replayDevice = isReplayDeviceInSysfs(node);
}

void KernelCaptureSession::run()
{
    const int fd = libinput_get_fd(m_libinput);
    for (;;) {
        // The service's socket only while something of it is lent: it then says when it takes it back.
        const bool borrowing = m_inputd && m_lentByService.load(std::memory_order_relaxed);
        pollfd fds[3] = {{fd, POLLIN, 0}, {m_wake.readEnd(), POLLIN, 0}, {borrowing ? m_inputd->socket() : -1, POLLIN, 0}};
        if (poll(fds, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            logLine("waiting for input failed; recording ends");
            break;
        }
        const Request request = m_request.load(std::memory_order_acquire);
        if (request == Request::stop)
            break;
        // Also when finishing: what the devices hold now belongs to the recording.
        readEvents();
        deliverBatch();
        if (request == Request::finish)
            break;
        if (fds[2].revents != 0) {
            if (const auto reason = m_inputd->readNotices()) {
                // The dead devices' last word first: libinput releases what they held.
                readEvents();
                deliverBatch();
                const std::string notice = std::string("the input service took the input devices back (") +
                                           inputd::describe(*reason) + ")";
                logLine(notice);
                if (m_takenBack)
                    m_takenBack(notice);
                break;
            }
        }
    }
    m_running.store(false, std::memory_order_release);
}

void KernelCaptureSession::endThread(Request request)
{
    if (!m_thread.joinable())
        return;
    m_request.store(request, std::memory_order_release);
    m_wake.wake();
    m_thread.join();
}

void KernelCaptureSession::readEvents()
{
    if (libinput_dispatch(m_libinput) != 0)
        return;
    while (libinput_event* event = libinput_get_event(m_libinput)) {
        handle(event);
        libinput_event_destroy(event);
    }
}

void KernelCaptureSession::handle(libinput_event* event)
{
    const auto type = libinput_event_get_type(event);
    if (type == LIBINPUT_EVENT_DEVICE_ADDED)
        return deviceAdded(event);
    if (type == LIBINPUT_EVENT_DEVICE_REMOVED)
        return deviceRemoved(event);
    if (libinput_device_get_user_data(libinput_event_get_device(event)) == &kSkippedDevice)
        return;

    std::optional<InputEvent> input;
    if (type == LIBINPUT_EVENT_KEYBOARD_KEY) {
        auto* key = libinput_event_get_keyboard_event(event);
        input =
            m_translator.key(libinput_event_keyboard_get_time_usec(key), libinput_event_keyboard_get_key(key),
                             libinput_event_keyboard_get_key_state(key) == LIBINPUT_KEY_STATE_PRESSED);
    } else if (type == LIBINPUT_EVENT_POINTER_BUTTON) {
        auto* pointer = libinput_event_get_pointer_event(event);
        input = m_translator.button(
            libinput_event_pointer_get_time_usec(pointer), libinput_event_pointer_get_button(pointer),
            libinput_event_pointer_get_button_state(pointer) == LIBINPUT_BUTTON_STATE_PRESSED,
            pointerPosition());
    } else if ((type == LIBINPUT_EVENT_POINTER_MOTION || type == LIBINPUT_EVENT_POINTER_MOTION_ABSOLUTE) &&
               m_motionWanted.load(std::memory_order_relaxed)) {
        auto* pointer = libinput_event_get_pointer_event(event);
        input = m_translator.motion(libinput_event_pointer_get_time_usec(pointer), pointerPosition());
    } else if (type == LIBINPUT_EVENT_POINTER_SCROLL_WHEEL || type == LIBINPUT_EVENT_POINTER_SCROLL_FINGER ||
               type == LIBINPUT_EVENT_POINTER_SCROLL_CONTINUOUS) {
        // The older LIBINPUT_EVENT_POINTER_AXIS repeats these same movements and is not read.
        auto* pointer = libinput_event_get_pointer_event(event);
        const bool wheel = type == LIBINPUT_EVENT_POINTER_SCROLL_WHEEL;
        const auto time = libinput_event_pointer_get_time_usec(pointer);
        const auto vertical = scrollAxis(pointer, LIBINPUT_POINTER_AXIS_SCROLL_VERTICAL, wheel);
        const auto horizontal = scrollAxis(pointer, LIBINPUT_POINTER_AXIS_SCROLL_HORIZONTAL, wheel);
        input = wheel ? m_translator.wheel(time, vertical, horizontal)
                      : m_translator.fingerScroll(time, vertical, horizontal);
    }
    if (input)
        m_batch.push_back(*input);
}

void KernelCaptureSession::deviceAdded(libinput_event* event)
{
    libinput_device* device = libinput_event_get_device(event);
    const std::string name = libinput_device_get_name(device);
    const bool replay = ReplayDeviceFilter::matches(name, libinput_device_get_id_vendor(device),
                                                    libinput_device_get_id_product(device));
    if (replay)
        libinput_device_set_user_data(device, &kSkippedDevice);
    std::lock_guard lock(m_devicesMutex);
    const std::string node = deviceNode(device);
    auto& access = m_devices[node];
    access.node = node;
    access.name = name;
    access.error = 0;
    access.replayDevice = replay;
}

void KernelCaptureSession::deviceRemoved(libinput_event* event)
{
    // libinput has released what the device still held, as events before this one.
    const std::string node = deviceNode(libinput_event_get_device(event));
    std::lock_guard lock(m_devicesMutex);
    m_devices.erase(node);
}

std::optional<Point> KernelCaptureSession::pointerPosition() const
{
    return m_positions ? m_positions->pointerPosition() : std::nullopt;
}

void KernelCaptureSession::deliverBatch()
{
    if (m_batch.empty())
        return;
    std::vector<InputEvent> batch;
    batch.swap(m_batch);
    m_sink(std::move(batch));
}

} // namespace loopwren
