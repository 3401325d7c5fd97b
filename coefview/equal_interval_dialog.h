#pragma once

#include "coefview/coefficient_table.h"
#include "coefview/equal_interval.h"
#include "coefview/spline_run.h"
#include "common/exchange_lock.h"
#include "common/user_prompts.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace tarvo {
class FileChooser;
}

namespace tarvo::coefview {

// Tables on equal energy intervals from 1 keV, by log-log interpolation in the viewer or
// by the spline tool, listed and saved as CSV.
class EqualIntervalDialog : public QWidget {
    Q_OBJECT
  public:
    // `table` and `tablePath` give the drawn table and its file when asked.
    EqualIntervalDialog(UserPrompts& prompts, std::function<const CoefficientTable*()> table,
                        std::function<std::string()> tablePath, QWidget* parent = nullptr);
    ~EqualIntervalDialog() override;

    // Resets the boxes and locks the later steps, then shows the dialog.
    void open(const QString& title);

    // The four steps: "OK" checks the boxes and asks for the grid, "Interpolation
    // calculation" computes or starts the tool, "Check" lists the results, "Save" writes them.
    void okPressed();
    void interpolationPressed();
    void checkPressed();
    void savePressed();

    // The run of the spline tool; its longest run is 30 s unless set.
    SplineRun& splineRun() { return *m_run; }

    // The dialog's controls.
    QLineEdit& bottomBox() { return *m_bottomBox; }
    QLineEdit& topBox() { return *m_topBox; }
    QLineEdit& stepBox() { return *m_stepBox; }
    QLineEdit& fileNameBox() { return *m_fileNameBox; }
    QRadioButton& linearOption() { return *m_linearOption; }
    QRadioButton& splineOption() { return *m_splineOption; }
    QPushButton& okButton() { return *m_okButton; }
    QPushButton& interpolationButton() { return *m_interpolationButton; }
    QPushButton& checkButton() { return *m_checkButton; }
    QPushButton& saveButton() { return *m_saveButton; }
    QListWidget& resultList() { return *m_resultList; }
    // Which energies of the shown results the spline tool interpolated another way, and why.
    QLabel& notes() { return *m_notes; }
    FileChooser& chooser() { return *m_chooser; }
    double pointCount() const { return m_pointCount; }
    // The dialog's hold on the exchange files, from a spline request's "OK" until "Check"
    // has read the answer or the dialog closes.
    const ExchangeLock& exchangeLock() const { return m_exchange; }

  protected:
    void hideEvent(QHideEvent* event) override;

  private:
    void createControls();
    QWidget* createInputs();
    QWidget* createSaveArea();
    void connectSignals();
    IntervalGrid gridInBoxes() const;
    void forgetResults();
    void showRunning(bool running);
    void stopRun();
    bool holdExchange(bool spline);
    bool readOutcome(const SplineOutcome& outcome, int points);
    void runFinished(const SplineOutcome& outcome);
    bool collectSplineResults(int points);
    void warn(const QString& text);

    UserPrompts& m_prompts;
    std::function<const CoefficientTable*()> m_table;
    std::function<std::string()> m_tablePath;
    double m_pointCount = 0.0;
    // The grid of the last accepted "OK", of the last calculation and of the rows shown.
    std::optional<IntervalGrid> m_acceptedGrid;
    std::optional<IntervalGrid> m_computedGrid;
    std::optional<IntervalGrid> m_shownGrid;
    std::vector<IntervalValues> m_results;
    SplineRun* m_run = nullptr;
    ExchangeLock m_exchange;
    std::optional<SplineOutcome> m_outcome;
    QLineEdit* m_bottomBox = nullptr;
    QLineEdit* m_topBox = nullptr;
    QLineEdit* m_stepBox = nullptr;
    QLineEdit* m_fileNameBox = nullptr;
    QRadioButton* m_linearOption = nullptr;
    QRadioButton* m_splineOption = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_interpolationButton = nullptr;
    QPushButton* m_checkButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QListWidget* m_resultList = nullptr;
    QLabel* m_notes = nullptr;
    QStringList m_runNotes;
    FileChooser* m_chooser = nullptr;
};

} // namespace tarvo::coefview
