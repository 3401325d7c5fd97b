#include "common/accessible_names.h"
#include "common/button_keys.h"
#include "common/run_directory.h"
#include "common/text_file.h"
#include "common/user_prompts.h"
#include "common/window_sizes.h"
#include "launcher/launcher_window.h"

#include <QApplication>
#include <QProcess>

#include <filesystem>
#include <iostream>

namespace {

// An installation in a read-only place runs from a per-user copy of its run directory,
// since the programs write new tables beside themselves. Returns true when the copy's
// launcher, under the name this one was started by, was started in place of this one.
bool handOverToUserCopy(tarvo::UserPrompts& prompts, const std::string& name) {
    const std::filesystem::path installed = std::filesystem::current_path();
    if (tarvo::isWritableDirectory(installed)) {
        return false;
    }
    std::string error;
    const auto copy = tarvo::refreshUserCopy(installed, tarvo::userRunDirectory(), error);
    if (!copy) {
        prompts.showMessage(nullptr, QString::fromStdString(error),
                            tarvo::MessageIcon::Exclamation);
        return false;
    }
    const QString program = QString::fromStdString((*copy / name).string());
    return QProcess::startDetached(program, {}, QString::fromStdString(copy->string()));
}

} // namespace

int main(int argc, char* argv[]) {
    // The launcher answers to two names, the second a link to the first.
    const std::string name =
        argc > 0 ? std::filesystem::path(argv[0]).filename().string() : "Tarvo_V7S";
    std::string error;
    if (!tarvo::enterExecutableDirectory(error)) {
        std::cerr << name << ": cannot enter the program's directory: " << error << '\n';
    }
    QApplication application(argc, argv);
    tarvo::installButtonKeys(application);
    tarvo::installMinimumSizeKeeper(application);
    tarvo::installAccessibleRoles();
    tarvo::WidgetPrompts prompts;
    if (handOverToUserCopy(prompts, name)) {
        return 0;
    }
    tarvo::LauncherWindow window(QStringLiteral("Tarvo"), tarvo::startProgram, prompts);
    window.show();
    return application.exec();
}
