#include "sessionmanagerstandin.h"

#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace loopwren {
namespace {

SessionManagerStandIn& manager(SmPointer data) { return *static_cast<SessionManagerStandIn*>(data); }

Bool allowAnyHost(char*) { return True; }

// libICE's default ends the process when a client goes away.
void ignoreIoError(IceConn) {}

Status registerClient(SmsConn connection, SmPointer data, char* previousId)
{
    std::free(previousId);
    char* id = SmsGenerateClientID(connection);
    const Status status = SmsRegisterClientReply(connection, id);
    std::free(id);
    manager(data).mutableNotes().registered = true;
    return status;
}

void interactRequest(SmsConn connection, SmPointer data, int)
{
    ++manager(data).mutableNotes().interactRequests;
    SmsInteract(connection);
}

void interactDone(SmsConn, SmPointer data, Bool cancelShutdown)
{
    manager(data).mutableNotes().interactDone.push_back(cancelShutdown != False);
}

void saveYourselfRequest(SmsConn, SmPointer, int, Bool, int, Bool, Bool) {}
void saveYourselfPhase2Request(SmsConn connection, SmPointer) { SmsSaveYourselfPhase2(connection); }

void saveYourselfDone(SmsConn, SmPointer data, Bool success)
{
    manager(data).mutableNotes().saveYourselfDone.push_back(success != False);
}

void closeConnection(SmsConn connection, SmPointer data, int count, char** reasons)
{
    SmFreeReasons(count, reasons);
    manager(data).mutableNotes().closed = true;
    manager(data).adopt(nullptr);
    SmsCleanUp(connection);
}

void setProperties(SmsConn, SmPointer, int count, SmProp** properties)
{
    for (int i = 0; i < count; ++i)
        SmFreeProperty(properties[i]);
    std::free(properties);
}

void deleteProperties(SmsConn, SmPointer, int count, char** names)
{
    for (int i = 0; i < count; ++i)
        std::free(names[i]);
    std::free(names);
}

void getProperties(SmsConn connection, SmPointer) { SmsReturnProperties(connection, 0, nullptr); }

Status newClient(SmsConn connection, SmPointer data, unsigned long* mask, SmsCallbacks* callbacks, char**)
{
    std::memset(callbacks, 0, sizeof *callbacks);
    callbacks->register_client.manager_data = data;
    callbacks->interact_request.manager_data = data;
    callbacks->interact_done.manager_data = data;
    callbacks->save_yourself_done.manager_data = data;
    callbacks->close_connection.manager_data = data;
    callbacks->register_client.callback = registerClient;
    callbacks->interact_request.callback = interactRequest;
    callbacks->interact_done.callback = interactDone;
    callbacks->save_yourself_request.callback = saveYourselfRequest;
    callbacks->save_yourself_phase2_request.callback = saveYourselfPhase2Request;
    callbacks->save_yourself_done.callback = saveYourselfDone;
    callbacks->close_connection.callback = closeConnection;
    callbacks->set_properties.callback = setProperties;
    callbacks->delete_properties.callback = deleteProperties;
    callbacks->get_properties.callback = getProperties;
    *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask |
            SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask | SmsSaveYourselfDoneProcMask |
            SmsCloseConnectionProcMask | SmsSetPropertiesProcMask | SmsDeletePropertiesProcMask |
            SmsGetPropertiesProcMask;
    manager(data).adopt(connection);
    return 1;
}

} // namespace

SessionManagerStandIn::SessionManagerStandIn()
{
    IceSetIOErrorHandler(ignoreIoError);
    char error[256] = {};
    if (!SmsInitialize("LoopWren tests", "1.0", newClient, this, allowAnyHost, sizeof error, error)) {
        m_problem = std::string("SmsInitialize: ") + error;
        return;
    }
    IceListenObj* objects = nullptr;
    if (!IceListenForConnections(&m_listenCount, &objects, sizeof error, error)) {
        m_problem = std::string("IceListenForConnections: ") + error;
        return;
    }
    m_listenObjects = reinterpret_cast<void**>(objects);
    for (int i = 0; i < m_listenCount; ++i)
        IceSetHostBasedAuthProc(objects[i], allowAnyHost);
    // Only the local socket: nothing of the test should listen on the network.
    char* ids = IceComposeNetworkIdList(m_listenCount, objects);
    std::stringstream list(ids);
    std::free(ids);
    for (std::string id; std::getline(list, id, ',');) {
        if (id.rfind("local/", 0) == 0)
            m_address = id;
    }
    if (m_address.empty())
        m_problem = "no local ICE listener";
}

SessionManagerStandIn::~SessionManagerStandIn()
{
    for (void* connection : m_iceConnections)
        IceCloseConnection(static_cast<IceConn>(connection));
    if (m_listenObjects)
        IceFreeListenObjs(m_listenCount, reinterpret_cast<IceListenObj*>(m_listenObjects));
}

void SessionManagerStandIn::serveOnce(std::chrono::milliseconds wait)
{
    auto* objects = reinterpret_cast<IceListenObj*>(m_listenObjects);
    std::vector<pollfd> fds;
    for (int i = 0; i < m_listenCount; ++i)
        fds.push_back({IceGetListenConnectionNumber(objects[i]), POLLIN, 0});
    for (void* connection : m_iceConnections)
        fds.push_back({IceConnectionNumber(static_cast<IceConn>(connection)), POLLIN, 0});
    if (poll(fds.data(), fds.size(), static_cast<int>(wait.count())) <= 0)
        return;
    for (int i = 0; i < m_listenCount; ++i) {
        if (fds[i].revents & POLLIN) {
            IceAcceptStatus status;
            if (IceConn connection = IceAcceptConnection(objects[i], &status))
                m_iceConnections.push_back(connection);
        }
    }
    for (std::size_t i = m_listenCount; i < fds.size(); ++i) {
        if (!fds[i].revents)
            continue;
        auto* connection = static_cast<IceConn>(m_iceConnections[i - m_listenCount]);
        if (IceProcessMessages(connection, nullptr, nullptr) == IceProcessMessagesIOError) {
            IceCloseConnection(connection);
            m_iceConnections[i - m_listenCount] = nullptr;
        }
    }
    std::erase(m_iceConnections, nullptr);
}

bool SessionManagerStandIn::serveUntil(const std::function<bool()>& condition,
                                       std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        serveOnce(std::chrono::milliseconds(20));
    }
    return true;
}

void SessionManagerStandIn::endSession(bool allowInteraction)
{
    if (m_client)
        SmsSaveYourself(static_cast<SmsConn>(m_client), SmSaveGlobal, True,
                        allowInteraction ? SmInteractStyleAny : SmInteractStyleNone, False);
}

void SessionManagerStandIn::cancelShutdown()
{
    if (m_client)
        SmsShutdownCancelled(static_cast<SmsConn>(m_client));
}

void SessionManagerStandIn::die()
{
    if (m_client)
        SmsDie(static_cast<SmsConn>(m_client));
}

} // namespace loopwren
