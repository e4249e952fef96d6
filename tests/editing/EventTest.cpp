// Connecting and disconnecting single handlers of a control's event, also while it is raised.

#include <gtest/gtest.h>

#include <string>

#include "platform/Event.h"

namespace tamarind {
namespace {

using platform::Event;

TEST(EventConnections, DisconnectRemovesOnlyThatHandler) {
  Event<int16_t&> e;
  std::string calls;
  e.Connect([&](int16_t&) { calls += "a"; });
  const auto b = e.Connect([&](int16_t&) { calls += "b"; });
  e.Connect([&](int16_t& k) {
    calls += "c";
    k = 0;
  });
  e.Disconnect(b);
  e.Disconnect(b);  // a stale token, and no token, change nothing
  e.Disconnect(0);
  int16_t key = 65;
  e(key);
  EXPECT_EQ(calls, "ac");
  EXPECT_EQ(key, 0);
  EXPECT_TRUE(e.Connected());
}

TEST(EventConnections, HandlersDisconnectedWhileTheEventRunsAreSkipped) {
  Event<> e;
  std::string calls;
  Event<>::Token self = 0, second = 0;
  const std::string captured = "1";
  self = e.Connect([&, captured] {
    e.Disconnect(second);
    e.Disconnect(self);
    calls += captured;  // the handler's own state outlives its disconnection
  });
  second = e.Connect([&] { calls += "2"; });
  e.Connect([&] { calls += "3"; });
  e();
  e();
  EXPECT_EQ(calls, "133");
}

TEST(EventConnections, DisconnectAllDuringARaiseStopsIt) {
  Event<> e;
  int n = 0;
  e.Connect([&] {
    ++n;
    e.DisconnectAll();
  });
  e.Connect([&] { n += 100; });
  e();
  EXPECT_EQ(n, 1);
  EXPECT_FALSE(e.Connected());
}

}  // namespace
}  // namespace tamarind
