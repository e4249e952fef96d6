#include "runtime/Error.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace tamarind {
namespace {

TEST(Errors, RaiseCarriesNumberSourceAndDescription) {
  EXPECT_EQ(Error::StandardDescription(err::DuplicateKey),
            "This key is already associated with an element of this collection");
  EXPECT_EQ(Error::StandardDescription(31999), "Application-defined or object-defined error");
  try {
    Raise(err::SubscriptOutOfRange, "Kestrel.ListItems");
    FAIL() << "Raise returned";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 9);
    EXPECT_EQ(e.Source(), "Kestrel.ListItems");
    EXPECT_EQ(e.Description(), "Subscript out of range");  // no text given: the standard one
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
  EXPECT_EQ(Err().Number, 380);
  EXPECT_EQ(Err().Description, "Invalid property value");
  EXPECT_EQ(Err().Source, "Kestrel");
  Err().Clear();
  EXPECT_FALSE(static_cast<bool>(Err()));
  EXPECT_EQ(Err().Description, "");
  // Program faults are not runtime errors: they pass through untouched.
  EXPECT_THROW(ResumeNext([] { throw std::logic_error("bug"); }), std::logic_error);
  EXPECT_EQ(Err().Number, 0);
}

// A failed allocation is the runtime's error 7 in every handler style, never the end of the process.
TEST_F(ErrorHandlers, AnAllocationThatFailsIsOutOfMemory) {
  int reached = 0;
  EXPECT_FALSE(ResumeNext([] { throw std::bad_alloc(); }));
  EXPECT_TRUE(ResumeNext([&] { ++reached; }));
  EXPECT_EQ(reached, 1);
  EXPECT_EQ(Err().Number, err::OutOfMemory);
  EXPECT_EQ(Err().Description, "Out of memory");

  RecordingBox box;
  EXPECT_EQ(ReportAndEnd<int32_t>(box, ":Error in Z.  Error Message: ", vbCritical,
                                  []() -> int32_t { throw std::bad_array_new_length(); }),
            0);
  EXPECT_EQ(box.calls, (std::vector<std::string>{"Warning|16|7:Error in Z.  Error Message: Out of memory"}));

  bool cleaned = false;
  try {
    CleanupAndReraise([] { throw std::bad_alloc(); }, [&] { cleaned = true; });
    FAIL() << "no error came through";
  } catch (const Error& e) {
    EXPECT_TRUE(cleaned);
    EXPECT_EQ(e.Number(), err::OutOfMemory);
  }
}

TEST_F(ErrorHandlers, ErrIsPerThread) {
  ResumeNext([] { Raise(err::Overflow); });
  int32_t seenOnOtherThread = -1;
  std::thread([&] { seenOnOtherThread = Err().Number; }).join();
  EXPECT_EQ(seenOnOtherThread, 0);
  EXPECT_EQ(Err().Number, 6);
}

TEST_F(ErrorHandlers, ReportAndEndStopsTheBodyShowsAWarningAndReturnsEmpty) {
  RecordingBox box;
  int steps = 0;
  const int32_t result = ReportAndEnd<int32_t>(box, ":Error in X.  Error Message: ", vbCritical, [&]() -> int32_t {
    ++steps;
    Raise(err::TypeMismatch);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(box.calls, (std::vector<std::string>{"Warning|" + std::to_string(vbCritical) +
                                                   "|13:Error in X.  Error Message: Type mismatch"}));

  const std::string text = ReportAndEnd<std::string>(box, ":Error in Y.", vbExclamation, [] {
    return std::string("done");
  });
  EXPECT_EQ(text, "done");
  EXPECT_EQ(box.calls.size(), 1u);
}

TEST_F(ErrorHandlers, CleanupAndReraiseRethrowsTheSameError) {
  bool cleaned = false;
  try {
    CleanupAndReraise([]() -> int { Raise(err::InvalidProcedureCall, "PerformSortOnColumn", "No such column"); },
                      [&] { cleaned = true; });
    FAIL() << "no error came through";
  } catch (const Error& e) {
    EXPECT_TRUE(cleaned);
    EXPECT_EQ(e.Number(), 5);
    EXPECT_EQ(e.Source(), "PerformSortOnColumn");
    EXPECT_EQ(e.Description(), "No such column");
  }

  cleaned = false;
  EXPECT_EQ(CleanupAndReraise([] { return 42; }, [&] { cleaned = true; }), 42);
  EXPECT_FALSE(cleaned);
}

}  // namespace
}  // namespace tamarind
