#include "runtime/Error.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

namespace tamarind {
namespace {

TEST(Errors, StandardDescriptionsReadAsTheRuntimes) {
  EXPECT_EQ(Error::StandardDescription(err::InvalidProcedureCall), "Invalid procedure call or argument");
  EXPECT_EQ(Error::StandardDescription(err::Overflow), "Overflow");
  EXPECT_EQ(Error::StandardDescription(err::SubscriptOutOfRange), "Subscript out of range");
  EXPECT_EQ(Error::StandardDescription(err::DivisionByZero), "Division by zero");
  EXPECT_EQ(Error::StandardDescription(err::TypeMismatch), "Type mismatch");
  EXPECT_EQ(Error::StandardDescription(err::ObjectNotSet), "Object variable or With block variable not set");
  EXPECT_EQ(Error::StandardDescription(err::InvalidPatternString), "Invalid pattern string");
  EXPECT_EQ(Error::StandardDescription(err::InvalidUseOfNull), "Invalid use of Null");
  EXPECT_EQ(Error::StandardDescription(err::InvalidPropertyValue), "Invalid property value");
  EXPECT_EQ(Error::StandardDescription(err::SetNotPermitted), "Set not permitted");
  EXPECT_EQ(Error::StandardDescription(err::DuplicateKey),
            "This key is already associated with an element of this collection");
  EXPECT_EQ(Error::StandardDescription(err::IndexOutOfBounds), "Index out of bounds");
  EXPECT_EQ(Error::StandardDescription(err::ElementNotFound), "Element not found");
  EXPECT_EQ(Error::StandardDescription(err::KeyNotUnique), "Key is not unique in collection");
  EXPECT_EQ(Error::StandardDescription(err::InvalidKey), "Invalid key");
  EXPECT_EQ(Error::StandardDescription(err::PathNotFound), "Path not found");
  EXPECT_EQ(Error::StandardDescription(err::ObjectDoesNotSupport), "Object doesn't support this property or method");
  EXPECT_EQ(Error::StandardDescription(31999), "Application-defined or object-defined error");
}

TEST(Errors, EveryNamedNumberHasItsOwnText) {
  const int32_t named[] = {err::InvalidProcedureCall, err::Overflow, err::OutOfMemory, err::SubscriptOutOfRange,
                           err::DivisionByZero, err::TypeMismatch, err::BadFileNameOrNumber, err::FileNotFound,
                           err::PermissionDenied, err::PathFileAccessError, err::PathNotFound, err::ObjectNotSet,
                           err::InvalidPatternString, err::InvalidUseOfNull, err::InvalidPropertyValue,
                           err::InvalidPropertyArrayIndex, err::SetNotPermitted, err::ObjectRequired,
                           err::CannotCreateObject, err::ObjectDoesNotSupport, err::DuplicateKey, err::InvalidPicture,
                           err::IndexOutOfBounds, err::ElementNotFound, err::KeyNotUnique, err::InvalidKey};
  for (int32_t n : named) {
    EXPECT_NE(Error::StandardDescription(n), "Application-defined or object-defined error") << n;
  }
}

TEST(Errors, EmptyDescriptionTakesTheStandardText) {
  const Error e(err::TypeMismatch);
  EXPECT_EQ(e.Number(), 13);
  EXPECT_EQ(e.Description(), "Type mismatch");
  EXPECT_EQ(Error(380, "Bad colour").Description(), "Bad colour");
}

TEST(Errors, RaiseCarriesNumberSourceAndDescription) {
  try {
    Raise(err::SubscriptOutOfRange, "Kestrel.ListItems");
    FAIL() << "Raise returned";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 9);
    EXPECT_EQ(e.Source(), "Kestrel.ListItems");
    EXPECT_EQ(e.Description(), "Subscript out of range");
    EXPECT_NE(std::string(e.what()).find("Subscript out of range"), std::string::npos);
  }
  try {
    Raise(1001, "Host", "Custom text");
    FAIL() << "Raise returned";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 1001);
    EXPECT_EQ(e.Description(), "Custom text");
  }
}

class RecordingBox : public MessageBoxService {
 public:
  struct Call {
    std::string prompt;
    int32_t buttons;
    std::string title;
  };
  std::vector<Call> calls;
  MsgBoxResult MsgBox(const std::string& prompt, int32_t buttons, const std::string& title) override {
    calls.push_back({prompt, buttons, title});
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
}

TEST_F(ErrorHandlers, ResumeNextLetsProgramFaultsThrough) {
  EXPECT_THROW(ResumeNext([] { throw std::logic_error("bug"); }), std::logic_error);
  EXPECT_EQ(Err().Number, 0);
}

TEST_F(ErrorHandlers, ErrIsPerThread) {
  ResumeNext([] { Raise(err::Overflow); });
  int32_t seenOnOtherThread = -1;
  std::thread t([&] { seenOnOtherThread = Err().Number; });
  t.join();
  EXPECT_EQ(seenOnOtherThread, 0);
  EXPECT_EQ(Err().Number, 6);
}

TEST_F(ErrorHandlers, ReportAndEndShowsWarningAndReturnsEmptyResult) {
  RecordingBox box;
  const int32_t result = ReportAndEnd<int32_t>(box, ":Error in X.  Error Message: ", vbCritical, []() -> int32_t {
    Raise(err::TypeMismatch);
  });
  EXPECT_EQ(result, 0);
  ASSERT_EQ(box.calls.size(), 1u);
  EXPECT_EQ(box.calls[0].prompt, "13:Error in X.  Error Message: Type mismatch");
  EXPECT_EQ(box.calls[0].title, "Warning");
  EXPECT_EQ(box.calls[0].buttons, vbCritical);

  const std::string text = ReportAndEnd<std::string>(box, ":Error in Y.", vbExclamation, [] {
    return std::string("done");
  });
  EXPECT_EQ(text, "done");
  EXPECT_EQ(box.calls.size(), 1u);
}

TEST_F(ErrorHandlers, ReportAndEndStopsTheBodyAtTheError) {
  RecordingBox box;
  int steps = 0;
  ReportAndEnd(box, ":Error in Z.  Error Message: ", vbCritical, [&] {
    ++steps;
    Raise(err::SubscriptOutOfRange);
    ++steps;
  });
  EXPECT_EQ(steps, 1);
  ASSERT_EQ(box.calls.size(), 1u);
  EXPECT_EQ(box.calls[0].prompt, "9:Error in Z.  Error Message: Subscript out of range");
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
