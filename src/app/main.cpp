// The program's entry: start-up, then the main window until it closes.
#include "core/app_identity.h"
#include "core/close_on_signal.h"
#include "core/form1.h"
#include "core/instance_guard.h"
#include "core/message_service.h"
#include "core/startup.h"
#include "tracking/form9.h"

#include <QApplication>
#include <QStandardPaths>
#include <QStyle>

using namespace nubivista;

int main(int argc, char** argv) {
    // Browser panes need shared GL contexts, set before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(core::kProgramTitle);

    core::Settings settings;
    core::MessageService messages(settings.MsgOffMap);
    core::LockFileInstanceGuard instanceGuard(core::LockFileInstanceGuard::defaultLockPath());

    core::StartupEnvironment env;
    env.instanceGuard = &instanceGuard;
    env.executableDir = QCoreApplication::applicationDirPath();
    env.profileDir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    env.themesActive =
        QApplication::style()->name().compare(QStringLiteral("windows"), Qt::CaseInsensitive) != 0;
    const std::optional<core::StartupResult> started = core::runStartup(env, settings, messages);
    if (!started)
        return 1;

    tracking::Form9 form9;
    form9.hide();

    core::Form1 form1(settings, started->paths, messages);
    messages.setParentWindow(&form1);
    form1.Form_Load();
    form1.show();
    const core::CloseOnSignal closeOnSignal(&form1);
    return QApplication::exec();
}
