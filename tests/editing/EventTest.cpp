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

TEST(EventConnections, HandlerDisconnectedWhileTheEventRunsIsSkipped) {
  Event<> e;
  std::string calls;
  Event<>::Token second = 0;
  e.Connect([&] {
    calls += "1";
    e.Disconnect(second);
  });
  second = e.Connect([&] { calls += "2"; });
  e.Connect([&] { calls += "3"; });
  e();
  EXPECT_EQ(calls, "13");
}

TEST(EventConnections, HandlerMayDisconnectItselfAndFinish) {
  Event<> e;
  std::string calls;
  Event<>::Token self = 0;
  std::string captured = "kept";
  self = e.Connect([&, captured] {
    e.Disconnect(self);
    calls += captured;  // the handler's own state outlives its disconnection
  });
  e.Connect([&] { calls += "+next"; });
  e();
  e();
  EXPECT_EQ(calls, "kept+next+next");
}

TEST(EventConnections, HandlerConnectedWhileTheEventRunsJoinsFromTheNextRaise) {
  Event<> e;
  int late = 0;
  bool added = false;
  e.Connect([&] {
    if (!added) {
      added = true;
      e.Connect([&] { ++late; });
    }
  });
  e();
  EXPECT_EQ(late, 0);
  e();
  EXPECT_EQ(late, 1);
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
