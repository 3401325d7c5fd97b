#include "equal_interval_dialog.h"

#include "coefview/spline_exchange.h"
#include "coefview/spline_run.h"
#include "common/accessible_names.h"
#include "common/button_keys.h"
#include "common/column_heading.h"
#include "common/display_text.h"
#include "common/exchange_files.h"
#include "common/file_chooser.h"
#include "common/numeric_text.h"
#include "common/text_file.h"

#include <QDir>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tarvo::coefview {
namespace {

double boxValue(const QLineEdit* box) {
    return boxNumericValue(box->text().toStdString());
}

} // namespace

EqualIntervalDialog::EqualIntervalDialog(UserPrompts& prompts,
                                         std::function<const CoefficientTable*()> table,
                                         std::function<std::string()> tablePath, QWidget* parent)
    : QWidget(parent), m_prompts(prompts), m_table(std::move(table)),
      m_tablePath(std::move(tablePath)), m_run(new SplineRun(this)) {
    markAsDialog(*this);
    createControls();
    connectSignals();
}

EqualIntervalDialog::~EqualIntervalDialog() = default;

QWidget* EqualIntervalDialog::createInputs() {
    auto* inputs = new QWidget(this);
    auto* layout = new QGridLayout(inputs);
    m_bottomBox = new QLineEdit(QStringLiteral("1.0"), inputs);
    m_bottomBox->setReadOnly(true);
    m_topBox = new QLineEdit(inputs);
    m_stepBox = new QLineEdit(inputs);
    nameControl(m_bottomBox, QStringLiteral("Energy range from (keV)"));
    nameControl(m_topBox, QStringLiteral("Energy range up to (keV), Max. 500 keV"));
    nameControl(m_stepBox, QStringLiteral("Energy interval (keV), Min. 0.1 keV"));
    layout->addWidget(new QLabel(QStringLiteral("Energy range"), inputs), 0, 0);
    layout->addWidget(m_bottomBox, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("～"), inputs), 0, 2);
    layout->addWidget(m_topBox, 0, 3);
    layout->addWidget(new QLabel(QStringLiteral("keV"), inputs), 0, 4);
    layout->addWidget(new QLabel(QStringLiteral("Max. 500 keV"), inputs), 0, 5);
    layout->addWidget(new QLabel(QStringLiteral("Energy interval"), inputs), 1, 0);
    layout->addWidget(m_stepBox, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("keV"), inputs), 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Min. 0.1 keV"), inputs), 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("(Up to 1000 points)"), inputs), 2, 0, 1, 3);
    auto* method = new QGroupBox(QStringLiteral("Interpolation method"), inputs);
    m_linearOption =
        new QRadioButton(QStringLiteral("Linear interpolation on the log-log scale"), method);
    m_splineOption =
        new QRadioButton(QStringLiteral("Spline interpolation on the log-log scale"), method);
    auto* methodLayout = new QVBoxLayout(method);
    methodLayout->addWidget(m_linearOption);
    methodLayout->addWidget(m_splineOption);
    layout->addWidget(method, 3, 0, 1, 6);
    return inputs;
}

QWidget* EqualIntervalDialog::createSaveArea() {
    auto* area = new QGroupBox(QStringLiteral("Save Forder"), this);
    m_chooser = new FileChooser(QStringLiteral(".csv"), area);
    m_fileNameBox = new QLineEdit(area);
    nameControl(m_fileNameBox, QStringLiteral("Input the File name without the extension"));
    auto* layout = new QVBoxLayout(area);
    layout->addWidget(m_chooser);
    layout->addWidget(
        new QLabel(QStringLiteral("Input the File name without the extension"), area));
    layout->addWidget(m_fileNameBox);
    layout->addWidget(new QLabel(QStringLiteral("( Save in Excel csv format )"), area));
    return area;
}

void EqualIntervalDialog::createControls() {
    auto* heading = new QLabel(QStringLiteral("Create data for equal energy intervals"), this);
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(13);
    heading->setFont(font);
    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_interpolationButton = new QPushButton(QStringLiteral("Interpolation calculation"), this);
    m_checkButton = new QPushButton(QStringLiteral("Check"), this);
    m_saveButton = new QPushButton(QStringLiteral("Save"), this);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_resultList = new QListWidget(this);
    m_resultList->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_resultList->setMinimumWidth(420);
    m_notes = new QLabel(this);
    m_notes->setWordWrap(true);
    nameControl(m_resultList, QStringLiteral("Results"));
    auto* steps = new QHBoxLayout;
    steps->addWidget(m_okButton);
    steps->addWidget(m_interpolationButton);
    steps->addWidget(m_checkButton);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_saveButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QGridLayout(this);
    layout->addWidget(heading, 0, 0, 1, 2);
    layout->addWidget(createInputs(), 1, 0);
    layout->addLayout(steps, 2, 0);
    // A result line shows the energy in characters 0 to 8 and the values from 12, 24, 36.
    layout->addWidget(new ColumnHeading(*m_resultList,
                                        {{0, 0, QStringLiteral("Photon")},
                                         {1, 0, QStringLiteral("energy keV")},
                                         {0, 12, QStringLiteral("μ/ρ")},
                                         {0, 24, QStringLiteral("μtr/ρ")},
                                         {0, 36, QStringLiteral("μen/ρ")},
                                         {1, 12, QStringLiteral("cm²/g")},
                                         {1, 24, QStringLiteral("cm²/g")},
                                         {1, 36, QStringLiteral("cm²/g")}},
                                        this),
                      3, 0);
    layout->addWidget(m_resultList, 4, 0);
    layout->addWidget(m_notes, 5, 0);
    layout->addWidget(createSaveArea(), 1, 1, 4, 1);
    layout->addLayout(buttons, 6, 0, 1, 2);
    resize(980, 640);
}

void EqualIntervalDialog::connectSignals() {
    connect(m_okButton, &QPushButton::clicked, this, &EqualIntervalDialog::okPressed);
    connect(m_interpolationButton, &QPushButton::clicked, this,
            &EqualIntervalDialog::interpolationPressed);
    connect(m_checkButton, &QPushButton::clicked, this, &EqualIntervalDialog::checkPressed);
    connect(m_saveButton, &QPushButton::clicked, this, &EqualIntervalDialog::savePressed);
    connect(m_cancelButton, &QPushButton::clicked, this, &QWidget::hide);
    pressOnEscape(*this, *m_cancelButton);
    connect(m_run, &SplineRun::finished, this, &EqualIntervalDialog::runFinished);
    connect(m_chooser, &FileChooser::fileClicked, this,
            [this](const QString& fileName) { m_fileNameBox->setText(fileName.chopped(4)); });
}

void EqualIntervalDialog::warn(const QString& text) {
    m_prompts.showMessage(this, text, MessageIcon::Exclamation);
}

IntervalGrid EqualIntervalDialog::gridInBoxes() const {
    return {boxValue(m_bottomBox), boxValue(m_topBox), boxValue(m_stepBox),
            m_splineOption->isChecked() ? IntervalMethod::spline : IntervalMethod::linear,
            m_tablePath()};
}

// Results and the list they fill belong to one grid; a new "OK" or calculation drops them.
void EqualIntervalDialog::forgetResults() {
    m_computedGrid.reset();
    m_shownGrid.reset();
    m_results.clear();
    m_resultList->clear();
    m_notes->clear();
    m_runNotes.clear();
    m_saveButton->setEnabled(false);
}

void EqualIntervalDialog::open(const QString& title) {
    setWindowTitle(title);
    m_stepBox->setText(QStringLiteral("0.5"));
    m_fileNameBox->clear();
    m_bottomBox->setText(QStringLiteral("1.0"));
    m_topBox->setText(QStringLiteral("500.0"));
    m_chooser->refresh();
    stopRun();
    forgetResults();
    m_acceptedGrid.reset();
    m_interpolationButton->setEnabled(false);
    m_checkButton->setEnabled(false);
    m_linearOption->setChecked(true);
    show();
    raise();
    m_fileNameBox->setFocus();
}

void EqualIntervalDialog::okPressed() {
    const IntervalGrid grid = gridInBoxes();
    const bool spline = grid.method == IntervalMethod::spline;
    const IntervalCheck check = checkInterval(grid.bottom, grid.top, grid.step, spline);
    if (check.pointCount) {
        m_pointCount = *check.pointCount;
    }
    switch (check.problem) {
    case IntervalProblem::badRange:
        warn(QStringLiteral(" Enter the energy range or energy interval correctly "));
        return;
    case IntervalProblem::tooManyPoints:
        warn(QStringLiteral(" The number of points exceeds 1000 "));
        return;
    case IntervalProblem::stepNotTenth:
        warn(QStringLiteral(" With the spline interpolation the energy interval must be a "
                            "multiple of 0.1 keV "));
        return;
    case IntervalProblem::none:
        break;
    }
    if (spline && grid.tablePath.size() > kMaxRequestPathLength) {
        warn(QStringLiteral(" The spline tool reads table paths of up to 30 characters, and \"") +
             displayText(grid.tablePath) +
             QStringLiteral("\" is longer: use the linear interpolation, or give the table a "
                            "shorter file name "));
        return;
    }
    // A run for an earlier request must not report into this one.
    stopRun();
    if (!holdExchange(spline)) {
        return;
    }
    std::string error;
    if (spline && !writeSplineRequest(grid, error)) {
        m_exchange.release();
        warn(QStringLiteral("Cannot write \"B2F.dat\": ") + displayText(error));
        return;
    }
    forgetResults();
    m_acceptedGrid = grid;
    m_interpolationButton->setEnabled(true);
}

// A spline request takes the exchange files for this dialog alone; another viewer that
// holds them is waited for, and nothing of its request is touched.
bool EqualIntervalDialog::holdExchange(bool spline) {
    if (!spline) {
        m_exchange.release();
        return true;
    }
    std::string error;
    switch (m_exchange.take(error)) {
    case ExchangeLock::Result::taken:
        return true;
    case ExchangeLock::Result::inUse:
        warn(QStringLiteral(" The spline tool is in use by another window: press \"OK\" again "
                            "when that window has checked its table "));
        return false;
    case ExchangeLock::Result::failed:
        break;
    }
    warn(QStringLiteral("Cannot lock \"B2F.lock\": ") + displayText(error));
    return false;
}

// A closed dialog ends its request: the tool is stopped and the exchange files let go.
void EqualIntervalDialog::hideEvent(QHideEvent* event) {
    stopRun();
    m_exchange.release();
    QWidget::hideEvent(event);
}

// While the tool runs, "Check" waits and the dialog shows the busy pointer.
void EqualIntervalDialog::showRunning(bool running) {
    m_checkButton->setEnabled(!running);
    if (running) {
        setCursor(Qt::BusyCursor);
    } else {
        unsetCursor();
    }
}

void EqualIntervalDialog::stopRun() {
    m_run->stop();
    m_outcome.reset();
    showRunning(false);
}

void EqualIntervalDialog::runFinished(const SplineOutcome& outcome) {
    m_outcome = outcome;
    showRunning(false);
}

void EqualIntervalDialog::interpolationPressed() {
    if (m_pointCount > kMaxIntervalPoints) {
        warn(QStringLiteral(" The number of points exceeds 1000 "));
        return;
    }
    if (!m_acceptedGrid || *m_acceptedGrid != gridInBoxes()) {
        warn(QStringLiteral(" The energy range, the interval, the method or the table has changed: "
                            "press \"OK\" first "));
        return;
    }
    forgetResults();
    const IntervalGrid& grid = *m_acceptedGrid;
    if (grid.method == IntervalMethod::spline) {
        stopRun();
        // A run after "Check" asks again: another viewer may have used the files meanwhile.
        std::string error;
        if (!m_exchange.held() && (!holdExchange(true) || !writeSplineRequest(grid, error))) {
            m_exchange.release();
            if (!error.empty()) {
                warn(QStringLiteral("Cannot write \"B2F.dat\": ") + displayText(error));
            }
            return;
        }
        // A result left from an earlier run must never be taken for this one.
        std::string ignored;
        removeFile(kResultFile, ignored);
        if (!m_run->start()) {
            warn(QStringLiteral(" The spline tool \"Tarvo6_sub3\" cannot be started "));
            return;
        }
    } else {
        const CoefficientTable* table = m_table();
        std::string ignored; // the dialog's message is the specified "Calculation error"
        auto values = table
                          ? interpolateLinear(std::span(table->rows).subspan(1, table->energyCount),
                                              grid.step, pointsOf(m_pointCount), ignored)
                          : std::nullopt;
        if (!values) {
            warn(QStringLiteral("Calculation error"));
            return;
        }
        m_results = std::move(*values);
    }
    m_computedGrid = grid;
    showRunning(m_run->running());
}

// The results of the tool's run for this request; only a run that ended by itself with
// status 0 and wrote every point counts.
bool EqualIntervalDialog::collectSplineResults(int points) {
    if (!m_outcome) {
        warn(QStringLiteral(" Start the spline interpolation with \"Interpolation calculation\" "));
        return false;
    }
    const SplineOutcome outcome = *m_outcome;
    m_outcome.reset();
    const bool read = readOutcome(outcome, points);
    // The answer is read now or never: the exchange files are free for another viewer.
    m_exchange.release();
    return read;
}

bool EqualIntervalDialog::readOutcome(const SplineOutcome& outcome, int points) {
    if (outcome.timedOut) {
        warn(QStringLiteral(" The spline calculation did not finish "));
        return false;
    }
    if (!outcome.succeeded) {
        warn(QStringLiteral(" The spline calculation failed: ") +
             outcome.console.trimmed().section(QLatin1Char('\n'), -2));
        return false;
    }
    std::string error;
    auto values = readSplineResults(points, error);
    if (!values) {
        warn(QStringLiteral(" The result file \"F2B.dat\" is missing or incomplete "));
        return false;
    }
    m_results = std::move(*values);
    m_runNotes.clear();
    for (const std::string& note : repairNotes(outcome.console.toStdString())) {
        m_runNotes.append(displayText(note));
    }
    return true;
}

void EqualIntervalDialog::checkPressed() {
    if (m_run->running()) {
        warn(QStringLiteral(" The spline calculation is still running "));
        return;
    }
    if (!m_computedGrid || *m_computedGrid != gridInBoxes()) {
        warn(QStringLiteral(" Press \"Interpolation calculation\" first "));
        return;
    }
    m_resultList->clear();
    m_notes->clear();
    m_shownGrid.reset();
    m_saveButton->setEnabled(false);
    const int points = pointsOf(m_pointCount);
    // The linear results were computed by "Interpolation calculation"; the spline's are
    // read from the tool's run for this grid.
    // A run's results, once read, stay this grid's: "Check" again shows them again.
    const bool collected = !m_outcome && m_results.size() == static_cast<size_t>(points);
    if (m_computedGrid->method == IntervalMethod::spline && !collected &&
        !collectSplineResults(points)) {
        m_computedGrid.reset();
        m_results.clear();
        return;
    }
    if (m_results.size() != static_cast<size_t>(points)) {
        return;
    }
    for (int i = 1; i <= points; ++i) {
        m_resultList->addItem(QString::fromStdString(intervalListLine(
            gridEnergy(i, m_computedGrid->step), m_results[static_cast<size_t>(i - 1)])));
    }
    m_shownGrid = m_computedGrid;
    m_saveButton->setEnabled(true);
    if (m_computedGrid->method == IntervalMethod::spline && !m_runNotes.isEmpty()) {
        m_notes->setText(QStringLiteral("Where the not-a-knot spline would give wrong values: ") +
                         m_runNotes.join(QStringLiteral("; ")));
    }
}

void EqualIntervalDialog::savePressed() {
    if (m_stepBox->text().isEmpty() || m_fileNameBox->text().trimmed().isEmpty() ||
        m_bottomBox->text().isEmpty() || m_topBox->text().isEmpty()) {
        warn(QStringLiteral(" Input the file name "));
        return;
    }
    if (!m_shownGrid) {
        warn(QStringLiteral(" Show the table with \"Check\" before saving "));
        return;
    }
    if (*m_shownGrid != gridInBoxes()) {
        warn(QStringLiteral(" The energy range, the interval, the method or the table has changed "
                            "since \"Check\": press \"OK\" and calculate again "));
        return;
    }
    const std::string name = m_fileNameBox->text().toLocal8Bit().toStdString();
    if (!fileNameProblem(name).empty()) {
        warn(QStringLiteral("\"") + m_fileNameBox->text() + QStringLiteral("\" ") +
             QString::fromStdString(fileNameProblem(name)));
        return;
    }
    const QString path =
        QDir(m_chooser->currentDirectory()).filePath(m_fileNameBox->text() + ".csv");
    std::string error;
    const std::string bytes = path.toLocal8Bit().toStdString();
    if (!writeIntervalCsv(bytes, m_shownGrid->step, m_results, error)) {
        warn(QStringLiteral("Cannot write \"") + path + QStringLiteral("\": ") +
             displayText(errorReason(error, bytes)));
        return;
    }
    m_prompts.showMessage(this, QStringLiteral(" Data saved in the file "), MessageIcon::None);
    m_chooser->refresh();
    hide();
}

} // namespace tarvo::coefview
