#pragma once
// The settings file's fixed 1000-byte record: every field at its byte offset,
// little-endian, text fields single-byte (Windows-1252) and space padded. The
// codec here moves bytes only; the repairs applied at start-up live with the
// working values (core/settings.h).
#include "core/ansi_text.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace nubivista::core {

inline constexpr int kSettingsRecordSize = 1000;

// Field offsets and text lengths within the record.
namespace settings_offset {
inline constexpr int MainLeft = 0;
inline constexpr int MainTop = 4;
inline constexpr int MainWidth = 8;
inline constexpr int MainHeight = 12;
inline constexpr int MsgOffMap = 16;
inline constexpr int EtaLeft = 116;
inline constexpr int EtaTop = 120;
inline constexpr int EtaWidth = 124;
inline constexpr int EtaHeight = 128;
inline constexpr int EtaCol1Width = 132;
inline constexpr int EtaCol2Width = 136;
inline constexpr int EtaOnTop = 140;
inline constexpr int EtaClearAtClose = 142;
inline constexpr int EtaSavePath = 144;
inline constexpr int ProductIndex = 404;
inline constexpr int LongRangeChecked = 406;
inline constexpr int BackDateChecked = 408;
inline constexpr int ClockUtc = 410;
inline constexpr int ClockOff = 412;
inline constexpr int TimeDisplayMode = 414;
inline constexpr int EtaUseDirection = 416;
inline constexpr int TwoClickEta = 418;
inline constexpr int PopupLists = 420;
inline constexpr int NoToolTips = 422;
inline constexpr int HideStatusBar = 424;
inline constexpr int LoopDelayMs = 426;
inline constexpr int FirstExtraMs = 430;
inline constexpr int LastExtraMs = 434;
inline constexpr int RockMode = 438;
inline constexpr int StampAdjustMinutes = 440;
inline constexpr int UnitFactor = 448;
inline constexpr int MapScale = 452;
inline constexpr int OptionsOnTop = 456;
inline constexpr int RefreshIntervalMinutes = 458;
inline constexpr int HideStampBox = 462;
inline constexpr int ZoomFactor = 464;
inline constexpr int FitToImage = 468;
inline constexpr int AutoClickTab = 470;
inline constexpr int NationalMapUrl = 472;
inline constexpr int ReservedWords = 732;
inline constexpr int TitleCode = 748;
inline constexpr int NavsGoToPageUrl = 996;
inline constexpr int LoadAllBackDateFiles = 998;
} // namespace settings_offset

inline constexpr int kMsgOffMapLength = 100;
inline constexpr int kEtaSavePathLength = 260;
inline constexpr int kNationalMapUrlLength = 260;
inline constexpr int kTitleCodeLength = 248;
inline constexpr int kReservedWordCount = 4;

// The record as stored. Text fields hold the decoded characters untrimmed
// (NULs included); TitleCode keeps its raw bytes so it is written back as read.
struct SettingsRecord {
    float MainLeft = 0;
    float MainTop = 0;
    float MainWidth = 0;
    float MainHeight = 0;
    QString MsgOffMap;
    float EtaLeft = 0;
    float EtaTop = 0;
    float EtaWidth = 0;
    float EtaHeight = 0;
    float EtaCol1Width = 0;
    float EtaCol2Width = 0;
    std::int16_t EtaOnTop = 0;
    std::int16_t EtaClearAtClose = 0;
    QString EtaSavePath;
    std::int16_t ProductIndex = 0;
    std::int16_t LongRangeChecked = 0;
    std::int16_t BackDateChecked = 0;
    std::int16_t ClockUtc = 0;
    std::int16_t ClockOff = 0;
    std::int16_t TimeDisplayMode = 0;
    std::int16_t EtaUseDirection = 0;
    std::int16_t TwoClickEta = 0;
    std::int16_t PopupLists = 0;
    std::int16_t NoToolTips = 0;
    std::int16_t HideStatusBar = 0;
    std::int32_t LoopDelayMs = 0;
    std::int32_t FirstExtraMs = 0;
    std::int32_t LastExtraMs = 0;
    std::int16_t RockMode = 0;
    double StampAdjustMinutes = 0;
    float UnitFactor = 0;
    float MapScale = 0;
    std::int16_t OptionsOnTop = 0;
    std::int32_t RefreshIntervalMinutes = 0;
    std::int16_t HideStampBox = 0;
    float ZoomFactor = 0;
    std::int16_t FitToImage = 0;
    std::int16_t AutoClickTab = 0;
    QString NationalMapUrl;
    std::array<std::int32_t, kReservedWordCount> ReservedWords{};
    QByteArray TitleCode; // exactly kTitleCodeLength bytes once decoded
    std::int16_t NavsGoToPageUrl = 0;
    std::int16_t LoadAllBackDateFiles = 0;
};

// Reads a record from bytes; a record shorter than 1000 bytes reads its missing
// bytes as zeros, bytes past 1000 are ignored.
SettingsRecord decodeSettingsRecord(QByteArrayView bytes);

// Reads the first record from a device opened for reading; nullopt when the
// device reports a read error.
std::optional<SettingsRecord> readSettingsRecord(QIODevice& device);

// Exactly 1000 bytes: texts cut to their field length or padded with spaces,
// characters outside Windows-1252 written as "?".
QByteArray encodeSettingsRecord(const SettingsRecord& record);

// The distributed record carries the program title in TitleCode as each byte
// XOR 0xA5, padded with spaces. An ASCII title never encodes to a space, so the
// padding is told apart from the text.
QByteArray encodeTitleCode(const QString& title);
QString decodeTitleCode(QByteArrayView titleCode);

} // namespace nubivista::core
