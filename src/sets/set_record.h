#pragma once
// The set record: 494 bytes that save the slot model beside the slot image
// files (CurrSetRec.sis for the current set, <name>.sis for a saved set).
//
// Layout, little-endian, packed:
//   0 int16 ImageCount            2 int32 RefreshIntervalMinutes
//   6 int16 WrapState             8 int16 RingOffset
//  10 int16 NewestSlot           12 double LastImageTime
//  20 int32 LastImageSize        24 text[256] PaneUrl
// 280 text[4] SiteCode          284 21 x double SlotTime (element i at 284 + 8i)
// 452 21 x int16 SlotFilled (element i at 452 + 2i)
// Text fields are Windows-1252, padded on the right with spaces.
#include "sets/slot_model.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace nubivista::sets {

inline constexpr qsizetype kSetRecordSize = 494;
inline constexpr qsizetype kPaneUrlFieldSize = 256;
inline constexpr qsizetype kSiteCodeFieldSize = 4;
// The auto-refresh interval the refresh controls allow, in minutes.
inline constexpr std::int32_t kMinRefreshIntervalMinutes = 1;
inline constexpr std::int32_t kMaxRefreshIntervalMinutes = 180;

// The detail text shown when a file is not a usable set record.
QString contaminatedRecordText();

struct SetRecord {
    std::int16_t imageCount = 0; // readers ignore it
    std::int32_t refreshIntervalMinutes = 0;
    std::int16_t wrapState = 0;
    std::int16_t ringOffset = 0;
    std::int16_t newestSlot = 0;
    OleDate lastImageTime = 0;
    std::int32_t lastImageSize = -1;
    QString paneUrl;  // the stored address; trimmed when read
    QString siteCode; // trimmed when read; "" when the field held 4 spaces
    std::array<OleDate, kSlotArraySize> slotTime{};
    std::array<std::int16_t, kSlotArraySize> slotFilled{};

    bool operator==(const SetRecord&) const = default;
};

// The record that saves model: ImageCount is the filled count and the unused
// element 0 of both arrays is written as 0. The interval is kept within the
// limits of the refresh controls, so that the record always reads back.
SetRecord setRecordFromModel(const SlotModel& model, std::int32_t refreshIntervalMinutes);

// Exactly kSetRecordSize bytes. PaneUrl is cut at 256 characters; SiteCode is
// written lower-cased when it is exactly 4 characters long, otherwise as 4
// spaces. Characters outside Windows-1252 are written as '?'.
QByteArray encodeSetRecord(const SetRecord& record);

struct SetRecordRead {
    std::optional<SetRecord> record; // set when the bytes are a usable record
    QString error;                   // detail text when not
};

// Decodes a record. Anything but exactly 494 bytes is refused, and so is a
// record this program never writes, whose values would send later code
// outside the slot arrays or out of the date range:
//   RingOffset outside 0..19, NewestSlot outside 0..20, WrapState outside
//   0..2, RefreshIntervalMinutes outside 1..180, SlotFilled[1..20] other
//   than 0 or 1, SlotTime[1..20] or LastImageTime not a date between the
//   years 100 and 9999.
// Element 0 of the arrays and ImageCount are ignored, as every reader does.
// Every refusal carries contaminatedRecordText().
SetRecordRead decodeSetRecord(QByteArrayView bytes);

// Reads the rest of an open device as one record (same rules as above).
SetRecordRead readSetRecord(QIODevice& device);

// Reads the record file at path. A file that is missing, unreadable or not
// exactly 494 bytes long is refused without being read or created.
SetRecordRead readSetRecordFile(const QString& path);

} // namespace nubivista::sets
