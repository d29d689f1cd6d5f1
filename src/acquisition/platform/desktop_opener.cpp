#include "acquisition/platform/desktop_opener.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <memory>
#include <utility>

namespace nubivista::platform {

void openWithDesktop(const QUrl& address, std::function<void()> failed) {
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        QTimer::singleShot(0, std::move(failed));
        return;
    }
    // Without a parent on purpose: xdg-open may wait for the browser it
    // started, and a process owned by a Qt object is killed with it, which
    // would close the user's browser when the program closes. The object
    // deletes itself once the opener has ended.
    auto* process = new QProcess;
    process->setProgram(opener);
    process->setArguments({address.toString(QUrl::FullyEncoded)});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    auto reportOnce = std::make_shared<std::function<void()>>(std::move(failed));
    QObject::connect(process, &QProcess::finished, process,
                     [process, reportOnce](int exitCode, QProcess::ExitStatus status) {
                         if ((exitCode != 0 || status != QProcess::NormalExit) && *reportOnce)
                             std::exchange(*reportOnce, nullptr)();
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, reportOnce](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         if (*reportOnce)
                             std::exchange(*reportOnce, nullptr)();
                         process->deleteLater();
                     });
    process->start();
}

} // namespace nubivista::platform
