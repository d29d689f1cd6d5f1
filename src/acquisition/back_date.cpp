#include "acquisition/back_date.h"

#include "core/time_routines.h"
#include "radar/addresses.h"

#include <QFile>
#include <algorithm>

namespace nubivista::acquisition {

namespace {

using L = QLatin1String;

constexpr QLatin1String CrLf{"\r\n"};

// 0-based positions of the date and time fields in an image path.
struct Field {
    qsizetype start;
    qsizetype length;
};
constexpr Field YearField{27, 4};
constexpr Field MonthField{31, 2};
constexpr Field DayField{33, 2};
constexpr Field HourField{39, 2};
constexpr Field MinuteField{41, 2};

// The length of "http://" + seven-character host label + "." + radar::RadarDomain +
// "/radar/", the part of a radar address before its path below "/radar/".
constexpr qsizetype RadarAddressPrefixLength = 30;

std::optional<int> decimalField(const QString& path, Field field) {
    int value = 0;
    for (const QChar c : path.mid(field.start, field.length)) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

std::optional<OleDate> imagePathTime(const QString& path) {
    const auto year = decimalField(path, YearField);
    const auto month = decimalField(path, MonthField);
    const auto day = decimalField(path, DayField);
    const auto hour = decimalField(path, HourField);
    const auto minute = decimalField(path, MinuteField);
    if (!year || !month || !day || !hour || !minute)
        return std::nullopt;
    return core::oleFromParts(*year, *month, *day, *hour, *minute, 0);
}

// Scheme, host and "/radar/" of the loop page. The radar hosts all have names
// of one length, so this is the first 30 characters; an address on another
// scheme or host is cut after its own "/radar/".
QString imageAddressPrefix(const QString& loopPageUrl) {
    const QString marker = radar::RadarDomain + L("/radar/");
    const qsizetype at = loopPageUrl.indexOf(marker, 0, Qt::CaseInsensitive);
    if (at < 0)
        return loopPageUrl.left(RadarAddressPrefixLength);
    return loopPageUrl.left(at + marker.size());
}

std::int64_t secondsOf(OleDate t) {
    return core::oleToSeconds(t).value_or(0);
}

LoopList failedList(BackDateFault fault) {
    return LoopList{{}, fault};
}

BackDateSelection failedSelection(BackDateFault fault) {
    BackDateSelection selection;
    selection.fault = fault;
    return selection;
}

} // namespace

BackDateOutcome OutcomeOf(BackDateFault fault) {
    switch (fault) {
    case BackDateFault::NotLoopPage:
        return {BackDateSeverity::Hard, std::nullopt};
    case BackDateFault::ListReadError:
    case BackDateFault::BadDateField:
        return {BackDateSeverity::Hard, QString()};
    case BackDateFault::ImageDownloadFailed:
        return {BackDateSeverity::Soft, QStringLiteral("Unable To Get New Files")};
    case BackDateFault::FirstImageBad:
        return {BackDateSeverity::Hard, QStringLiteral("Image File Is Bad")};
    case BackDateFault::FirstImageError:
        return {BackDateSeverity::Hard, QStringLiteral("Unknown")};
    case BackDateFault::ListNotCached:
    case BackDateFault::ListDownloadFailed:
    case BackDateFault::ListFileUnreadable:
    case BackDateFault::LineWithoutImages:
    case BackDateFault::WrongPathLength:
    case BackDateFault::NotTenLines:
    case BackDateFault::TooFewCandidates:
    case BackDateFault::NewestTooOld:
    case BackDateFault::NothingSelected:
        break;
    }
    return {BackDateSeverity::Soft, std::nullopt};
}

QString BackDateQuestionText() {
    return CrLf + CrLf + L("Back Date Download Failed. Do You Want To") + CrLf +
           L("Navigate To The Latest Single Image Page?");
}

QString BackDateErrorText(const QString& statusText, bool restart) {
    const QString start = CrLf + statusText + CrLf;
    if (restart)
        return start + L("Error - Unable To Restart The Auto-Refresh") + CrLf +
               L("Process With Back-Dated Images. You Can  ") + CrLf +
               L("Un-Check The --Back Date-- Check Box And") + CrLf +
               L("Try To Start With The Latest Available Image.");
    return start + L("...Error...Process Will Be Shut-Down.") + CrLf +
           L("Then, You Can Use The Map To Navigate") + CrLf + L("And Start A New Process.");
}

bool IsBackDateStartAddress(const QString& loopPageUrl) {
    return !loopPageUrl.isEmpty() && loopPageUrl.contains(L("loop"), Qt::CaseInsensitive) &&
           loopPageUrl.contains(L(".shtml"));
}

QString LoopListFilePath(const QString& loopImagesDir) {
    return loopImagesDir + L("/loopfils.txt");
}

bool IsCachedCopy(OleDate cacheTimeLocal, OleDate localNow) {
    const std::optional<OleDate> oldest = core::oleAddMonths(localNow, -24);
    return oldest && secondsOf(cacheTimeLocal) >= secondsOf(*oldest);
}

bool IsUsableListEntry(OleDate cacheTimeLocal, qint64 size, OleDate localNow) {
    return IsCachedCopy(cacheTimeLocal, localNow) && size >= kMinLoopListBytes;
}

LoopList ParseLoopList(const QString& text, const QString& loopPageUrl) {
    const QString prefix = imageAddressPrefix(loopPageUrl);
    LoopList list;
    qsizetype lineStart = 0;
    while (static_cast<int>(list.entries.size()) < kLoopListLines) {
        const qsizetype lineEnd = text.indexOf(u'\n', lineStart);
        if (lineEnd < 0)
            break;
        const QString line = text.mid(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;

        const qsizetype at = line.indexOf(L("images/"));
        if (at < 0)
            return failedList(BackDateFault::LineWithoutImages);
        const QString path = line.mid(at);
        const qsizetype expected =
            path.contains(L("DS.80stp")) ? kLongImagePathLength : kImagePathLength;
        if (path.size() != expected)
            return failedList(BackDateFault::WrongPathLength);
        const std::optional<OleDate> time = imagePathTime(path);
        if (!time)
            return failedList(BackDateFault::BadDateField);
        list.entries.push_back({*time, prefix + path});
    }
    if (static_cast<int>(list.entries.size()) != kLoopListLines)
        return failedList(BackDateFault::NotTenLines);
    return list;
}

LoopList ReadLoopList(const QString& path, const QString& loopPageUrl) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < kMinLoopListBytes)
        return failedList(BackDateFault::ListFileUnreadable);
    const QByteArray bytes = file.read(kMaxLoopListBytes);
    if (bytes.size() < kMinLoopListBytes)
        return failedList(BackDateFault::ListReadError);
    return ParseLoopList(QString::fromLatin1(bytes), loopPageUrl);
}

OleDate RestartCutoffUtc(OleDate lastImageTimeLocal, int refreshIntervalMinutes,
                         const core::Clock& clock) {
    const int gapMinutes = std::max(refreshIntervalMinutes - 2, 3);
    const std::optional<OleDate> cutoff = core::oleAddMinutes(lastImageTimeLocal, gapMinutes);
    if (!cutoff)
        return core::timeFailureValue(clock);
    return core::LocDateToUtcDate(*cutoff, clock);
}

OleDate NowUtc(const core::Clock& clock) {
    const std::optional<OleDate> now = core::oleFromDateTime(clock.now());
    if (!now)
        return core::timeFailureValue(clock);
    return core::LocDateToUtcDate(*now, clock);
}

std::vector<LoopListEntry> BackDateSelection::loadOrder() const {
    return {selected.rbegin(), selected.rend()};
}

BackDateSelection ChooseBackDateImages(const std::vector<LoopListEntry>& listEntries,
                                       const BackDateChoiceInput& input) {
    // Drops images the restart has already stored, then repeated times (the
    // first of each time stays).
    std::vector<LoopListEntry> entries;
    for (const LoopListEntry& entry : listEntries) {
        const std::int64_t seconds = secondsOf(entry.utcTime);
        if (input.restartCutoffUtc && seconds < secondsOf(*input.restartCutoffUtc))
            continue;
        const bool repeated = std::any_of(entries.begin(), entries.end(), [&](const auto& kept) {
            return secondsOf(kept.utcTime) == seconds;
        });
        if (!repeated && entry.utcTime > 0)
            entries.push_back(entry);
    }
    if (entries.size() < 2)
        return failedSelection(BackDateFault::TooFewCandidates);

    const std::int64_t intervalSeconds = std::int64_t{input.refreshIntervalMinutes} * 60;
    const std::int64_t now = secondsOf(input.nowUtc);
    const LoopListEntry& newest = entries.back();
    if (secondsOf(newest.utcTime) < now - 4 * intervalSeconds)
        return failedSelection(BackDateFault::NewestTooOld);

    BackDateSelection selection;
    if (secondsOf(newest.utcTime) <= now - intervalSeconds)
        selection.selected.push_back(newest);
    else
        selection.reference = newest;

    std::int64_t last = secondsOf(newest.utcTime);
    for (auto it = entries.rbegin() + 1; it != entries.rend(); ++it) {
        const std::int64_t seconds = secondsOf(it->utcTime);
        if (!input.loadAll) {
            // Half an interval is 30 seconds a minute, exact for odd intervals.
            if (seconds >= last - intervalSeconds / 2)
                continue;
            if (seconds < last - 2 * intervalSeconds)
                break;
        }
        selection.selected.push_back(*it);
        last = seconds;
    }
    if (selection.selected.empty())
        return failedSelection(BackDateFault::NothingSelected);
    return selection;
}

bool IsFirstImageOfNewProcess(int refreshState, int newestSlot) {
    return refreshState != kBackDatedRestartState && newestSlot == 0;
}

} // namespace nubivista::acquisition
