#include "program_start.h"

#include <QDir>
#include <QProcess>

namespace tarvo {

bool startProgram(const QString& name) {
    return QProcess::startDetached(QDir::current().absoluteFilePath(name), {}, QDir::currentPath());
}

} // namespace tarvo
