// The generic fatal-error report and the failure messages.
#include <gtest/gtest.h>

#include "failure.h"
#include "fatal_report.h"
#include "test_support.h"

TEST(FatalErrorText, NamesKindModuleAndPositionThenTheMessage) {
  Failure f{FailureKind::InOutError, "I/O error 145", reinterpret_cast<const void*>(0x4012ab)};
  EXPECT_EQ(FatalErrorText(f, "vrbdel.exe"),
            "Exception EInOutError in module vrbdel.exe at 004012AB.\nI/O error 145.");
}

TEST(FatalErrorText, AddsNoSecondFullStopAndNoneToAnEmptyMessage) {
  Failure dotted{FailureKind::FCreateError, "Cannot create file c:\\a.", nullptr};
  EXPECT_EQ(FatalErrorText(dotted, "Setup.exe"),
            "Exception EFCreateError in module Setup.exe at 00000000.\nCannot create file c:\\a.");
  Failure empty{FailureKind::RangeError, "", nullptr};
  EXPECT_EQ(FatalErrorText(empty, "Setup.exe"),
            "Exception ERangeError in module Setup.exe at 00000000.\n");
}

TEST(FatalErrorText, IsCutAt1024Characters) {
  Failure f{FailureKind::FCreateError, "Cannot create file " + std::string(2000, 'x'), nullptr};
  EXPECT_EQ(FatalErrorText(f, "Setup.exe").size(), 1024u);
}

TEST(InOutErrorMessage, UsesTheRuntimeWording) {
  EXPECT_EQ(InOutErrorMessage(2), "File not found");
  EXPECT_EQ(InOutErrorMessage(3), "Invalid filename");
  EXPECT_EQ(InOutErrorMessage(5), "File access denied");
  EXPECT_EQ(InOutErrorMessage(101), "Disk full");
  EXPECT_EQ(InOutErrorMessage(145), "I/O error 145");
}

TEST(RaiseFailure, CarriesKindMessageAndAPositionInTheRaisingCode) {
  try {
    RaiseFailure(FailureKind::ConvertError, "'99999999999' is not a valid integer value");
    FAIL() << "nothing raised";
  } catch (const Failure& f) {
    EXPECT_EQ(f.kind, FailureKind::ConvertError);
    EXPECT_STREQ(FailureKindName(f.kind), "EConvertError");
    EXPECT_NE(f.where, nullptr);
  }
}

TEST(ReportFatalError, ShowsOneTaskModalStopBoxCaptionedApplicationError) {
  FakeBoxes boxes;
  ReportFatalError(Failure{FailureKind::OutOfMemory, "Out of memory", nullptr},
                   "C:\\Program Files\\Verbalis\\vrbdel.exe");
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].caption, "Application Error");
  EXPECT_EQ(boxes.boxes()[0].text,
            "Exception EOutOfMemory in module vrbdel.exe at 00000000.\nOut of memory.");
  EXPECT_EQ(boxes.boxes()[0].type, 0x2010u);
}
