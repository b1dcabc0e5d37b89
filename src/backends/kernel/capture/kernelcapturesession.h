#pragma once

#include "inputdclient.h"
#include "kernelinputtranslator.h"
#include "pointerpositionsource.h"
#include "wakepipe.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct libinput;
struct libinput_event;
struct udev;

namespace loopwren {

// One input device as the capture met it, for telling the user why nothing is recorded.
struct InputDeviceAccess
{
    std::string node;          // /dev/input/eventN
    std::string name;          // empty when it could not be opened
    int error = 0;             // errno of the failed open, 0 when it opened
    bool replayDevice = false; // LoopWren's own, whose input is left out
};

// One libinput capture of the devices on seat0 that this process may open, read on a thread of its
// own that sleeps in poll() on libinput's descriptor and on a wake pipe, so that stopping interrupts
// it at once. Devices come and go through libinput's hotplug; one that cannot be opened is skipped
// and remembered.
//
// libinput runs with its own defaults, not the desktop's settings: the desktop applies those in its
// own libinput context, which no other process can read.
class KernelCaptureSession
{
public:
    // Called on the capture thread with the inputs read in one go, in order.
    using Sink = std::function<void(std::vector<InputEvent>&& batch)>;
    // Called on the capture thread, once, when the input service took the devices back; the capture
    // has ended then, after handing everything read before to the sink. notice says why.
    using TakenBack = std::function<void(const std::string& notice)>;

    // nullptr when udev or libinput cannot be set up, or when no device could be opened.
    // positions may be null; then button and motion inputs carry no location.
    static std::unique_ptr<KernelCaptureSession> start(ClickSettings clicks,
                                                       std::shared_ptr<PointerPositionSource> positions,
                                                       Sink sink, TakenBack takenBack = {});
    // The devices seen on seat0 now and whether they could be opened, without capturing.
    static std::vector<InputDeviceAccess> probe();

    // Stops the capture thread; no sink call happens after this returns.
    ~KernelCaptureSession();
    KernelCaptureSession(const KernelCaptureSession&) = delete;
    KernelCaptureSession& operator=(const KernelCaptureSession&) = delete;

    bool isRunning() const { return m_running.load(std::memory_order_acquire); }
    // Whether pointer motion is read at all. Each motion asks the desktop where the pointer went,
    // which on some desktops is a request the compositor answers on its main loop, so motion nobody
    // records is not asked about.
    void setMotionWanted(bool wanted) { m_motionWanted.store(wanted, std::memory_order_relaxed); }
    // Hands everything the devices delivered before this call to the sink, then ends the capture.
    void finish();
    std::vector<InputDeviceAccess> devices() const;
    // Whether the devices came from LoopWren's input service, and why it refused, if it did.
    bool lentByService() const { return m_lentByService.load(std::memory_order_relaxed); }

private:
    enum class Request
    {
        none,
        finish,
        stop
    };

    KernelCaptureSession(ClickSettings clicks, std::shared_ptr<PointerPositionSource> positions, Sink sink);

    bool open();
    void run();
    void readEvents();
    void handle(libinput_event* event);
    void deviceAdded(libinput_event* event);
    void deviceRemoved(libinput_event* event);
    std::optional<Point> pointerPosition() const;
    void deliverBatch();
    void endThread(Request request);

    static int openRestricted(const char* path, int flags, void* session);
    static void closeRestricted(int fd, void* session);
    void noteOpen(const std::string& node, int error);

    KernelInputTranslator m_translator;
    std::shared_ptr<PointerPositionSource> m_positions;
    Sink m_sink;
    TakenBack m_takenBack;
    std::vector<InputEvent> m_batch;
    // The input service, when one listens: devices are borrowed from it first, opened directly when it
    // refuses (a member of the group input can still read them). Used by the thread libinput runs on.
    std::unique_ptr<InputdClient> m_inputd;
    std::atomic<bool> m_lentByService{false};

    mutable std::mutex m_devicesMutex;
    std::map<std::string, InputDeviceAccess> m_devices;

    // Created on the starting thread, used by the capture thread alone, released after it is joined.
    udev* m_udev = nullptr;
    libinput* m_libinput = nullptr;
    WakePipe m_wake;
    std::atomic<Request> m_request{Request::none};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_motionWanted{true};
    std::jthread m_thread;
};

} // namespace loopwren
