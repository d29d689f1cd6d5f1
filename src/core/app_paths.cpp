#include "core/app_paths.h"

#include "core/app_identity.h"

#include <QDir>

namespace nubivista::core {

namespace {

QString join(const QString& folder, const QString& name) {
    return folder + QLatin1Char('/') + name;
}

LocalPage pageIn(const QString& appDir, const QString& name) {
    const QString path = join(appDir, name);
    return {path, localPageUrl(path)};
}

} // namespace

QString appDirFrom(const QString& executableDir) {
    QString dir = QDir::cleanPath(QDir::fromNativeSeparators(executableDir));
    while (dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    return dir;
}

AppPaths derivePaths(const QString& appDir, const QString& profileDir) {
    AppPaths p;
    p.appDir = appDir;
    p.profileDir = profileDir;
    p.userDir = join(join(profileDir, QStringLiteral("Application Data")), kProgramTitle);
    p.iniPath = join(p.userDir, QStringLiteral("Nubivista.ini"));
    p.loopImagesDir = join(p.userDir, QStringLiteral("Loop Images"));
    p.savedSetsDir = join(p.userDir, QStringLiteral("Saved Image Sets"));
    p.loopImgBase = join(p.loopImagesDir, QStringLiteral("latest"));
    p.loopImgExt = QStringLiteral(".gif");
    p.setRecPath = join(p.loopImagesDir, QStringLiteral("CurrSetRec.sis"));
    p.placesPath = join(p.userDir, QStringLiteral("Places.tsv"));
    p.preferencesPath = join(p.userDir, QStringLiteral("Preferences.ini"));
    p.beginNav = pageIn(appDir, QStringLiteral("BeginNav.htm"));
    p.beginLoopNav = pageIn(appDir, QStringLiteral("BeginLoopNav.htm"));
    p.startBlank = pageIn(appDir, QStringLiteral("StartBlank.htm"));
    p.appClose = pageIn(appDir, QStringLiteral("AppClose.htm"));
    p.feedProblem = pageIn(p.userDir, QStringLiteral("FeedNotStarted.htm"));
    p.helpPagePath = join(appDir, kProgramTitle + QStringLiteral("Help.htm"));
    return p;
}

QUrl localPageUrl(const QString& path) {
    return QUrl::fromLocalFile(path);
}

bool sameAddress(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace nubivista::core
