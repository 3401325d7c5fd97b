#include "splinetool/error_reporting.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tarvo::spline {
namespace {

struct ProgramStopped {};

class ErrorReportingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetErrorReporting();
        setErrorOutput(m_console);
        setStopAction([] { throw ProgramStopped{}; });
    }
    void TearDown() override {
        setStopAction({});
        keepErrorMessages(); // the console stream ends with the test
        resetErrorReporting();
    }
    std::ostringstream m_console;
};

TEST_F(ErrorReportingTest, AWarningIsPrintedWhenItsLevelIsLeftAndPassedOnWithoutStopping) {
    E1PSH("OUTER");
    E1PSH("INNER");
    E1STI(1, 7);
    E1MES(kWarning, 3, "Seven is %(I1).");
    EXPECT_TRUE(m_console.str().empty());
    E1POP("INNER");
    EXPECT_EQ(N1RTY(0), kWarning);
    EXPECT_EQ(N1RCD(1), 3);
    E1POP("OUTER");
    const std::string text = m_console.str();
    EXPECT_EQ(text.rfind(" *** WARNING  ERROR 3 from INNER.  Seven is 7.\n", 0), 0U) << text;
    EXPECT_EQ(text.find("Stop"), std::string::npos);
}

TEST_F(ErrorReportingTest, AFatalErrorStopsWhenItReachesTheRoutineTheMainProgramCalled) {
    E1PSH("OUTER");
    E1PSH("INNER");
    E1MES(kFatal, 4, "Out of order.");
    E1POP("INNER");
    EXPECT_NE(m_console.str().find("FATAL    ERROR 4 from INNER.  Out of order."),
              std::string::npos);
    EXPECT_THROW(E1POP("OUTER"), ProgramStopped);
    EXPECT_NE(m_console.str().find("Stop - Program terminated.\r\n"), std::string::npos);
}

TEST_F(ErrorReportingTest, NotesAreNeitherPrintedNorStopping) {
    E1PSH("ROUTINE");
    E1MES(kNote, 1, "Just so you know.");
    E1POP("ROUTINE");
    EXPECT_TRUE(m_console.str().empty());
}

TEST_F(ErrorReportingTest, LongTextsWrapAtBlanksWithinSeventyEightColumns) {
    E1PSH("CSIEZ");
    E1STL(1, std::string(40, 'x'));
    EXPECT_THROW(
        {
            E1MES(kTerminal, 9,
                  "Word %(L1) and a good many more words to fill up a second and "
                  "%/a third line of the message text.");
            E1POP("CSIEZ");
        },
        ProgramStopped);
    std::istringstream lines(m_console.str());
    int count = 0;
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 78U) << line;
        ++count;
    }
    EXPECT_GE(count, 4);
}

struct SelfCheck {
    const char* label;
    std::function<void()> action;
    const char* message;
};

class ErrorReportingSelfCheck : public ErrorReportingTest,
                                public ::testing::WithParamInterface<SelfCheck> {};

TEST_P(ErrorReportingSelfCheck, PrintsAndStops) {
    EXPECT_THROW(GetParam().action(), ProgramStopped);
    EXPECT_NE(m_console.str().find(GetParam().message), std::string::npos) << m_console.str();
}

INSTANTIATE_TEST_SUITE_P(
    Checks, ErrorReportingSelfCheck,
    ::testing::Values(
        SelfCheck{"pop_empty", [] { E1POP("CSIEZ"); },
                  "Error condition in E1POP.  Cannot pop from CSIEZ because stack is empty."},
        SelfCheck{"pop_mismatch",
                  [] {
                      E1PSH("C2DEC");
                      E1POP("C1SOR");
                  },
                  "Error condition in E1POP.  C1SOR does not match the name C2DEC in the stack."},
        SelfCheck{"push_overflow",
                  [] {
                      for (int i = 0; i < 50; ++i) {
                          E1PSH("DEEP");
                      }
                  },
                  "Error condition in E1PSH.  Push would cause stack level to exceed 50."},
        SelfCheck{"bad_type", [] { E1MES(8, 1, "x"); },
                  ".  Error from E1MES.  Illegal error type specified."},
        SelfCheck{"bad_rty", [] { N1RTY(2); }, ".  The argument passed to N1RTY must be 0 or 1."},
        SelfCheck{"bad_rcd", [] { N1RCD(-1); }, ".  The argument passed to N1RCD must be 0 or 1."}),
    [](const ::testing::TestParamInfo<SelfCheck>& info) { return std::string(info.param.label); });

} // namespace
} // namespace tarvo::spline
