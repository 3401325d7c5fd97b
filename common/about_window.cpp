#include "about_window.h"

#include "common/accessible_names.h"
#include "common/button_keys.h"

#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace tarvo {

QString aboutText() {
    return QStringLiteral(
               "<h2>Tarvo %1</h2>"
               "<p>Photon cross sections and the mass attenuation, energy-transfer and "
               "energy-absorption coefficients of elements and materials: the cross-section "
               "viewer Tarvo7S_sub1, the coefficient viewer Tarvo7S_sub2, the spline tool "
               "Tarvo6_sub3 and the command-line tool tarvo.</p>"
               "<h3>Where the numbers come from</h3>"
               "<p><b>Partial cross sections</b> (coherent and incoherent scattering, "
               "photo-electric absorption, pair production in the nuclear and in the electron "
               "field) of the elements H to U, 1 keV to 100 GeV: M. J. Berger, J. H. Hubbell, "
               "S. M. Seltzer, J. Chang, J. S. Coursey, R. Sukumar, D. S. Zucker and K. Olsen, "
               "<i>XCOM: Photon Cross Sections Database</i>, NIST Standard Reference Database 8 "
               "(XGAM), version 3.1, National Institute of Standards and Technology.</p>"
               "<p><b>Mass attenuation coefficient &mu;/&rho; and mass energy-absorption "
               "coefficient &mu;<sub>en</sub>/&rho;</b>, 1 keV to 20 MeV, of the elements and of "
               "48 materials (their compositions and densities; tissues after ICRU Report 44): "
               "J. H. Hubbell and S. M. Seltzer, <i>Tables of X-Ray Mass Attenuation "
               "Coefficients and Mass Energy-Absorption Coefficients from 1 keV to 20 MeV for "
               "Elements Z = 1 to 92 and 48 Additional Substances of Dosimetric Interest</i>, "
               "NIST Standard Reference Database 126 (NISTIR 5632).</p>"
               "<p><b>Mass energy-transfer coefficient &mu;<sub>tr</sub>/&rho;</b>, which the "
               "published tables lack, is derived for each element and energy as the sum of "
               "the partial coefficients, each times the mean fraction of the photon energy "
               "given to electrons: none for coherent scattering; the Klein&ndash;Nishina "
               "transfer fraction weighted by the incoherent scattering function for "
               "incoherent scattering; 1 &minus; 2mc&sup2;/E for pair production; 1 &minus; "
               "X/E for photo-electric absorption, X the mean fluorescence energy emitted "
               "through the K, L and M vacancy cascade. The atomic data for it (jump ratios, "
               "fluorescence yields, Coster&ndash;Kronig and transition rates, line energies, "
               "scattering functions) come from xraylib (T. Schoonjans et al., "
               "<i>Spectrochimica Acta B</i> 66 (2011) 776&ndash;784). It is never below "
               "&mu;<sub>en</sub>/&rho;.</p>"
               "<p><b>X-ray tube spectra</b> come from two empirical models: J. M. Boone and "
               "J. A. Seibert, <i>Med. Phys.</i> 24 (1997) 1661&ndash;1670 (tungsten anode, "
               "30&ndash;140 kV), and J. M. Boone, T. R. Fewell and R. J. Jennings, <i>Med. "
               "Phys.</i> 24 (1997) 1863&ndash;1874 (molybdenum, rhodium and tungsten anodes "
               "for mammography, 18&ndash;42 kV).</p>"
               "<p><b>Compounds and mixtures</b> are combined from the element tables by the "
               "Bragg additivity rule, by weight; between the rows of a table values are "
               "interpolated linearly on the log-log scale, or by a not-a-knot cubic spline "
               "for the tables on equal energy steps.</p>"
               "<h3>Licences</h3>"
               "<p>Tarvo is free software under the MIT License (the file LICENSE beside the "
               "sources; /usr/share/doc/tarvo/copyright in the Debian package). Copyright "
               "&copy; 2026 The Tarvo developers.</p>"
               "<p>The reference data are public data of the National Institute of Standards "
               "and Technology, used under its terms for Standard Reference Data; cite them as "
               "above. Qt 6 "
               "(The Qt Company) is used under the GNU Lesser General Public License "
               "version 3. The Liberation fonts are under the SIL Open Font License 1.1, the "
               "IPA fonts under the IPA Font License. xraylib (BSD licence) is used only to "
               "generate the tables; CLI11 (BSD licence) and nlohmann-json (MIT licence) are "
               "used by the command-line tool, pybind11 (BSD licence) by the Python module.</p>")
        .arg(QStringLiteral(TARVO_VERSION));
}

AboutWindow::AboutWindow(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("About Tarvo"));
    markAsDialog(*this);
    m_text = new QTextBrowser(this);
    m_text->setHtml(aboutText());
    nameControl(m_text, QStringLiteral("About Tarvo"));
    m_closeButton = new QPushButton(QStringLiteral("Close"), this);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_closeButton, 0, Qt::AlignRight);
    closeOnEscape(*this);
    resize(620, 560);
}

void showAboutWindow() {
    static QPointer<AboutWindow> window;
    if (window.isNull()) {
        window = new AboutWindow;
        window->setAttribute(Qt::WA_DeleteOnClose);
        // The About window alone never keeps a program running.
        window->setAttribute(Qt::WA_QuitOnClose, false);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace tarvo
