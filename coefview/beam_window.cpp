#include "beam_window.h"

#include "beams/tube_spectra.h"
#include "coefview/beam_plot.h"
#include "coefview/filter_rows_editor.h"
#include "coefview/thickness_units.h"
#include "common/accessible_names.h"
#include "common/button_keys.h"
#include "common/graph_surface.h"
#include "common/numeric_text.h"
#include "common/save_dialog.h"
#include "materials/table_catalogue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

namespace tarvo::coefview {
namespace {

enum SourceEntry { tubeEntry, qualityEntry, fileEntry };

const char* const kQualityRowCaptions[] = {"HVL1", "HVL2",          "QVL",
                                           "TVL",  "h = HVL1/HVL2", "Effective energy"};
const char* const kFigureCaptions[] = {"Mean energy (fluence)", "Mean energy (air kerma)",
                                       "Air kerma per mAs at 1 m"};

// The names the material lists offer: element symbols, then the materials' own stems.
QStringList tableNames(const DataDirectory& data) {
    QStringList names;
    for (const CatalogueEntry& entry : catalogueTables(data, TableSelection::all, "")) {
        if (entry.tables.find("mu") == std::string::npos) {
            continue;
        }
        const std::size_t mark = entry.stem.find('_');
        names << QString::fromStdString(entry.kind == "element" && mark != std::string::npos
                                            ? entry.stem.substr(mark + 1)
                                            : entry.stem);
    }
    return names;
}

QLineEdit* readOnlyField(QWidget* parent, const QString& name) {
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    nameControl(field, name);
    return field;
}

std::optional<double> typedNumber(const QLineEdit& box) {
    return strictNumber(trimBlanks(box.text().toStdString()));
}

QLabel* captionFor(QWidget* control, const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    nameAfterLabel(control, label);
    return label;
}

} // namespace

BeamWindow::BeamWindow(UserPrompts& prompts, DataDirectory data, QWidget* parent)
    : QWidget(parent), m_prompts(prompts), m_data(std::move(data)) {
    setWindowTitle(QStringLiteral("Beam"));
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    left->addWidget(createSource());
    left->addWidget(createLayers());
    left->addWidget(createQualityTable());
    left->addStretch();
    layout->addLayout(left);
    auto* right = new QVBoxLayout;
    right->addWidget(createPlots());
    right->addWidget(createButtons());
    layout->addLayout(right);
    connectSignals();
    showSourceControls();
    m_filters->addRow(QStringLiteral("Al"), QStringLiteral("2.5"));
    recalculate();
}

BeamWindow::~BeamWindow() = default;

QWidget* BeamWindow::createSource() {
    auto* group = new QGroupBox(QStringLiteral("Source"), this);
    auto* grid = new QGridLayout(group);
    m_source = new QComboBox(group);
    m_source->addItems({QStringLiteral("X-ray tube"), QStringLiteral("Standard quality"),
                        QStringLiteral("Spectrum file")});
    grid->addWidget(captionFor(m_source, QStringLiteral("Beam from"), group), 0, 0);
    grid->addWidget(m_source, 0, 1, 1, 2);
    m_anode = new QComboBox(group);
    for (const char* name : kTubeModelNames) {
        m_anode->addItem(QString::fromLatin1(name));
    }
    m_voltage = new QLineEdit(QStringLiteral("80"), group);
    m_ripple = new QLineEdit(QStringLiteral("0"), group);
    m_quality = new QComboBox(group);
    for (const RadiationQuality& quality : kRadiationQualities) {
        m_quality->addItem(QString::fromLatin1(quality.name));
    }
    m_quality->setCurrentText(QStringLiteral("RQR5"));
    m_file = new QLineEdit(group);
    m_chooseFile = new QPushButton(QStringLiteral("Choose…"), group);
    const std::pair<QWidget*, const char*> rows[] = {{m_anode, "Anode"},
                                                     {m_voltage, "Tube voltage, kV"},
                                                     {m_ripple, "Ripple, %"},
                                                     {m_quality, "Quality (IEC 61267)"},
                                                     {m_file, "Spectrum file (keV, photons)"}};
    int row = 1;
    for (const auto& [control, caption] : rows) {
        grid->addWidget(captionFor(control, QString::fromUtf8(caption), group), row, 0);
        grid->addWidget(control, row++, 1);
    }
    grid->addWidget(m_chooseFile, row - 1, 2);
    nameControl(m_chooseFile, QStringLiteral("Choose the spectrum file"));
    return group;
}

QWidget* BeamWindow::createLayers() {
    auto* group = new QGroupBox(QStringLiteral("Layers"), this);
    auto* layout = new QVBoxLayout(group);
    const QStringList names = tableNames(m_data);
    m_filters = new FilterRowsEditor(names, group);
    layout->addWidget(m_filters);
    auto* chosen = new QHBoxLayout;
    m_chosenMaterial = new QLineEdit(QStringLiteral("Al"), group);
    m_chosenMaterial->setCompleter(materialCompleter(names, m_chosenMaterial));
    chosen->addWidget(captionFor(
        m_chosenMaterial, QStringLiteral("Half-value layers and transmission also in"), group));
    chosen->addWidget(m_chosenMaterial, 1);
    layout->addLayout(chosen);
    m_note = new QLabel(group);
    m_note->setWordWrap(true);
    m_note->setTextFormat(Qt::PlainText); // it quotes what was typed
    m_note->setMinimumHeight(3 * m_note->fontMetrics().lineSpacing());
    m_note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_note->setStyleSheet(QStringLiteral("color: #b00000"));
    layout->addWidget(m_note);
    return group;
}

QWidget* BeamWindow::createQualityTable() {
    m_qualityGroup = new QGroupBox(QStringLiteral("Quality (air kerma)"), this);
    auto* grid = new QGridLayout(m_qualityGroup);
    for (int row = 0; row < 3; ++row) {
        const QString caption = QString::fromUtf8(kFigureCaptions[row]);
        m_figures[static_cast<std::size_t>(row)] = readOnlyField(m_qualityGroup, caption);
        grid->addWidget(new QLabel(caption, m_qualityGroup), row, 0);
        grid->addWidget(m_figures[static_cast<std::size_t>(row)], row, 1, 1, 3);
    }
    grid->addWidget(new QLabel(QStringLiteral("Al"), m_qualityGroup), 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Cu"), m_qualityGroup), 3, 2);
    m_chosenHeading = new QLabel(m_qualityGroup);
    m_chosenHeading->setTextFormat(Qt::PlainText);
    grid->addWidget(m_chosenHeading, 3, 3);
    for (int row = 0; row < 6; ++row) {
        grid->addWidget(new QLabel(QString::fromUtf8(kQualityRowCaptions[row]), m_qualityGroup),
                        row + 4, 0);
        for (int column = 0; column < kQualityColumns; ++column) {
            QLineEdit*& field =
                m_qualityFields[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
            field = readOnlyField(m_qualityGroup, QString());
            grid->addWidget(field, row + 4, column + 1);
        }
    }
    return m_qualityGroup;
}

QWidget* BeamWindow::createPlots() {
    auto* plots = new QWidget(this);
    auto* layout = new QVBoxLayout(plots);
    m_spectrumPlot = new GraphSurface(beamPlotFrame(), 10.0, plots);
    m_transmissionPlot = new GraphSurface(beamPlotFrame(), 10.0, plots);
    m_spectrumReadOut = readOnlyField(plots, QStringLiteral("Spectrum at the pointer"));
    m_transmissionReadOut = readOnlyField(plots, QStringLiteral("Transmission at the pointer"));
    m_logarithmic = new QCheckBox(QStringLiteral("Logarithmic counts"), plots);
    for (GraphSurface* surface : {m_spectrumPlot, m_transmissionPlot}) {
        surface->setBackground(paletteColor(1));
        surface->setForeground(paletteColor(15));
        surface->clear();
    }
    m_spectrumPlot->setAccessibleDescription(QStringLiteral(
        "Photons per keV against photon energy, before and after the filters; the beam's "
        "figures are in the quality table"));
    m_transmissionPlot->setAccessibleDescription(QStringLiteral(
        "Air kerma transmission against the thickness of the chosen material, HVL1 and HVL2 "
        "marked; their values are in the quality table"));
    m_spectrumLine = m_spectrumPlot->addOverlayLine(paletteColor(15));
    m_thicknessLine = m_transmissionPlot->addOverlayLine(paletteColor(15));
    m_transmissionLine = m_transmissionPlot->addOverlayLine(paletteColor(15));
    layout->addWidget(m_spectrumPlot);
    auto* under = new QHBoxLayout;
    under->addWidget(m_spectrumReadOut, 1);
    under->addWidget(m_logarithmic);
    layout->addLayout(under);
    layout->addWidget(m_transmissionPlot);
    layout->addWidget(m_transmissionReadOut);
    return plots;
}

QWidget* BeamWindow::createButtons() {
    auto* buttons = new QWidget(this);
    auto* layout = new QHBoxLayout(buttons);
    m_saveSpectrum = new QPushButton(QStringLiteral("Save spectrum (CSV)…"), buttons);
    m_saveSpectrumPlot = new QPushButton(QStringLiteral("Save spectrum plot…"), buttons);
    m_saveTransmissionPlot = new QPushButton(QStringLiteral("Save transmission plot…"), buttons);
    m_closeButton = new QPushButton(QStringLiteral("Close"), buttons);
    for (QPushButton* button :
         {m_saveSpectrum, m_saveSpectrumPlot, m_saveTransmissionPlot, m_closeButton}) {
        layout->addWidget(button);
    }
    return buttons;
}

void BeamWindow::connectSignals() {
    connect(m_source, &QComboBox::currentIndexChanged, this, [this] {
        showSourceControls();
        recalculate();
    });
    connect(m_anode, &QComboBox::currentIndexChanged, this, [this] {
        showSourceControls();
        recalculate();
    });
    connect(m_quality, &QComboBox::currentIndexChanged, this, &BeamWindow::recalculate);
    for (QLineEdit* box : {m_voltage, m_ripple, m_file}) {
        connect(box, &QLineEdit::textChanged, this, &BeamWindow::recalculate);
    }
    connect(m_chosenMaterial, &QLineEdit::textChanged, this, &BeamWindow::recalculate);
    connect(m_filters, &FilterRowsEditor::changed, this, &BeamWindow::recalculate);
    connect(m_logarithmic, &QCheckBox::toggled, this, &BeamWindow::drawPlots);
    connect(m_chooseFile, &QPushButton::clicked, this, [this] { fileDialog().open(); });
    connect(m_spectrumPlot, &GraphSurface::mouseMoved, this, &BeamWindow::pointerOverSpectrum);
    connect(m_transmissionPlot, &GraphSurface::mouseMoved, this,
            &BeamWindow::pointerOverTransmission);
    connect(m_saveSpectrum, &QPushButton::clicked, this,
            [this] { spectrumSaveDialog().prepareAndShow(); });
    connect(m_saveSpectrumPlot, &QPushButton::clicked, this,
            [this] { spectrumPlotSaveDialog().prepareAndShow(); });
    connect(m_saveTransmissionPlot, &QPushButton::clicked, this,
            [this] { transmissionPlotSaveDialog().prepareAndShow(); });
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);
    closeOnEscape(*this);
}

QFileDialog& BeamWindow::fileDialog() {
    if (m_fileDialog == nullptr) {
        m_fileDialog = new QFileDialog(this, QStringLiteral("Spectrum file"));
        m_fileDialog->setOption(QFileDialog::DontUseNativeDialog);
        m_fileDialog->setFileMode(QFileDialog::ExistingFile);
        m_fileDialog->setNameFilters({QStringLiteral("Spectra (*.csv *.txt *.dat)"),
                                      QStringLiteral("All files (*)")});
        connect(m_fileDialog, &QFileDialog::fileSelected, this, [this](const QString& path) {
            m_file->setText(path);
            m_source->setCurrentIndex(fileEntry);
        });
    }
    return *m_fileDialog;
}

QLineEdit& BeamWindow::qualityField(int row, int column) {
    return *m_qualityFields.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
}

void BeamWindow::showSourceControls() {
    const int source = m_source->currentIndex();
    m_anode->setEnabled(source == tubeEntry);
    m_voltage->setEnabled(source == tubeEntry);
    std::string error;
    const auto model = tubeModel(m_data, m_anode->currentText().toStdString(), error);
    m_ripple->setEnabled(source == tubeEntry && model && model->takesRipple);
    m_quality->setEnabled(source == qualityEntry);
    m_file->setEnabled(source == fileEntry);
}

void BeamWindow::setChosenMaterial(const QString& name) {
    m_chosenMaterial->setText(name);
}

std::variant<BeamSetting, BeamProblem> BeamWindow::typedSetting() const {
    BeamSetting setting;
    setting.source = static_cast<BeamSourceKind>(m_source->currentIndex());
    setting.anode = m_anode->currentText().toStdString();
    setting.quality = m_quality->currentText().toStdString();
    setting.file = trimBlanks(m_file->text().toStdString());
    setting.chosenMaterial = trimBlanks(m_chosenMaterial->text().toStdString());
    if (setting.source == BeamSourceKind::tube) {
        // A model without ripple has its box off, whatever it holds.
        const auto kV = typedNumber(*m_voltage);
        const auto ripple = m_ripple->isEnabled() ? typedNumber(*m_ripple) : 0.0;
        if (!kV) {
            return BeamProblem{BeamEntry::kV, -1, "type the tube voltage in kV"};
        }
        if (!ripple) {
            return BeamProblem{BeamEntry::ripple, -1, "type the ripple in %, 0 for none"};
        }
        setting.kV = *kV;
        setting.ripple = *ripple;
    }
    if (setting.source == BeamSourceKind::file && setting.file.empty()) {
        return BeamProblem{BeamEntry::file, -1, "choose a spectrum file"};
    }
    // A pipe or a terminal would hold the window until it ends; only a file is read.
    std::error_code ignored;
    if (setting.source == BeamSourceKind::file && std::filesystem::exists(setting.file, ignored) &&
        !std::filesystem::is_regular_file(setting.file, ignored)) {
        return BeamProblem{BeamEntry::file, -1,
                           setting.file + " is no file: choose a spectrum file"};
    }
    if (setting.chosenMaterial.empty()) {
        return BeamProblem{BeamEntry::chosenMaterial, -1, "type a material or a formula"};
    }
    auto rows = m_filters->typedRows();
    if (auto* problem = std::get_if<BeamProblem>(&rows)) {
        return *problem;
    }
    setting.filters = std::move(std::get<std::vector<FilterRow>>(rows));
    return setting;
}

QWidget* BeamWindow::boxOf(const BeamProblem& problem) {
    switch (problem.entry) {
    case BeamEntry::anode:
        return m_anode;
    case BeamEntry::kV:
        return m_voltage;
    case BeamEntry::ripple:
        return m_ripple;
    case BeamEntry::quality:
        return m_quality;
    case BeamEntry::file:
        return m_file;
    case BeamEntry::chosenMaterial:
        return m_chosenMaterial;
    default:
        return m_filters->boxOf(problem.entry, problem.row);
    }
}

// Every box is read afresh, so nothing shown outlives the setting it came from unmarked.
void BeamWindow::recalculate() {
    auto typed = typedSetting();
    if (auto* problem = std::get_if<BeamProblem>(&typed)) {
        showProblem(*problem);
        return;
    }
    const BeamSetting& setting = std::get<BeamSetting>(typed);
    auto result = studyBeam(m_data, setting);
    if (auto* problem = std::get_if<BeamProblem>(&result)) {
        showProblem(*problem);
        return;
    }
    showStudy(std::move(std::get<BeamStudy>(result)), setting);
}

void BeamWindow::showProblem(const BeamProblem& problem) {
    QWidget* box = boxOf(problem);
    const QString name = box != nullptr ? box->accessibleName() : QStringLiteral("Filters");
    m_stale = true;
    m_note->setText(name + QStringLiteral(": ") + QString::fromStdString(problem.message) +
                    (m_study ? QStringLiteral(". The figures and plots are of the last beam "
                                              "computed.")
                             : QString()));
    m_qualityGroup->setTitle(m_study ? QStringLiteral("Quality (air kerma), stale")
                                     : QStringLiteral("Quality (air kerma)"));
    for (auto& row : m_qualityFields) {
        for (QLineEdit* field : row) {
            field->setAccessibleDescription(m_study ? QStringLiteral("stale") : QString());
        }
    }
    drawPlots();
}

void BeamWindow::showStudy(BeamStudy study, const BeamSetting& setting) {
    m_study = std::move(study);
    m_shownSetting = setting;
    m_stale = false;
    m_note->clear();
    m_qualityGroup->setTitle(QStringLiteral("Quality (air kerma)"));
    const auto figures = beamFigures(*m_study);
    for (std::size_t k = 0; k < m_figures.size(); ++k) {
        m_figures[k]->setText(QString::fromStdString(figures[k][1]));
    }
    const QString chosen = QString::fromStdString(setting.chosenMaterial);
    m_chosenHeading->setText(chosen);
    const QString columns[] = {QStringLiteral("Al"), QStringLiteral("Cu"), chosen};
    const auto rows = qualityRows(*m_study);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < 3; ++column) {
            QLineEdit* field = m_qualityFields[row][column];
            field->setText(QString::fromStdString(rows[row].texts[column]));
            field->setToolTip(field->text()); // several effective energies may not fit
            field->setCursorPosition(0);
            nameControl(field, QString::fromStdString(rows[row].quantity) + QStringLiteral(" in ") +
                                   columns[column]);
            field->setAccessibleDescription(QString());
        }
    }
    drawPlots();
}

void BeamWindow::drawPlots() {
    if (!m_study) {
        return;
    }
    drawSpectrumPlot(*m_spectrumPlot, *m_study, m_logarithmic->isChecked(), m_stale);
    drawTransmissionPlot(*m_transmissionPlot, *m_study, m_stale);
    m_spectrumPlot->showOverlayLine(m_spectrumLine, false);
    m_transmissionPlot->showOverlayLine(m_thicknessLine, false);
    m_transmissionPlot->showOverlayLine(m_transmissionLine, false);
    m_spectrumReadOut->clear();
    m_transmissionReadOut->clear();
    m_spectrumPlot->update();
    m_transmissionPlot->update();
}

void BeamWindow::pointerOverSpectrum(double x, double y) {
    const std::string text =
        m_study && x >= 0 && x <= 1 && y >= 0 && y <= 1
            ? tarvo::spectrumReadOut(*m_study, axisValue(spectrumEnergyAxis(*m_study), x))
            : std::string();
    m_spectrumReadOut->setText(QString::fromStdString(text));
    m_spectrumPlot->moveOverlayLine(m_spectrumLine, x, 0, x, 1);
    m_spectrumPlot->showOverlayLine(m_spectrumLine, !text.empty());
    m_spectrumPlot->setCrossPointer(!text.empty());
}

void BeamWindow::pointerOverTransmission(double x, double y) {
    const double thickness = m_study ? axisValue(transmissionThicknessAxis(*m_study), x) : 0.0;
    const std::string text = m_study && x >= 0 && x <= 1 && y >= 0 && y <= 1
                                 ? tarvo::transmissionReadOut(*m_study, thickness)
                                 : std::string();
    m_transmissionReadOut->setText(QString::fromStdString(text));
    const double level = text.empty() ? 0.0 : transmissionAt(*m_study, thickness);
    m_transmissionPlot->moveOverlayLine(m_thicknessLine, x, 0, x, level);
    m_transmissionPlot->moveOverlayLine(m_transmissionLine, 0, level, x, level);
    m_transmissionPlot->showOverlayLine(m_thicknessLine, !text.empty());
    m_transmissionPlot->showOverlayLine(m_transmissionLine, !text.empty());
    m_transmissionPlot->setCrossPointer(!text.empty());
}

// A plot's dialog offers BMP, PNG and SVG; the spectrum's writes CSV.
SaveDialog& BeamWindow::saveDialog(std::unique_ptr<SaveDialog>& dialog, const QString& what,
                                   GraphSurface* plot) {
    if (dialog) {
        return *dialog;
    }
    const QString format = plot != nullptr ? QStringLiteral("bmp") : QStringLiteral("csv");
    dialog = std::make_unique<SaveDialog>(
        SaveDialogTexts{what + QStringLiteral(" save"),
                        what + QStringLiteral(" save in ") + format + QStringLiteral(" format"),
                        QStringLiteral("Input the File name without the extension"),
                        QStringLiteral(".") + format, QStringLiteral(" Input File name  "),
                        QStringLiteral(" ") + what + QStringLiteral(" saved in ") + format +
                            QStringLiteral(" format ")},
        m_prompts);
    dialog->setWriter([this, plot](const std::string& path, std::string& error) {
        // Only the beam of the setting on screen is saved, never one the boxes no longer hold.
        if (!m_study || m_stale) {
            error = m_study ? "the beam shown is of an earlier setting: mend the box the "
                              "window names first"
                            : "no beam is computed";
            return false;
        }
        return plot != nullptr ? writePicture(*plot, path, error)
                               : writeFilteredSpectrum(path, *m_study, m_shownSetting, error);
    });
    if (plot != nullptr) {
        offerPictureFormats(*dialog);
    }
    return *dialog;
}

SaveDialog& BeamWindow::spectrumSaveDialog() {
    return saveDialog(m_spectrumSave, QStringLiteral("Spectrum"), nullptr);
}

SaveDialog& BeamWindow::spectrumPlotSaveDialog() {
    return saveDialog(m_spectrumPlotSave, QStringLiteral("Spectrum plot"), m_spectrumPlot);
}

SaveDialog& BeamWindow::transmissionPlotSaveDialog() {
    return saveDialog(m_transmissionPlotSave, QStringLiteral("Transmission plot"),
                      m_transmissionPlot);
}

} // namespace tarvo::coefview
