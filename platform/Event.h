#pragma once
// An event of a control: handlers run synchronously, in the order they were connected, and
// by-reference arguments (declared as T&) come back with every handler's changes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace tamarind::platform {

template <class... Args>
class Event {
 public:
  using Handler = std::function<void(Args...)>;
  // Names one connection, for Disconnect. Never 0.
  using Token = uint64_t;

  Token Connect(Handler h) {
    const Token t = next_++;
    slots_.push_back(Slot{t, std::move(h)});
    return t;
  }
  // Removes one handler; a token already disconnected (or 0) changes nothing. A handler removed
  // while the event runs is not called for the rest of that raise.
  void Disconnect(Token t) {
    auto it = std::find_if(slots_.begin(), slots_.end(), [t](const Slot& s) { return s.token == t; });
    if (it != slots_.end()) slots_.erase(it);
  }
  void DisconnectAll() { slots_.clear(); }
  bool Connected() const { return !slots_.empty(); }

  // Raises the event. A handler connected while the event runs takes part from the next raise.
  void operator()(Args... args) const {
    // Tokens grow in connection order, and slots_ stays in that order: after each handler the
    // next one is found again by token, so handlers may connect or disconnect others meanwhile.
    const Token limit = next_;
    Token last = 0;
    for (;;) {
      auto it = std::upper_bound(slots_.begin(), slots_.end(), last,
                                 [](Token t, const Slot& s) { return t < s.token; });
      if (it == slots_.end() || it->token >= limit) return;
      last = it->token;
      Handler h = it->handler;  // a copy: the handler may disconnect itself while it runs
      h(args...);
    }
  }

 private:
  struct Slot {
    Token token;
    Handler handler;
  };
  std::vector<Slot> slots_;
  Token next_ = 1;
};

}  // namespace tamarind::platform
