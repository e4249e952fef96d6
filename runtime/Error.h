#pragma once
// Run-time errors and the three ways a procedure handles them.
//
// Every failure the library reports is a tamarind::Error carrying the runtime's error number, its
// description and the source that raised it. Procedures pick one of three styles:
//
//   resume next     each statement runs under ResumeNext(...): an Error is swallowed (and left in
//                   Err()) and the procedure goes on with its next statement;
//   report and end  the body runs under ReportAndEnd(...): an Error ends the body, is shown in a
//                   message box titled "Warning" and the procedure returns its empty result;
//   re-raise        the body runs under CleanupAndReraise(...): the cleanup runs, then the same
//                   Error goes on to the caller.
//
// These helpers handle tamarind::Error, and an allocation that fails (std::bad_alloc), which is the
// runtime's error 7, "Out of memory": a hostile size in a file must end one procedure, not the
// process. Anything else (a logic error) is a fault of the program and keeps unwinding.

#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace tamarind {

// Error numbers used across the library. Descriptions come from Error::StandardDescription.
namespace err {
inline constexpr int32_t InvalidProcedureCall = 5;    // "Invalid procedure call or argument"
inline constexpr int32_t Overflow = 6;                // "Overflow"
inline constexpr int32_t OutOfMemory = 7;             // "Out of memory"
inline constexpr int32_t SubscriptOutOfRange = 9;     // "Subscript out of range"
inline constexpr int32_t DivisionByZero = 11;         // "Division by zero"
inline constexpr int32_t TypeMismatch = 13;           // "Type mismatch"
inline constexpr int32_t BadFileNameOrNumber = 52;    // "Bad file name or number"
inline constexpr int32_t FileNotFound = 53;           // "File not found"
inline constexpr int32_t PermissionDenied = 70;       // "Permission denied"
inline constexpr int32_t PathFileAccessError = 75;    // "Path/File access error"
inline constexpr int32_t PathNotFound = 76;           // "Path not found"
inline constexpr int32_t ObjectNotSet = 91;           // "Object variable or With block variable not set"
inline constexpr int32_t InvalidPatternString = 93;   // "Invalid pattern string"
inline constexpr int32_t InvalidUseOfNull = 94;       // "Invalid use of Null"
inline constexpr int32_t InvalidPropertyValue = 380;  // "Invalid property value"
inline constexpr int32_t InvalidPropertyArrayIndex = 381;  // "Invalid property array index"
inline constexpr int32_t SetNotPermitted = 387;       // "Set not permitted"
inline constexpr int32_t ObjectRequired = 424;        // "Object required"
inline constexpr int32_t CannotCreateObject = 429;    // "ActiveX component can't create object"
inline constexpr int32_t ObjectDoesNotSupport = 438;  // "Object doesn't support this property or method"
inline constexpr int32_t AutomationError = 440;       // "Automation error"
inline constexpr int32_t ArgumentNotOptional = 449;   // "Argument not optional"
inline constexpr int32_t WrongNumberOfArguments = 450;  // "Wrong number of arguments or invalid property assignment"
inline constexpr int32_t DuplicateKey = 457;          // "This key is already associated with an element of this collection"
inline constexpr int32_t InvalidPicture = 481;        // "Invalid picture"
inline constexpr int32_t IndexOutOfBounds = 35600;    // "Index out of bounds"
inline constexpr int32_t ElementNotFound = 35601;     // "Element not found"
inline constexpr int32_t KeyNotUnique = 35602;        // "Key is not unique in collection"
inline constexpr int32_t InvalidKey = 35603;          // "Invalid key"
}  // namespace err

class Error : public std::exception {
 public:
  // An empty description takes the runtime's standard text for the number.
  explicit Error(int32_t number, std::string description = {}, std::string source = {});

  int32_t Number() const noexcept { return number_; }
  const std::string& Description() const noexcept { return description_; }
  const std::string& Source() const noexcept { return source_; }
  const char* what() const noexcept override { return what_.c_str(); }

  // The runtime's own text for an error number; "Application-defined or object-defined error"
  // for numbers it does not know.
  static std::string StandardDescription(int32_t number);

 private:
  int32_t number_;
  std::string description_;
  std::string source_;
  std::string what_;
};

// Throws Error(number, description or the standard text, source).
[[noreturn]] void Raise(int32_t number, std::string source = {}, std::string description = {});

// The thread's last error, as left by ResumeNext (the runtime's Err object).
struct ErrObject {
  int32_t Number = 0;
  std::string Description;
  std::string Source;
  void Clear() { *this = ErrObject{}; }
  explicit operator bool() const { return Number != 0; }
};
ErrObject& Err();

// --- message boxes -------------------------------------------------------------------------------

// The buttons and icon of a message box, combined by addition as the runtime does.
enum MsgBoxStyle : int32_t {
  vbOKOnly = 0,
  vbOKCancel = 1,
  vbAbortRetryIgnore = 2,
  vbYesNoCancel = 3,
  vbYesNo = 4,
  vbRetryCancel = 5,
  vbCritical = 16,
  vbQuestion = 32,
  vbExclamation = 48,
  vbInformation = 64,
};

enum MsgBoxResult : int32_t { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

// Shows a message box. The container provides it (platform/), the runtime only names it.
class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  virtual MsgBoxResult MsgBox(const std::string& prompt, int32_t buttons, const std::string& title) = 0;
};

// "<number><procedureText><description>", the text of every error report.
std::string FormatErrorReport(const Error& e, std::string_view procedureText);

// --- the three styles ----------------------------------------------------------------------------

// Error 7, what a failed allocation becomes.
Error OutOfMemoryError();
// Leaves the error in Err().
void RecordErr(const Error& e);

// Runs one statement; an Error is swallowed and left in Err(). Returns true when it succeeded.
template <class F>
bool ResumeNext(F&& statement) {
  try {
    std::forward<F>(statement)();
    return true;
  } catch (const Error& e) {
    RecordErr(e);
    return false;
  } catch (const std::bad_alloc&) {
    RecordErr(OutOfMemoryError());
    return false;
  }
}

// Runs each statement in turn under ResumeNext: a procedure in resume-next mode, in one line.
template <class... F>
void ResumeEach(F&&... statements) {
  (ResumeNext(std::forward<F>(statements)), ...);
}

// A value read in resume-next mode: the empty value of its type when reading fails.
template <class T, class F>
T ResumeGet(F&& read) {
  T value{};
  ResumeNext([&] { value = std::forward<F>(read)(); });
  return value;
}

// Runs the body; an Error is reported with a "Warning" message box whose text is the error number,
// procedureText and the description, and the empty result R{} is returned.
template <class R = void, class F>
R ReportAndEnd(MessageBoxService& box, std::string_view procedureText, int32_t icon, F&& body) {
  try {
    if constexpr (std::is_void_v<R>) {
      std::forward<F>(body)();
      return;
    } else {
      return std::forward<F>(body)();
    }
  } catch (const Error& e) {
    box.MsgBox(FormatErrorReport(e, procedureText), icon, "Warning");
  } catch (const std::bad_alloc&) {
    box.MsgBox(FormatErrorReport(OutOfMemoryError(), procedureText), icon, "Warning");
  }
  if constexpr (!std::is_void_v<R>) return R{};
}

// Runs the body; on an Error runs the cleanup, then rethrows the same error (a failed allocation
// goes on as Error 7).
template <class F, class C>
decltype(auto) CleanupAndReraise(F&& body, C&& cleanup) {
  try {
    return std::forward<F>(body)();
  } catch (const Error&) {
    std::forward<C>(cleanup)();
    throw;
  } catch (const std::bad_alloc&) {
    std::forward<C>(cleanup)();
    throw OutOfMemoryError();
  }
}

}  // namespace tamarind
