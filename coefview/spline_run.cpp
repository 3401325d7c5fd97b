#include "spline_run.h"

#include <QDir>
#include <QProcess>
#include <QTimerEvent>

namespace tarvo::coefview {

SplineRun::SplineRun(QObject* parent) : QObject(parent) {}

SplineRun::~SplineRun() {
    stop();
}

bool SplineRun::start() {
    stop();
    m_process = new QProcess(this);
    m_process->setWorkingDirectory(QDir::currentPath());
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->start(QDir::current().absoluteFilePath(QStringLiteral("Tarvo6_sub3")), {});
    if (!m_process->waitForStarted(5000)) {
        stop();
        return false;
    }
    // Connected only now, so that a tool that cannot start is reported once, by the result.
    connect(m_process, &QProcess::finished, this, [this] { ended(false); });
    m_timer = startTimer(m_timeout);
    return true;
}

// A stopped process is left to end by itself and then deleted; nothing waits for it.
void SplineRun::stop() {
    if (m_timer != 0) {
        killTimer(m_timer);
        m_timer = 0;
    }
    if (m_process == nullptr) {
        return;
    }
    QProcess* process = m_process;
    m_process = nullptr;
    process->disconnect(this);
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
        return;
    }
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->kill();
}

void SplineRun::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_timer) {
        ended(true);
    }
}

void SplineRun::ended(bool timedOut) {
    if (m_process == nullptr) {
        return;
    }
    SplineOutcome outcome;
    outcome.timedOut = timedOut;
    outcome.console = QString::fromLocal8Bit(m_process->readAll());
    outcome.succeeded = !timedOut && m_process->state() == QProcess::NotRunning &&
                        m_process->exitStatus() == QProcess::NormalExit &&
                        m_process->exitCode() == 0;
    stop();
    emit finished(outcome);
}

} // namespace tarvo::coefview
