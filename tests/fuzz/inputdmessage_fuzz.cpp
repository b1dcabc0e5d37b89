// What a caller sends reaches the input service, which runs with access to every input device; what
// the service sends reaches LoopWren. Whatever the bytes, parsing must not crash; a message it accepts
// must be exactly what encoding it gives back; and a run of messages (the bytes split at each 0xff)
// must keep the conversation's order on both sides: never an answer that was not asked for.

#include "conversation.h"
#include "fuzzcheck.h"
#include "inputdmessage.h"

#include <cstdint>
#include <span>

namespace loopwren::inputd {
namespace {

void checkOne(std::span<const std::uint8_t> packet, int handles, Conversation& service, Conversation& caller)
{
    const Parsed parsed = parse(packet, handles);
    if (!parsed.message)
        return;
    const Message& message = *parsed.message;
    const auto again = encode(message);
    FUZZ_CHECK(std::equal(again.begin(), again.end(), packet.begin(), packet.end()),
               "a parsed message encodes to other bytes");
    FUZZ_CHECK(again.size() <= maxMessageSize, "an accepted message is larger than the limit");

    const bool request = message.type == MessageType::lend || message.type == MessageType::stop;
    const bool wasStopped = service.stopped();
    const bool wasWaiting = service.waiting();
    if (service.accept(message)) {
        FUZZ_CHECK(request && !wasStopped && !wasWaiting, "the service side took a message out of order");
        service.answered();
    }
    const bool callerWaiting = caller.waiting();
    if (caller.accept(message)) {
        FUZZ_CHECK(!request, "the caller side took a request as an answer");
        FUZZ_CHECK(message.type != MessageType::lent || callerWaiting, "a handle came that was not asked for");
    }
    if (request && !caller.stopped() && !caller.waiting())
        caller.ask(message);
}

} // namespace
} // namespace loopwren::inputd

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace loopwren::inputd;
    if (size == 0)
        return 0;
    // The first byte says how many handles came with each packet.
    const int handles = data[0] % 3;
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    Conversation service(Conversation::Side::service);
    Conversation caller(Conversation::Side::caller);
    checkOne(bytes, handles, service, caller);
    std::size_t start = 0;
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
        if (i == bytes.size() || bytes[i] == 0xff) {
            checkOne(bytes.subspan(start, i - start), handles, service, caller);
            start = i + 1;
        }
    }
    return 0;
}
