#pragma once

#include <QObject>
#include <QString>

class QProcess;

namespace tarvo::coefview {

// How a run of the spline tool ended.
struct SplineOutcome {
    bool succeeded = false; // ended by itself with status 0
    bool timedOut = false;  // stopped because it did not end in time
    QString console;        // what it wrote on its console
};

// One run of the spline tool "Tarvo6_sub3" in the working directory, without waiting for it:
// the end is reported through `finished`, and a run that does not end in time is stopped.
class SplineRun : public QObject {
    Q_OBJECT
  public:
    explicit SplineRun(QObject* parent = nullptr);
    ~SplineRun() override;

    // Starts the tool, stopping a run still going (whose end is then not reported); false
    // when it cannot be started.
    bool start();
    // Stops a run still going; its end is not reported.
    void stop();
    bool running() const { return m_process != nullptr; }
    // Longest run in milliseconds (30 s unless set).
    void setTimeout(int milliseconds) { m_timeout = milliseconds; }

  signals:
    void finished(const tarvo::coefview::SplineOutcome& outcome);

  protected:
    void timerEvent(QTimerEvent* event) override;

  private:
    void ended(bool timedOut);

    QProcess* m_process = nullptr;
    int m_timeout = 30000;
    int m_timer = 0;
};

} // namespace tarvo::coefview
