#include "coefview/attenuation_window.h"

#include "coefview/coefficient_viewer.h"
#include "coefview/values_window.h"
#include "common/main_window.h"
#include "common/numeric_text.h"
#include "tests/fake_prompts.h"
#include "tests/test_support.h"
#include "tests/window_support.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace tarvo {
namespace {

using coefview::CoefficientViewer;

using coefview::AttenuationWindow;
using Result = AttenuationWindow::Result;
using Box = coefview::ValuesWindow::Box;

class AttenuationWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::prepareRunDirectory({"mu_ele/82_Pb.mut", "mu_mix/Water.muc2"});
        ASSERT_TRUE(m_viewer.start());
    }

    void drawAt(const QString& file, bool element, const QString& energy) {
        element ? m_viewer.selectElement(file) : m_viewer.selectMaterial(file);
        m_viewer.draw();
        typeEnergy(energy);
    }
    void typeEnergy(const QString& energy) {
        m_viewer.valuesWindow().box(Box::energy).setText(energy);
        m_viewer.enterEnergy();
    }
    AttenuationWindow& window() { return m_viewer.attenuationWindow(); }
    void setThickness(const QString& thickness, const QString& unit) {
        window().unitList().setCurrentText(unit);
        window().thicknessBox().setText(thickness);
    }
    double result(Result which) {
        return numericValue(window().result(which).text().toStdString());
    }
    bool resultsEmpty() {
        for (int k = 0; k < 6; ++k) {
            if (!window().result(static_cast<Result>(k)).text().isEmpty()) {
                return false;
            }
        }
        return true;
    }

    testing::WorkingDirectory m_directory;
    testing::FakePrompts m_prompts;
    CoefficientViewer m_viewer{m_prompts, [](const QString&) { return true; }};
};

struct Expected {
    const char* what;
    QString file;
    bool element;
    QString energy, thickness, unit;
    double transmission, absorbed, halfValueLayer, tenthValueLayer, meanFreePath;
};

// Worked by hand from each table's values at the energy (tarvo mu --digits 6):
// lead at 0.662 MeV mu/rho 0.111052, mu_en/rho 0.0597992, rho 11.35, 2 mm (lengths in mm);
// water at 0.1 MeV mu/rho 0.1707, mu_en/rho 0.02546, rho 1, 10 cm; the same lead layer as
// 2.27 g/cm2 (lengths in g/cm2).
TEST_F(AttenuationWindowTest, ResultsAgreeWithHandWorkedLayers) {
    const Expected cases[] = {
        {"lead 2 mm", "82_Pb.mut", true, "0.662", "2", "mm", 0.77718, 0.11999, 5.4992, 18.268,
         7.9337},
        {"water 10 cm", "Water.muc2", false, "0.1", "10", "cm", 0.18141, 0.12209, 4.0606, 13.489,
         5.8582},
        {"lead 2.27 g/cm2", "82_Pb.mut", true, "0.662", "2.27", "g/cm²", 0.77718, 0.11999, 6.2416,
         20.734, 9.0048},
    };
    for (const Expected& c : cases) {
        drawAt(c.file, c.element, c.energy);
        m_viewer.openAttenuation();
        setThickness(c.thickness, c.unit);
        EXPECT_TRUE(window().isVisible()) << c.what;
        EXPECT_NEAR(result(Result::transmission), c.transmission, 2e-4 * c.transmission) << c.what;
        EXPECT_NEAR(result(Result::attenuated), 1 - c.transmission, 2e-4) << c.what;
        EXPECT_NEAR(result(Result::energyAbsorbed), c.absorbed, 2e-4 * c.absorbed) << c.what;
        EXPECT_NEAR(result(Result::halfValueLayer), c.halfValueLayer, 2e-4 * c.halfValueLayer)
            << c.what;
        EXPECT_NEAR(result(Result::tenthValueLayer), c.tenthValueLayer, 2e-4 * c.tenthValueLayer)
            << c.what;
        EXPECT_NEAR(result(Result::meanFreePath), c.meanFreePath, 2e-4 * c.meanFreePath) << c.what;
        // Half the beam through: the half-value layer, in the unit chosen.
        window().transmissionBox().setText(QStringLiteral("0.5"));
        EXPECT_NEAR(numericValue(window().thicknessForTransmissionField().text().toStdString()),
                    c.halfValueLayer, 2e-4 * c.halfValueLayer)
            << c.what;
        window().transmissionBox().clear();
    }
}

// The window follows the values window: a new energy, a cleared energy, a new table; and a
// box that cannot be read leaves no result standing.
TEST_F(AttenuationWindowTest, NoResultOutlivesItsInput) {
    drawAt(QStringLiteral("82_Pb.mut"), true, QStringLiteral("0.662"));
    m_viewer.openAttenuation();
    setThickness(QStringLiteral("2"), QStringLiteral("mm"));
    EXPECT_EQ(window().densityBox().text(), QStringLiteral("11.35"));
    const double at662 = result(Result::transmission);
    typeEnergy(QStringLiteral("0.1"));
    EXPECT_NEAR(numericValue(window().energyField().text().toStdString()), 0.1, 1e-9);
    EXPECT_LT(result(Result::transmission), 1e-4 * at662);

    m_viewer.clearForEntry(Box::energy);
    EXPECT_TRUE(window().energyField().text().isEmpty());
    EXPECT_TRUE(resultsEmpty());
    EXPECT_FALSE(window().noteLabel().text().isEmpty());

    typeEnergy(QStringLiteral("0.662"));
    EXPECT_FALSE(resultsEmpty());
    // The boxes read a whole number as scripts give it: a unit or a comma in the box is no
    // number, blanks around it are passed over.
    for (const char* bad : {"-11", "x", "0", "inf", "nan", "11,35", "11.35 g"}) {
        window().densityBox().setText(QString::fromLatin1(bad));
        EXPECT_TRUE(resultsEmpty()) << bad;
    }
    window().densityBox().setText(QStringLiteral(" 11.35 "));
    EXPECT_FALSE(resultsEmpty());
    for (const char* bad : {"-2", "2mm", "2 mm", "1e999"}) {
        window().thicknessBox().setText(QString::fromLatin1(bad));
        EXPECT_TRUE(resultsEmpty()) << bad;
    }
    window().thicknessBox().setText(QStringLiteral("2"));
    window().transmissionBox().setText(QStringLiteral("1.5"));
    EXPECT_TRUE(window().thicknessForTransmissionField().text().isEmpty());
    EXPECT_FALSE(resultsEmpty());

    m_viewer.selectMaterial(QStringLiteral("Water.muc2"));
    m_viewer.draw();
    EXPECT_EQ(window().densityBox().text(), QStringLiteral("1.0"));
    EXPECT_TRUE(resultsEmpty());
    window().closeButton().click();
    EXPECT_FALSE(window().isVisible());
    // Escape in a box closes it too; the viewer goes on.
    m_viewer.openAttenuation();
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    QTest::keyClick(&window().thicknessBox(), Qt::Key_Escape);
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(m_viewer.mainWindow().isVisible());
}

} // namespace
} // namespace tarvo
