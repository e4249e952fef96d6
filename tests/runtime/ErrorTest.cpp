#include "runtime/Error.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "tests/runtime/TestSupport.h"

namespace tamarind {
namespace {

TEST(Errors, RaiseCarriesNumberSourceAndDescription) {
  EXPECT_EQ(Error::StandardDescription(31999), "Application-defined or object-defined error");
  try {
    Raise(err::SubscriptOutOfRange, "Kestrel.ListItems");
    FAIL() << "Raise returned";
  } catch (const Error& e) {  // no text given: the standard one
    EXPECT_EQ(std::make_tuple(e.Number(), e.Source(), e.Description()),
              std::make_tuple(9, std::string("Kestrel.ListItems"), std::string("Subscript out of range")));
    EXPECT_NE(std::string(e.what()).find("Subscript out of range"), std::string::npos);
  }
}

// Records each message box as "title|buttons|prompt".
class RecordingBox : public MessageBoxService {
 public:
  std::vector<std::string> calls;
  MsgBoxResult MsgBox(const std::string& prompt, int32_t buttons, const std::string& title) override {
    calls.push_back(title + "|" + std::to_string(buttons) + "|" + prompt);
    return vbOK;
  }
};

class ErrorHandlers : public ::testing::Test {
 protected:
  void SetUp() override { Err().Clear(); }
  void TearDown() override { Err().Clear(); }
};

TEST_F(ErrorHandlers, ResumeNextSwallowsTheErrorAndGoesOn) {
  int reached = 0;
  EXPECT_FALSE(ResumeNext([] { Raise(err::InvalidPropertyValue, "Kestrel"); }));
  EXPECT_TRUE(ResumeNext([&] { ++reached; }));
  EXPECT_EQ(reached, 1);
  EXPECT_TRUE(static_cast<bool>(Err()));
  EXPECT_EQ(std::tie(Err().Number, Err().Description, Err().Source),
            std::make_tuple(380, std::string("Invalid property value"), std::string("Kestrel")));
  Err().Clear();
  EXPECT_FALSE(static_cast<bool>(Err()));
  EXPECT_EQ(Err().Description, "");
  // A failed allocation is the runtime's error 7 in every handler style, never the end of the process.
  EXPECT_FALSE(ResumeNext([] { throw std::bad_alloc(); }));
  EXPECT_EQ(Err().Number, err::OutOfMemory);
  Err().Clear();
  // Program faults are not runtime errors: they pass through untouched.
  EXPECT_THROW(ResumeNext([] { throw std::logic_error("bug"); }), std::logic_error);
  EXPECT_EQ(Err().Number, 0);
  // Err belongs to its thread.
  ResumeNext([] { Raise(err::Overflow); });
  int32_t seenOnOtherThread = -1;
  std::thread([&] { seenOnOtherThread = Err().Number; }).join();
  EXPECT_EQ(seenOnOtherThread, 0);
  EXPECT_EQ(Err().Number, 6);
}

TEST_F(ErrorHandlers, ReportAndEndShowsAWarningAndCleanupAndReraiseRethrowsTheSameError) {
  RecordingBox box;
  int steps = 0;
  const int32_t result = ReportAndEnd<int32_t>(box, ":Error in X.  Error Message: ", vbCritical, [&]() -> int32_t {
    ++steps;
    Raise(err::TypeMismatch);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(ReportAndEnd<int32_t>(box, ":Error in Z.  Error Message: ", vbExclamation,
                                  []() -> int32_t { throw std::bad_array_new_length(); }),
            0);
  EXPECT_EQ(box.calls, (std::vector<std::string>{"Warning|16|13:Error in X.  Error Message: Type mismatch",
                                                 "Warning|48|7:Error in Z.  Error Message: Out of memory"}));
  EXPECT_EQ(ReportAndEnd<std::string>(box, ":Error in Y.", vbExclamation, [] { return std::string("done"); }), "done");
  EXPECT_EQ(box.calls.size(), 2u);
  bool cleaned = false;
  try {
    CleanupAndReraise([]() -> int { Raise(err::InvalidProcedureCall, "PerformSortOnColumn", "No such column"); },
                      [&] { cleaned = true; });
    FAIL() << "no error came through";
  } catch (const Error& e) {
    EXPECT_TRUE(cleaned);
    EXPECT_EQ(std::make_tuple(e.Number(), e.Source(), e.Description()),
              std::make_tuple(5, std::string("PerformSortOnColumn"), std::string("No such column")));
  }
  cleaned = false;
  const auto outOfMemory = [&] { CleanupAndReraise([] { throw std::bad_alloc(); }, [&] { cleaned = true; }); };
  EXPECT_EQ(test_support::ErrorNumberOf(outOfMemory), err::OutOfMemory);
  EXPECT_TRUE(cleaned);
  cleaned = false;
  EXPECT_EQ(CleanupAndReraise([] { return 42; }, [&] { cleaned = true; }), 42);
  EXPECT_FALSE(cleaned);
}

}  // namespace
}  // namespace tamarind
