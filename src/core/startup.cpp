#include "core/startup.h"

#include "core/app_identity.h"
#include "core/file_checks.h"
#include "core/instance_guard.h"
#include "core/message_service.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget> // completes the message service's parent window type

namespace nubivista::core {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The smallest program-folder settings file that is taken as a settings file.
constexpr qint64 kMinShippedSettingsBytes = 700;
constexpr int kSampleImageCount = 11;

// A step that failed: the text the user is shown.
struct StepFailure {
    QString stepText;
};

// Start-up keeps the text of the step it is in; a failure shows that text.
class BootSteps {
public:
    void set(const QString& text) { text_ = text; }
    StepFailure fail() const { return {text_}; }

    // Creates folder when it is missing; on failure the folder's own text stays.
    bool createIfMissing(const QString& folder, bool* created = nullptr) {
        set(QDir::toNativeSeparators(folder) + QStringLiteral(" Dir, or Error Creating It"));
        if (created)
            *created = false;
        if (DirMissing(folder) == 0)
            return true;
        if (!QDir().mkdir(folder))
            return false;
        if (created)
            *created = true;
        return true;
    }

private:
    QString text_;
};

// The loop folder was just made, so nothing is in the way of the copies.
bool seedLoopFolder(const AppPaths& paths) {
    const QString sample = paths.appDir + QStringLiteral("/Sample Loop Images");
    if (!QFile::copy(sample + QStringLiteral("/CurrSetRec.sis"), paths.setRecPath))
        return false;
    for (int n = 1; n <= kSampleImageCount; ++n) {
        const QString name = QStringLiteral("/latest%1.gif").arg(n);
        if (!QFile::copy(sample + name, paths.loopImagesDir + name))
            return false;
    }
    return true;
}

std::optional<StepFailure> prepareUserFolders(const AppPaths& paths, BootSteps& steps) {
    steps.set(QStringLiteral(
        "App Start-Up, Error Accessing Or Creating App Data Sub-Dirs In XP-NT User Dir"));
    if (!steps.createIfMissing(paths.profileDir + QStringLiteral("/Application Data")) ||
        !steps.createIfMissing(paths.userDir))
        return steps.fail();

    steps.set(QStringLiteral("No App Data Directory, Or Error Accessing It"));
    bool loopFolderCreated = false;
    if (!steps.createIfMissing(paths.loopImagesDir, &loopFolderCreated))
        return steps.fail();
    // The sample set is copied only when the loop folder itself was new, so
    // images the user deleted never come back.
    if (loopFolderCreated) {
        steps.set(QStringLiteral("No App Source Data\\App\\Loop Images Dir, Or Error Copying "
                                 "It's Files To User Dir."));
        if (!seedLoopFolder(paths))
            return steps.fail();
    }

    if (!steps.createIfMissing(paths.savedSetsDir))
        return steps.fail();
    return std::nullopt;
}

std::optional<StepFailure> loadSettings(const AppPaths& paths, BootSteps& steps,
                                        Settings& settings) {
    // The step text stays that of the Saved Image Sets folder until the
    // settings are read.
    const QString shipped = paths.appDir + QStringLiteral("/Nubivista.ini");
    const QFileInfo shippedInfo(shipped);
    if (FileMissing(shipped) != 0 || shippedInfo.size() < kMinShippedSettingsBytes)
        return steps.fail();
    // Only a missing user file is replaced by the program folder's copy: one
    // that exists but cannot be read stops the start and is kept as it is.
    if (!QFileInfo::exists(paths.iniPath) && !QFile::copy(shipped, paths.iniPath))
        return steps.fail();
    SettingsLoadResult loaded = loadSettingsFile(paths.iniPath);
    if (!loaded.settings)
        return steps.fail();
    settings = std::move(*loaded.settings);
    return std::nullopt;
}

} // namespace

QString multipleInstancesText() {
    return kCrLf + kCrLf + kCrLf + QStringLiteral("Running Multiple Instances Of") + kCrLf +
           kProgramTitle + kCrLf + QStringLiteral("Is Not Supported.");
}

bool onlineSwitchDoneAtStart(const std::optional<ConnectionAtStart>& state,
                             const std::function<bool()>& goOfflineForced) {
    if (!state || state->connected)
        return false;
    if (state->offlineBit)
        return true;
    // Not connected and not offline by choice: work offline until the map
    // page has loaded once; a failed switch means there is nothing to undo.
    return !(goOfflineForced && goOfflineForced());
}

std::optional<StartupResult> runStartup(const StartupEnvironment& env, Settings& settings,
                                        MessageService& messages) {
    const auto show = [&messages](const QString& text) { messages.ShowMsgWind(1, text, 0); };

    if (env.instanceGuard && !env.instanceGuard->claim()) {
        show(multipleInstancesText());
        return std::nullopt;
    }

    StartupResult result;
    const QString appDir = appDirFrom(env.executableDir);
    result.OnlineSwitchDone = onlineSwitchDoneAtStart(
        env.readConnection ? env.readConnection() : std::nullopt, env.goOfflineForced);

    BootSteps steps;
    steps.set(
        QStringLiteral("App Start-Up, Error Geting Your XP-NT User Dir, Then Default User Dir"));
    if (env.profileDir.isEmpty() || DirMissing(env.profileDir) != 0) {
        // The per-user folder may not exist yet on a fresh account.
        if (env.profileDir.isEmpty() || !QDir().mkpath(env.profileDir)) {
            show(steps.fail().stepText);
            return std::nullopt;
        }
    }
    result.paths = derivePaths(appDir, QDir::cleanPath(env.profileDir));

    if (auto failure = prepareUserFolders(result.paths, steps)) {
        show(failure->stepText);
        return std::nullopt;
    }
    if (auto failure = loadSettings(result.paths, steps, settings)) {
        show(failure->stepText);
        return std::nullopt;
    }
    steps.set(QStringLiteral("After.. ") + QDir::toNativeSeparators(result.paths.iniPath) +
              QStringLiteral(" ..Read, Sub_Main App. Boot Error"));

    if (result.OsPlatform == 2 && env.themesActive) {
        result.PanelBackColor = QPalette::Base;
        result.ThemePad = 15.0f;
    }
    return result;
}

} // namespace nubivista::core
