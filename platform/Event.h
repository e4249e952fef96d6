#pragma once
// An event of a control: handlers run synchronously, in the order they were connected, and
// by-reference arguments (declared as T&) come back with every handler's changes.

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

namespace tamarind::platform {

template <class... Args>
class Event {
 public:
  using Handler = std::function<void(Args...)>;

  void Connect(Handler h) { handlers_.push_back(std::move(h)); }
  void DisconnectAll() { handlers_.clear(); }
  bool Connected() const { return !handlers_.empty(); }

  // Raises the event. A handler connected while the event runs takes part from the next raise.
  void operator()(Args... args) const {
    const size_t n = handlers_.size();
    for (size_t i = 0; i < n && i < handlers_.size(); ++i) {
      Handler h = handlers_[i];  // a copy: a handler may connect others while it runs
      h(args...);
    }
  }

 private:
  std::vector<Handler> handlers_;
};

}  // namespace tamarind::platform
