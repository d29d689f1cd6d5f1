#include "acquisition/back_date.h"
#include "core/clock.h"
#include "core/time_routines.h"
#include "support/files.h"
#include "support/scoped_time_zone.h"

#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace nubivista::acquisition;
using nubivista::core::ManualClock;
using nubivista::core::oleFromParts;
using nubivista::testing::ScopedTimeZone;
using nubivista::testing::writeBytes;

namespace {

using L = QLatin1String;

const QString LoopPage =
    QStringLiteral("http://weather.noaa.gov/radar/loop/DS.p19r0/si.kmkx.shtml");

// An image path as the server names its images: the date and time at their
// fixed positions, 49 characters, or 71 for the DS.80stp product.
QString imagePath(int hour, int minute, bool longProduct = false, const char* date = "20240501") {
    const QString name = QStringLiteral("ds_%1_at_%2%3")
                             .arg(L(date))
                             .arg(hour, 2, 10, QChar(u'0'))
                             .arg(minute, 2, 10, QChar(u'0'));
    if (longProduct)
        return L("images/DS.80stp/SI.kmkx/") + name + QString(24, u'x') + L(".gif");
    return L("images/DS.p19r0/SI.kmkx/") + name + L("_a.gif");
}

OleDate utc(int hour, int minute, int day = 1) {
    return *oleFromParts(2024, 5, day, hour, minute, 0);
}

// A list of images at the given minutes past 13:00, one a line, each line
// ended by end.
QString listText(const std::vector<int>& minutes, const char* end = "\n") {
    QString text;
    for (const int m : minutes)
        text += L("frame ") + imagePath(13 + m / 60, m % 60) + L(end);
    return text;
}

std::vector<int> everySix() {
    return {2, 8, 14, 20, 26, 32, 38, 44, 50, 56};
}

std::vector<LoopListEntry> entriesAt(const std::vector<int>& minutes) {
    std::vector<LoopListEntry> entries;
    for (const int m : minutes)
        entries.push_back({utc(13 + m / 60, m % 60), QString::number(m)});
    return entries;
}

// The minutes past 13:00 of entries, in the given order.
std::vector<int> minutesOf(const std::vector<LoopListEntry>& entries) {
    std::vector<int> minutes;
    for (const LoopListEntry& e : entries)
        minutes.push_back(static_cast<int>(std::lround((e.utcTime - utc(13, 0)) * 24 * 60)));
    return minutes;
}

TEST(BackDateFaults, SoftFaultsOfferTheLatestImageAndRunTimeErrorsShutDown) {
    using S = BackDateSeverity;
    const std::tuple<BackDateFault, S, std::optional<QString>> cases[] = {
        {BackDateFault::NotLoopPage, S::Hard, std::nullopt},
        {BackDateFault::ListNotCached, S::Soft, std::nullopt},
        {BackDateFault::ListDownloadFailed, S::Soft, std::nullopt},
        {BackDateFault::ListFileUnreadable, S::Soft, std::nullopt},
        {BackDateFault::ListReadError, S::Hard, QString()},
        {BackDateFault::LineWithoutImages, S::Soft, std::nullopt},
        {BackDateFault::WrongPathLength, S::Soft, std::nullopt},
        {BackDateFault::BadDateField, S::Hard, QString()},
        {BackDateFault::NotTenLines, S::Soft, std::nullopt},
        {BackDateFault::TooFewCandidates, S::Soft, std::nullopt},
        {BackDateFault::NewestTooOld, S::Soft, std::nullopt},
        {BackDateFault::NothingSelected, S::Soft, std::nullopt},
        {BackDateFault::ImageDownloadFailed, S::Soft, QString("Unable To Get New Files")},
        {BackDateFault::FirstImageBad, S::Hard, QString("Image File Is Bad")},
        {BackDateFault::FirstImageError, S::Hard, QString("Unknown")},
    };
    for (const auto& [fault, severity, status] : cases) {
        const BackDateOutcome outcome = OutcomeOf(fault);
        EXPECT_EQ(outcome.severity, severity) << static_cast<int>(fault);
        EXPECT_EQ(outcome.statusText, status) << static_cast<int>(fault);
    }
}

TEST(BackDateMessages, CarryTheirLinesWithCrLfBreaks) {
    EXPECT_EQ(BackDateQuestionText(), "\r\n\r\nBack Date Download Failed. Do You Want To\r\n"
                                      "Navigate To The Latest Single Image Page?");
    EXPECT_EQ(BackDateErrorText("Unable To Get New Files", false),
              "\r\nUnable To Get New Files\r\n...Error...Process Will Be Shut-Down.\r\n"
              "Then, You Can Use The Map To Navigate\r\nAnd Start A New Process.");
    EXPECT_EQ(BackDateErrorText("", true), "\r\n\r\nError - Unable To Restart The Auto-Refresh\r\n"
                                           "Process With Back-Dated Images. You Can  \r\n"
                                           "Un-Check The --Back Date-- Check Box And\r\n"
                                           "Try To Start With The Latest Available Image.");
}

TEST(BackDateAddress, NeedsALoopPage) {
    const std::pair<const char*, bool> cases[] = {
        {"http://weather.noaa.gov/radar/loop/DS.p19r0/si.kmkx.shtml", true},
        {"http://weather.noaa.gov/radar/LOOP/DS.p19r0/si.kmkx.shtml", true},
        {"", false},
        {"http://weather.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml", false},
        {"http://weather.noaa.gov/radar/loop/DS.p19r0/si.kmkx.html", false},
    };
    for (const auto& [address, ok] : cases)
        EXPECT_EQ(IsBackDateStartAddress(L(address)), ok) << address;
}

TEST(BackDateCache, AcceptsCopiesOfTheLast24MonthsAndListsOfAtLeast56Bytes) {
    const OleDate now = *oleFromParts(2024, 5, 1, 8, 0, 0);
    const OleDate limit = *oleFromParts(2022, 5, 1, 8, 0, 0);
    EXPECT_TRUE(IsCachedCopy(now, now));
    EXPECT_TRUE(IsCachedCopy(limit, now));
    EXPECT_FALSE(IsCachedCopy(*oleFromParts(2022, 5, 1, 7, 59, 59), now));
    const ManualClock clock(QDateTime(QDate(2024, 5, 1), QTime(8, 0)), 0);
    EXPECT_FALSE(IsCachedCopy(nubivista::core::timeFailureValue(clock), now));

    EXPECT_TRUE(IsUsableListEntry(now, 56, now));
    EXPECT_FALSE(IsUsableListEntry(now, 55, now));
    EXPECT_FALSE(IsUsableListEntry(nubivista::core::timeFailureValue(clock), 800, now));
}

TEST(LoopListParse, ReadsTimesAndAddressesAtTheirFixedPositions) {
    QString text = listText(everySix());
    text.replace(0, 6, L("")); // a line that is the path alone
    const LoopList list = ParseLoopList(text, LoopPage);
    ASSERT_EQ(list.fault, std::nullopt);
    EXPECT_EQ(minutesOf(list.entries), everySix());
    EXPECT_EQ(list.entries[0].imageUrl,
              "http://weather.noaa.gov/radar/images/DS.p19r0/SI.kmkx/ds_20240501_at_1302_a.gif");
    EXPECT_EQ(list.entries[0].utcTime, utc(13, 2));

    // The image addresses stay on the loop page's host.
    const LoopList regional = ParseLoopList(
        text, QStringLiteral("http://www.srh.noaa.gov/radar/loop/DS.p19r0/si.kewx.shtml"));
    EXPECT_TRUE(regional.entries[9].imageUrl.startsWith(
        L("http://www.srh.noaa.gov/radar/images/DS.p19r0/SI.kmkx/ds_20240501_at_1356")));
}

TEST(LoopListParse, TakesTheFirstTenLinesOnly) {
    const LoopList list = ParseLoopList(
        listText({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}) + L("no image here\n"), LoopPage);
    ASSERT_EQ(list.fault, std::nullopt);
    EXPECT_EQ(minutesOf(list.entries), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(LoopListParse, RefusesMalformedLists) {
    const QString nine = listText({2, 8, 14, 20, 26, 32, 38, 44, 50});
    const QString good = listText(everySix());
    QString noImages = good;
    noImages.replace(L("frame images/DS.p19r0/SI.kmkx/ds_20240501_at_1320"),
                     L("frame picture/DS.p19r0/SI.kmkx/ds_20240501_at_1320"));
    QString minuteNotNumber = good;
    minuteNotNumber.replace(L("at_1314"), L("at_13x4"));
    QString monthThirteen = good;
    monthThirteen.replace(L("ds_20240501_at_1338"), L("ds_20241301_at_1338"));

    const std::pair<QString, BackDateFault> cases[] = {
        {QString(), BackDateFault::NotTenLines},
        {nine, BackDateFault::NotTenLines},
        {good.chopped(1), BackDateFault::NotTenLines}, // no line feed after the last line
        {listText(everySix(), "\r\n"), BackDateFault::WrongPathLength},
        {noImages, BackDateFault::LineWithoutImages},
        {QString(good).replace(L("1314_a.gif\n"), L("1314_a.gif \n")),
         BackDateFault::WrongPathLength},
        {minuteNotNumber, BackDateFault::BadDateField},
        {monthThirteen, BackDateFault::BadDateField},
        {L("images/DS.80stp/SI.kmkx/") + imagePath(13, 2).mid(24) + L("\n") + good,
         BackDateFault::WrongPathLength},
    };
    for (const auto& [text, fault] : cases) {
        const LoopList list = ParseLoopList(text, LoopPage);
        EXPECT_EQ(list.fault, fault) << text.left(120).toStdString();
        EXPECT_TRUE(list.entries.empty());
    }
}

TEST(LoopListParse, TheDs80stpProductHasLongerPaths) {
    QString text;
    for (const int m : everySix())
        text += imagePath(13, m, true) + L("\n");
    ASSERT_EQ(imagePath(13, 2, true).size(), kLongImagePathLength);
    const LoopList list = ParseLoopList(text, LoopPage);
    ASSERT_EQ(list.fault, std::nullopt);
    EXPECT_EQ(minutesOf(list.entries), everySix());
}

class LoopListFile : public ::testing::Test {
protected:
    LoopList readWith(const QByteArray& bytes) {
        const QString path = LoopListFilePath(dir.path());
        EXPECT_TRUE(writeBytes(path, bytes));
        return ReadLoopList(path, LoopPage);
    }
    QTemporaryDir dir;
};

TEST_F(LoopListFile, ReadsTheDownloadedList) {
    EXPECT_TRUE(LoopListFilePath(dir.path()).endsWith(L("/loopfils.txt")));
    const LoopList list = readWith(listText(everySix()).toLatin1());
    ASSERT_EQ(list.fault, std::nullopt);
    EXPECT_EQ(minutesOf(list.entries), everySix());
}

TEST_F(LoopListFile, ReadsTheTextAsAnsi) {
    QByteArray bytes = listText(everySix()).toLatin1();
    bytes.replace("frame ", "fr\xe9me ");
    const LoopList list = readWith(bytes);
    ASSERT_EQ(list.fault, std::nullopt);
    EXPECT_EQ(minutesOf(list.entries), everySix());
}

TEST_F(LoopListFile, FailsOnBadFiles) {
    QByteArray badDate = listText(everySix()).toLatin1();
    badDate.replace("20240501_at_1326", "2024O501_at_1326");
    const std::pair<QByteArray, BackDateFault> cases[] = {
        {QByteArray(), BackDateFault::ListFileUnreadable},
        {QByteArray(55, '\n'), BackDateFault::ListFileUnreadable},
        {listText(everySix(), "\r\n").toLatin1(), BackDateFault::WrongPathLength},
        {listText({2, 8, 14, 20, 26, 32, 38, 44, 50}).toLatin1(), BackDateFault::NotTenLines},
        {badDate, BackDateFault::BadDateField},
    };
    for (const auto& [bytes, fault] : cases)
        EXPECT_EQ(readWith(bytes).fault, fault) << bytes.left(80).toStdString();

    EXPECT_EQ(ReadLoopList(dir.filePath("missing.txt"), LoopPage).fault,
              BackDateFault::ListFileUnreadable);
}

TEST_F(LoopListFile, AHugeFileIsReadOnlyAsFarAsItsStart) {
    // Ten good lines, then more than the read limit of anything.
    const QByteArray tail(kMaxLoopListBytes * 3, 'z');
    const LoopList list = readWith(listText(everySix()).toLatin1() + tail + "\n");
    ASSERT_EQ(list.fault, std::nullopt);
    EXPECT_EQ(minutesOf(list.entries), everySix());

    // A file without a line feed in its first megabyte is no list.
    EXPECT_EQ(readWith(tail + listText(everySix()).toLatin1()).fault, BackDateFault::NotTenLines);
}

BackDateChoiceInput choiceAt(int hour, int minute, int interval = 6, bool loadAll = false) {
    BackDateChoiceInput input;
    input.refreshIntervalMinutes = interval;
    input.loadAll = loadAll;
    input.nowUtc = utc(hour, minute);
    return input;
}

TEST(BackDateChoice, WorkedExampleLoadsNineImagesAndLeavesTheNewestToTheProcess) {
    const BackDateSelection selection =
        ChooseBackDateImages(entriesAt(everySix()), choiceAt(13, 59));
    ASSERT_EQ(selection.fault, std::nullopt);
    ASSERT_TRUE(selection.reference);
    EXPECT_EQ(selection.reference->utcTime, utc(13, 56));
    EXPECT_EQ(minutesOf(selection.loadOrder()),
              (std::vector<int>{2, 8, 14, 20, 26, 32, 38, 44, 50}));
    EXPECT_EQ(minutesOf(selection.selected).front(), 50);
}

TEST(BackDateChoice, WalksAtTheSpacingOfTheInterval) {
    struct Case {
        const char* what;
        std::vector<int> list;
        BackDateChoiceInput input;
        std::vector<int> loaded; // oldest first
        std::optional<int> reference;
    };
    const Case cases[] = {
        {"newest old enough is loaded",
         everySix(),
         choiceAt(14, 2),
         {2, 8, 14, 20, 26, 32, 38, 44, 50, 56},
         std::nullopt},
        {"two-minute spacing takes every second image",
         {38, 40, 42, 44, 46, 48, 50, 52, 54, 56},
         choiceAt(13, 59),
         {40, 44, 48, 52},
         56},
        {"a gap of more than two intervals ends the walk",
         {2, 8, 14, 20, 26, 40, 44, 48, 52, 56},
         choiceAt(13, 59),
         {40, 44, 48, 52},
         56},
        {"a gap of exactly two intervals does not",
         {2, 8, 14, 20, 26, 28, 40, 46, 52, 56},
         choiceAt(13, 59),
         {2, 8, 14, 20, 28, 40, 46, 52},
         56},
        {"half an interval of seven minutes is three and a half, not four",
         {20, 25, 29, 33, 36, 40, 43, 47, 53, 56},
         choiceAt(13, 59, 7),
         {20, 25, 29, 36, 43, 47},
         56},
        {"all images when the option is on",
         {2, 3, 4, 14, 40, 41, 50, 54, 55, 56},
         choiceAt(13, 59, 6, true),
         {2, 3, 4, 14, 40, 41, 50, 54, 55},
         56},
        {"newest exactly four intervals old is still loaded", everySix(), choiceAt(14, 20),
         everySix(), std::nullopt},
        {"repeated times count once",
         {2, 2, 8, 8, 14, 20, 20, 26, 32, 38},
         choiceAt(13, 40),
         {2, 8, 14, 20, 26, 32},
         38},
    };
    for (const Case& c : cases) {
        const BackDateSelection selection = ChooseBackDateImages(entriesAt(c.list), c.input);
        ASSERT_EQ(selection.fault, std::nullopt) << c.what;
        EXPECT_EQ(minutesOf(selection.loadOrder()), c.loaded) << c.what;
        if (c.reference) {
            ASSERT_TRUE(selection.reference) << c.what;
            EXPECT_EQ(minutesOf({*selection.reference}), std::vector<int>{*c.reference});
        } else {
            EXPECT_FALSE(selection.reference) << c.what;
        }
    }
}

TEST(BackDateChoice, RepeatedTimesKeepTheirFirstAddress) {
    std::vector<LoopListEntry> list = entriesAt(everySix());
    list[5] = {list[4].utcTime, QStringLiteral("second copy")};
    const BackDateSelection selection = ChooseBackDateImages(list, choiceAt(14, 2));
    ASSERT_EQ(selection.fault, std::nullopt);
    EXPECT_EQ(minutesOf(selection.loadOrder()),
              (std::vector<int>{2, 8, 14, 20, 26, 38, 44, 50, 56}));
    for (const LoopListEntry& e : selection.selected)
        EXPECT_NE(e.imageUrl, "second copy");
}

TEST(BackDateChoice, FailsSoftWhenNothingFits) {
    const std::tuple<const char*, std::vector<int>, BackDateChoiceInput, BackDateFault> cases[] = {
        {"ten identical times", std::vector<int>(10, 30), choiceAt(13, 31),
         BackDateFault::TooFewCandidates},
        {"newest older than four intervals", everySix(), choiceAt(14, 21),
         BackDateFault::NewestTooOld},
        {"only images within half an interval of the newest",
         {54, 54, 54, 54, 54, 54, 54, 54, 55, 56},
         choiceAt(13, 58),
         BackDateFault::NothingSelected},
    };
    for (const auto& [what, list, input, fault] : cases) {
        const BackDateSelection selection = ChooseBackDateImages(entriesAt(list), input);
        EXPECT_EQ(selection.fault, fault) << what;
        EXPECT_TRUE(selection.selected.empty()) << what;
        EXPECT_FALSE(selection.reference) << what;
    }
}

TEST(BackDateRestart, CutoffIsTheLastImagePlusTheIntervalLessTwoMinutesInUtc) {
    const ScopedTimeZone tz("America/Chicago"); // UTC-5 in May
    const ManualClock clock(QDateTime(QDate(2024, 5, 1), QTime(9, 0)), 0);
    const OleDate lastLocal = *oleFromParts(2024, 5, 1, 8, 30, 0);
    const std::pair<int, int> cases[] = {{6, 34}, {5, 33}, {4, 33}, {2, 33}, {20, 48}};
    for (const auto& [interval, minute] : cases)
        EXPECT_EQ(RestartCutoffUtc(lastLocal, interval, clock), utc(13, minute)) << interval;
    EXPECT_EQ(NowUtc(clock), utc(14, 0));
}

TEST(BackDateRestart, ThirtyMinutesAfterTheLastImageLoadsOnlyNewerImages) {
    const ScopedTimeZone tz("America/Chicago");
    const ManualClock clock(QDateTime(QDate(2024, 5, 1), QTime(9, 0)), 0);
    const OleDate lastLocal = *oleFromParts(2024, 5, 1, 8, 30, 0); // 13:30 UTC

    BackDateChoiceInput input = choiceAt(14, 0, 6, true);
    input.restartCutoffUtc = RestartCutoffUtc(lastLocal, 6, clock);
    const std::vector<int> list{26, 28, 30, 32, 33, 34, 40, 46, 52, 56};
    BackDateSelection selection = ChooseBackDateImages(entriesAt(list), input);
    ASSERT_EQ(selection.fault, std::nullopt);
    EXPECT_EQ(minutesOf(selection.loadOrder()), (std::vector<int>{34, 40, 46, 52}));

    // Nothing newer than the cutoff but the newest: too few to go on.
    input.restartCutoffUtc = utc(13, 55);
    EXPECT_EQ(ChooseBackDateImages(entriesAt(list), input).fault, BackDateFault::TooFewCandidates);
}

TEST(BackDateLoad, OnlyTheFirstImageOfANewProcessIsValidated) {
    EXPECT_TRUE(IsFirstImageOfNewProcess(2, 0));
    EXPECT_FALSE(IsFirstImageOfNewProcess(2, 1));
    EXPECT_FALSE(IsFirstImageOfNewProcess(kBackDatedRestartState, 0));
}

} // namespace
