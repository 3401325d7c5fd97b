#include "splinetool/error_reporting.h"
#include "splinetool/spline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>
#include <vector>

namespace tarvo::spline {
namespace {

struct ProgramStopped {};

// Routes the mechanism's output into a text and turns its stop into an exception.
class SplineTest : public ::testing::Test {
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

    float interpolate(const std::vector<float>& x, const std::vector<float>& f, float at) {
        float value = 0.0f;
        CSIEZ(static_cast<int>(x.size()), x.data(), f.data(), 1, &at, &value);
        return value;
    }

    std::ostringstream m_console;
};

float cubic(float x) {
    return 0.5f * x * x * x - 2.0f * x * x + 3.0f * x - 1.0f;
}

TEST_F(SplineTest, NotAKnotReproducesACubicAtAndBetweenBreakpointsAndBeyond) {
    const std::vector<float> x{-2.0f, -1.0f, 0.5f, 1.0f, 2.5f, 3.0f, 4.0f};
    std::vector<float> f;
    std::transform(x.begin(), x.end(), std::back_inserter(f), cubic);
    for (float at : {-2.0f, -1.5f, 0.0f, 0.75f, 1.0f, 2.0f, 3.5f, 4.0f, -2.5f, 4.5f}) {
        EXPECT_NEAR(interpolate(x, f, at), cubic(at), 2e-4f * (1.0f + std::fabs(cubic(at))))
            << "at " << at;
    }
    EXPECT_TRUE(m_console.str().empty());
}

TEST_F(SplineTest, TwoPointsGiveTheLineAndThreeTheParabola) {
    EXPECT_NEAR(interpolate({1.0f, 3.0f}, {2.0f, 6.0f}, 2.0f), 4.0f, 1e-6f);
    EXPECT_NEAR(interpolate({1.0f, 3.0f}, {2.0f, 6.0f}, 5.0f), 10.0f, 1e-5f);
    const auto parabola = [](float x) { return 2.0f * x * x - x + 1.0f; };
    const std::vector<float> x{0.0f, 1.0f, 3.0f};
    const std::vector<float> f{parabola(0.0f), parabola(1.0f), parabola(3.0f)};
    for (float at : {0.5f, 2.0f, 4.0f, -1.0f}) {
        EXPECT_NEAR(interpolate(x, f, at), parabola(at), 1e-4f) << "at " << at;
    }
}

TEST_F(SplineTest, DataInAnyOrderGiveTheSameSpline) {
    const std::vector<float> x{0.0f, 0.7f, 1.1f, 2.0f, 3.3f, 4.0f};
    const std::vector<float> f{1.0f, 0.2f, -0.4f, 0.9f, 2.5f, 1.0f};
    std::vector<size_t> order{3, 0, 5, 1, 4, 2};
    std::vector<float> shuffledX, shuffledF;
    for (size_t i : order) {
        shuffledX.push_back(x[i]);
        shuffledF.push_back(f[i]);
    }
    const std::vector<float> descendingX(x.rbegin(), x.rend());
    const std::vector<float> descendingF(f.rbegin(), f.rend());
    for (float at : {0.3f, 1.5f, 3.9f}) {
        const float reference = interpolate(x, f, at);
        EXPECT_FLOAT_EQ(interpolate(shuffledX, shuffledF, at), reference);
        EXPECT_FLOAT_EQ(interpolate(descendingX, descendingF, at), reference);
    }
    for (size_t i = 0; i < x.size(); ++i) {
        EXPECT_NEAR(interpolate(x, f, x[i]), f[i], 1e-5f);
    }
}

// With the cubic's own end slopes or second derivatives every end condition is exact.
TEST_F(SplineTest, EndConditionCodesOneAndTwoReproduceTheCubic) {
    const std::vector<float> x{0.0f, 1.0f, 2.0f, 3.5f, 5.0f};
    std::vector<float> f;
    std::transform(x.begin(), x.end(), std::back_inserter(f), cubic);
    const auto slope = [](float t) { return 1.5f * t * t - 4.0f * t + 3.0f; };
    const auto curvature = [](float t) { return 3.0f * t - 4.0f; };
    const struct {
        int left;
        float leftValue;
        int right;
        float rightValue;
    } cases[] = {{1, slope(0.0f), 1, slope(5.0f)},
                 {2, curvature(0.0f), 2, curvature(5.0f)},
                 {1, slope(0.0f), 0, 0.0f},
                 {0, 0.0f, 2, curvature(5.0f)}};
    for (const auto& c : cases) {
        std::vector<float> breakpoints(5), coefficients(20);
        std::vector<int> work(5);
        C2DEC(5, x.data(), f.data(), c.left, c.leftValue, c.right, c.rightValue, breakpoints.data(),
              coefficients.data(), work.data());
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(coefficients[static_cast<size_t>(4 * i + 1)],
                        slope(x[static_cast<size_t>(i)]), 1e-4f)
                << c.left << "/" << c.right << " interval " << i;
            EXPECT_NEAR(coefficients[static_cast<size_t>(4 * i + 3)], 3.0f, 1e-3f);
        }
    }
}

TEST_F(SplineTest, OnePointIsATerminalErrorFromCsiez) {
    EXPECT_THROW(interpolate({1.0f}, {2.0f}, 1.0f), ProgramStopped);
    EXPECT_EQ(m_console.str(),
              " *** TERMINAL ERROR 1 from CSIEZ.  The number of data points must be 2 or more\n"
              " ***          while NDATA = 1 is given.\n"
              "Stop - Program terminated.\r\n");
}

TEST_F(SplineTest, EqualAbscissaeAreATerminalErrorFromC1sorWithTraceback) {
    EXPECT_THROW(interpolate({0.0f, 2.0f, 1.0f, 2.0f}, {1, 2, 3, 4}, 1.5f), ProgramStopped);
    EXPECT_EQ(m_console.str(),
              " *** TERMINAL ERROR 2 from C1SOR.  Points in the data point abscissas array,\n"
              " ***          XDATA, must be distinct, but XDATA(2) = XDATA(4) = 2.\n"
              " ***    Here is a traceback of subprogram calls in reverse order:\n"
              " ***    Routine name  Error type  Error code\n"
              " ***    ------------  ----------  ----------\n"
              " ***    C1SOR                  5           2  (Called internally)\n"
              " ***    C2DEC                  0           0  (Called internally)\n"
              " ***    C2INT                  0           0  (Called internally)\n"
              " ***    C2IEZ                  0           0  (Called internally)\n"
              " ***    CSIEZ                  0           0\n"
              " ***    USER                   0           0\n"
              "Stop - Program terminated.\r\n");
}

TEST_F(SplineTest, AdjacentEqualAbscissaeNameTheirPositions) {
    EXPECT_THROW(interpolate({0.0f, 1.0f, 1.0f}, {1, 2, 3}, 0.5f), ProgramStopped);
    EXPECT_NE(m_console.str().find("XDATA(2) = XDATA(3) = 1."), std::string::npos)
        << m_console.str();
}

TEST_F(SplineTest, PermuAndSvrgpKeepTheRecord) {
    std::vector<float> values{3.0f, 1.0f, 2.0f};
    std::vector<int> record{1, 2, 3};
    SVRGP(3, values.data(), values.data(), record.data());
    EXPECT_EQ(values, (std::vector<float>{1.0f, 2.0f, 3.0f}));
    EXPECT_EQ(record, (std::vector<int>{2, 3, 1}));
    std::vector<float> back(3);
    const std::vector<float> original{3.0f, 1.0f, 2.0f};
    PERMU(3, original.data(), record.data(), 1, back.data());
    EXPECT_EQ(back, values);
    PERMU(3, values.data(), record.data(), 2, back.data());
    EXPECT_EQ(back, original);
    EXPECT_EQ(record, (std::vector<int>{2, 3, 1}));
}

TEST_F(SplineTest, PermuRefusesAnEntryOutsideOneToN) {
    std::vector<float> values{1.0f, 2.0f};
    std::vector<int> record{1, 3};
    E1PSH("CSIEZ");
    EXPECT_THROW(PERMU(2, values.data(), record.data(), 1, values.data()), ProgramStopped);
    EXPECT_NE(m_console.str().find("IPERMU(2) = 3 is not allowed.  It must be\n"
                                   " ***          between 1 and N = 2.\n"),
              std::string::npos)
        << m_console.str();
}

} // namespace
} // namespace tarvo::spline
