// The input service's messages: each kind survives the wire, and what must be refused is refused with
// the right cause, including a conversation out of order.

#include "conversation.h"
#include "inputdmessage.h"

#include <gtest/gtest.h>

namespace loopwren::inputd {
namespace {

std::vector<std::uint8_t> bytes(std::initializer_list<int> values)
{
    return std::vector<std::uint8_t>(values.begin(), values.end());
}

TEST(InputdMessage, EveryKindRoundTripsAndBadPacketsAreRefused)
{
    const std::string path = "/dev/input/event4";
    for (const Message& message :
         {Message{MessageType::lend, path}, Message{MessageType::stop, {}},
          Message{MessageType::lent, path}, Message{MessageType::removed, path},
          Message{MessageType::revoked, {}, Reason::sessionInactive},
          Message{MessageType::refused, path, Reason::policy}}) {
        const int handles = message.type == MessageType::lent ? 1 : 0;
        EXPECT_EQ(parse(encode(message), handles).message, message);
        EXPECT_EQ(parse(encode(message), 1 - handles).error, ParseError::wrongHandles);
    }
    EXPECT_EQ(parse(bytes({1, 2, 0}), 0).error, ParseError::truncated);
    EXPECT_EQ(parse(bytes({1, 1, 5, 0, '/'}), 0).error, ParseError::truncated);
    EXPECT_EQ(parse(bytes({1, 2, 0, 0, 0}), 0).error, ParseError::oversized);
    EXPECT_EQ(parse(std::vector<std::uint8_t>(maxMessageSize + 1, 1), 0).error, ParseError::oversized);
    EXPECT_EQ(parse(bytes({2, 2, 0, 0}), 0).error, ParseError::badVersion);
    EXPECT_EQ(parse(bytes({1, 9, 0, 0}), 0).error, ParseError::unknownType);
    EXPECT_EQ(parse(bytes({1, 1, 0, 0}), 0).error, ParseError::badPath);
    EXPECT_EQ(parse(bytes({1, 1, 2, 0, '.', '.'}), 0).error, ParseError::badPath);
    EXPECT_EQ(parse(bytes({1, 1, 2, 0, '/', 0}), 0).error, ParseError::badPath);
    EXPECT_EQ(parse(bytes({1, 18, 1, 0, 0}), 0).error, ParseError::badReason);
}

TEST(InputdMessage, ConversationsKeepTheirOrder)
{
    const Message lend{MessageType::lend, "/dev/input/event1"};
    Conversation service(Conversation::Side::service);
    EXPECT_FALSE(service.accept({MessageType::lent, lend.path}));
    EXPECT_TRUE(service.accept(lend));
    EXPECT_FALSE(service.accept(lend)); // the first is not answered yet
    service.answered();
    EXPECT_TRUE(service.accept({MessageType::stop, {}}));
    EXPECT_FALSE(service.accept(lend));

    Conversation caller(Conversation::Side::caller);
    EXPECT_FALSE(caller.accept({MessageType::lent, lend.path}));
    EXPECT_TRUE(caller.ask(lend));
    EXPECT_FALSE(caller.accept({MessageType::lent, "/dev/input/event2"}));
    EXPECT_TRUE(caller.accept({MessageType::lent, lend.path}));
    EXPECT_FALSE(caller.accept({MessageType::removed, "/dev/input/event2"}));
    EXPECT_TRUE(caller.accept({MessageType::removed, lend.path}));
    EXPECT_FALSE(caller.accept({MessageType::removed, lend.path}));
    EXPECT_TRUE(caller.accept({MessageType::revoked, {}, Reason::sessionInactive}));
}

} // namespace
} // namespace loopwren::inputd
