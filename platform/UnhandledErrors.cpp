#include "platform/UnhandledErrors.h"

#include <new>

#include "platform/Toolkit.h"
#include "runtime/Error.h"

namespace tamarind::platform {

std::string UnhandledErrorText(const std::exception_ptr& error) {
  const Error e = [&] {
    try {
      std::rethrow_exception(error);
    } catch (const Error& raised) {
      return raised;
    } catch (const std::bad_alloc&) {
      return OutOfMemoryError();
    } catch (const std::exception& other) {
      return Error(51, Error::StandardDescription(51) + " (" + other.what() + ")");
    } catch (...) {
      return Error(51);
    }
  }();
  return "Run-time error '" + std::to_string(e.Number()) + "':\n\n" + e.Description();
}

void ReportUnhandledError(Toolkit& tk, const std::exception_ptr& error) noexcept {
  try {
    tk.MsgBox(UnhandledErrorText(error), vbCritical, tk.App().Title);
  } catch (...) {
    // Nothing is left to report a failing report with; the program still goes on.
  }
}

}  // namespace tamarind::platform
