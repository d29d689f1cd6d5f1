#pragma once
// The back-dated start: a process that begins with the images of the last hour
// instead of the latest one alone. The radar server's loop page lists its last
// ten images; the browser caches that list and the images while it shows the
// page, and the start uses only those cached copies. The steps here are the
// pure ones: the list's address and cache test, reading the list file, the
// choice of images at the spacing of the auto-refresh interval, and what each
// failure means. The window does the look-ups, the downloads and the messages.
#include "core/clock.h"
#include "core/ole_date.h"

#include <QString>
#include <optional>
#include <vector>

namespace nubivista::acquisition {

using core::OleDate;

// The list holds the last ten images; a list with fewer lines is refused.
inline constexpr int kLoopListLines = 10;
// A list, cached or downloaded, shorter than this cannot be a list of images.
inline constexpr qint64 kMinLoopListBytes = 56;
// A list is read up to this size: ten lines are far shorter, and a runaway
// download must not be taken into memory whole.
inline constexpr qint64 kMaxLoopListBytes = 1024 * 1024;

// The image path of a list line, from "images/" to the end of the line.
inline constexpr int kImagePathLength = 49;
inline constexpr int kLongImagePathLength = 71; // paths that hold "DS.80stp"

// RefreshState of a back-dated restart, which keeps the stored slots.
inline constexpr int kBackDatedRestartState = 3;
// A loop image that failed to download is tried once more after this wait.
inline constexpr int kImageRetryWaitMs = 2000;

// Message kinds: the question after a soft failure, the notice of a hard one.
inline constexpr int kBackDateQuestionKind = 3; // Yes / No
inline constexpr int kBackDateErrorKind = 1;    // Okay

// Why a back-dated start cannot go on.
enum class BackDateFault {
    NotLoopPage,         // empty address, or no "loop" or ".shtml" in it
    ListNotCached,       // the list's cache entry is missing, stale or too small
    ListDownloadFailed,  // the list would not download into its file
    ListFileUnreadable,  // the list file is missing or too short
    ListReadError,       // reading the list file failed part way
    LineWithoutImages,   // a list line without "images/"
    WrongPathLength,     // an image path of the wrong length (CR LF ends, say)
    BadDateField,        // a date or time field that is not a number or no date
    NotTenLines,         // the list ended before ten lines
    TooFewCandidates,    // fewer than two usable images after the drops
    NewestTooOld,        // the newest image is older than four intervals
    NothingSelected,     // the walk found no image to load
    ImageDownloadFailed, // a loop image failed to download twice
    FirstImageBad,       // the first image of a new process is not a picture
    FirstImageError,     // any other error while measuring that first image
};

enum class BackDateSeverity {
    Soft, // ask whether to start with the latest image instead
    Hard, // shut the process down
};

struct BackDateOutcome {
    BackDateSeverity severity = BackDateSeverity::Soft;
    // The status text the fault sets; nothing leaves the current one.
    std::optional<QString> statusText;

    friend bool operator==(const BackDateOutcome&, const BackDateOutcome&) = default;
};

// What a fault means: soft faults may fall back to a normal start; a missing
// loop address and the run-time errors shut the process down.
BackDateOutcome OutcomeOf(BackDateFault fault);

// The question after a soft failure (kind kBackDateQuestionKind, no id). Yes
// starts on the latest page with whatever was loaded; No fails hard.
QString BackDateQuestionText();

// The notice of a hard failure (kind kBackDateErrorKind, no id), with the
// status text of that moment; restart is a back-dated restart
// (RefreshState kBackDatedRestartState).
QString BackDateErrorText(const QString& statusText, bool restart);

// Whether a back-dated start can begin from loopPageUrl: not empty, holding
// "loop" (any case) and ".shtml".
bool IsBackDateStartAddress(const QString& loopPageUrl);

// The file the list is downloaded into, in the "Loop Images" folder.
QString LoopListFilePath(const QString& loopImagesDir);

// Whether a cache time (local, as CacheTimeOf gives it) belongs to a cached
// copy: not before the local now minus 24 months. The look-up's failure value,
// ten years back, never passes.
bool IsCachedCopy(OleDate cacheTimeLocal, OleDate localNow);

// Whether the list's cache entry can be used: a cached copy of at least
// kMinLoopListBytes.
bool IsUsableListEntry(OleDate cacheTimeLocal, qint64 size, OleDate localNow);

// One image of the list.
struct LoopListEntry {
    OleDate utcTime = 0; // the time written in the image's name, UTC
    QString imageUrl;

    friend bool operator==(const LoopListEntry&, const LoopListEntry&) = default;
};

struct LoopList {
    std::vector<LoopListEntry> entries; // the ten images in list order
    std::optional<BackDateFault> fault; // set when the list cannot be used
};

// Reads a list: lines ended by a line feed, the first ten taken (a last line
// without its line feed is not a line). In each, the image path from "images/"
// to the line's end, 49 characters or 71 with "DS.80stp", holds the year at
// characters 28-31, month 32-33, day 34-35, hour 40-41 and minute 42-43 (UTC).
// The image address is the loop page's scheme, host and "/radar/" followed by
// the path.
LoopList ParseLoopList(const QString& text, const QString& loopPageUrl);

// Reads the list file at path (as ANSI text) and parses it.
LoopList ReadLoopList(const QString& path, const QString& loopPageUrl);

// The restart cutoff: list images older than this are not loaded again. It is
// the last stored image's local time plus the interval less two minutes (at
// least three), as UTC.
OleDate RestartCutoffUtc(OleDate lastImageTimeLocal, int refreshIntervalMinutes,
                         const core::Clock& clock);

// The local now as UTC.
OleDate NowUtc(const core::Clock& clock);

struct BackDateChoiceInput {
    int refreshIntervalMinutes = 6;
    bool loadAll = false; // LoadAllBackDateFiles: load every image, whatever the spacing
    OleDate nowUtc = 0;
    std::optional<OleDate> restartCutoffUtc; // a back-dated restart only
};

struct BackDateSelection {
    // The newest image when it is too recent to load: the first auto-refresh
    // fetches it as the latest image.
    std::optional<LoopListEntry> reference;
    std::vector<LoopListEntry> selected; // newest first
    std::optional<BackDateFault> fault;

    // The selected images in the order they are loaded, oldest first.
    std::vector<LoopListEntry> loadOrder() const;
};

// Chooses which of the list's images to load: drops those older than the
// restart cutoff and repeated times, then walks back from the newest, taking an
// image when it lies at least half an interval before the last one taken and
// stopping at a gap of more than two intervals.
BackDateSelection ChooseBackDateImages(const std::vector<LoopListEntry>& listEntries,
                                       const BackDateChoiceInput& input);

// Whether the image being loaded is the first of a new process, which is
// validated and measured before it is stored.
bool IsFirstImageOfNewProcess(int refreshState, int newestSlot);

} // namespace nubivista::acquisition
