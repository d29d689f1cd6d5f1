// The shown image's time in its three modes, in zones with daylight saving.
#include "core/ole_date.h"
#include "display/time_text.h"
#include "support/scoped_time_zone.h"

#include <QColor>
#include <gtest/gtest.h>

using namespace nubivista;
using nubivista::testing::ScopedTimeZone;

namespace {

sets::OleDate utc(int y, int mo, int d, int h, int mi) {
    return core::oleFromParts(y, mo, d, h, mi).value_or(0);
}

struct ZoneCase {
    const char* zone;
    sets::OleDate time;
    const char* utcText;
    const char* local24;
    const char* localAmPm;
};

} // namespace

TEST(TimeText, EachModeInZonesWithDaylightSaving) {
    const ZoneCase cases[] = {
        // Summer and winter in Chicago: five and six hours behind.
        {"America/Chicago", utc(2004, 6, 15, 14, 5), "14:05 UTC 06/15/2004", "09:05 LOC 06/15/2004",
         "9:05 am 06/15/2004"},
        {"America/Chicago", utc(2004, 12, 15, 14, 5), "14:05 UTC 12/15/2004",
         "08:05 LOC 12/15/2004", "8:05 am 12/15/2004"},
        // Midnight UTC is the previous evening in Chicago.
        {"America/Chicago", utc(2004, 1, 1, 0, 0), "00:00 UTC 01/01/2004", "18:00 LOC 12/31/2003",
         "6:00 pm 12/31/2003"},
        // Berlin: one hour ahead in winter, two in summer; noon and midnight
        // on the 12-hour clock.
        {"Europe/Berlin", utc(2026, 7, 1, 10, 0), "10:00 UTC 07/01/2026", "12:00 LOC 07/01/2026",
         "12:00 pm 07/01/2026"},
        {"Europe/Berlin", utc(2026, 1, 10, 23, 30), "23:30 UTC 01/10/2026", "00:30 LOC 01/11/2026",
         "12:30 am 01/11/2026"},
    };
    const core::SystemClock clock;
    for (const ZoneCase& c : cases) {
        const ScopedTimeZone zone(c.zone);
        SCOPED_TRACE(c.utcText);
        const auto text = [&](int mode) { return display::timeText(c.time, mode, clock); };
        EXPECT_EQ(text(display::kTimeUtc), QString::fromLatin1(c.utcText));
        EXPECT_EQ(text(display::kTimeLocal24), QString::fromLatin1(c.local24));
        EXPECT_EQ(text(display::kTimeLocalAmPm), QString::fromLatin1(c.localAmPm));
    }
}
