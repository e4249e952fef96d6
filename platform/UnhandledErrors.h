#pragma once
// The desktop's last resort for an error no handler took. Every place where the desktop calls the
// library (a user's click or key, a timer, a paint, a resize) runs its work through RunGuarded:
// an error that escapes the control and the host's event handlers is reported as the desktop
// reports an unhandled run-time error, with its number and description in a message box titled
// with the application's title, and the program goes on. Nothing escapes into the toolkit's event
// loop, which could only end the process and lose the user's work.

#include <exception>
#include <string>
#include <utility>

namespace tamarind::platform {

class Toolkit;

// "Run-time error '<number>':" then a blank line and the description. An exception that is no
// run-time error reports as error 51, "Internal error", with what it says of itself.
std::string UnhandledErrorText(const std::exception_ptr& error);

// Shows the report for error on tk (never throws: a failing report is dropped).
void ReportUnhandledError(Toolkit& tk, const std::exception_ptr& error) noexcept;

// Runs work; an exception it lets out is reported on tk and goes no further. True when the work
// ran to its end.
template <class Work>
bool RunGuarded(Toolkit& tk, Work&& work) noexcept {
  try {
    std::forward<Work>(work)();
    return true;
  } catch (...) {
    ReportUnhandledError(tk, std::current_exception());
    return false;
  }
}

}  // namespace tamarind::platform
