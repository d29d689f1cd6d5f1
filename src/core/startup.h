#pragma once
// The program's start: one running instance, the user folder tree and its
// first-run seed, the settings, and the paths every window uses. Every failure
// shows its step text in the message window and ends the start.
#include "core/app_paths.h"
#include "core/settings.h"

#include <QPalette>
#include <functional>
#include <optional>

namespace nubivista::core {

class InstanceGuard;
class MessageService;

// The connection as the platform reports it when the program starts.
struct ConnectionAtStart {
    bool connected = true;
    bool offlineBit = false; // the user chose to work offline
};

// What start-up needs from the platform, injected so that tests can give
// their own folders and answers.
struct StartupEnvironment {
    InstanceGuard* instanceGuard = nullptr;
    QString executableDir;
    QString profileDir; // a per-user writable folder; empty when there is none
    // Empty functions skip the connection check (it is never fatal).
    std::function<std::optional<ConnectionAtStart>()> readConnection;
    std::function<bool()> goOfflineForced; // true when the switch succeeded
    bool themesActive = true;
};

// Module-level values that start-up leaves for the rest of the program.
struct StartupResult {
    AppPaths paths;
    int OsPlatform = 2; // the family with per-user profile folders
    bool OnlineSwitchDone = false;
    float ThemePad = 0;
    QPalette::ColorRole PanelBackColor = QPalette::Button;
};

// Whether the first completed map load must switch back online: false only
// when the program had to put the system offline itself.
bool onlineSwitchDoneAtStart(const std::optional<ConnectionAtStart>& state,
                             const std::function<bool()>& goOfflineForced);

// Runs every start-up step up to the windows. On success settings holds the
// working values; on failure the user has seen why and nullopt is returned.
std::optional<StartupResult> runStartup(const StartupEnvironment& env, Settings& settings,
                                        MessageService& messages);

// The message shown when another instance is running.
QString multipleInstancesText();

} // namespace nubivista::core
