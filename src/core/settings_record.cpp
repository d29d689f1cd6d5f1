#include "core/settings_record.h"

#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cstring>

namespace nubivista::core {

namespace {

namespace off = settings_offset;

constexpr std::uint8_t kTitleCodeKey = 0xA5;

// Reads and writes one field at its offset in a full 1000-byte buffer.
class RecordReader {
public:
    explicit RecordReader(const QByteArray& record) : data_(record) {}

    std::int16_t int16(int offset) const { return qFromLittleEndian<qint16>(at(offset)); }
    std::int32_t int32(int offset) const { return qFromLittleEndian<qint32>(at(offset)); }
    float single(int offset) const {
        return std::bit_cast<float>(qFromLittleEndian<quint32>(at(offset)));
    }
    double dbl(int offset) const {
        return std::bit_cast<double>(qFromLittleEndian<quint64>(at(offset)));
    }
    QString text(int offset, int length) const {
        return decodeWindows1252(QByteArrayView(at(offset), length));
    }
    QByteArray raw(int offset, int length) const { return data_.mid(offset, length); }

private:
    const char* at(int offset) const { return data_.constData() + offset; }
    const QByteArray& data_;
};

class RecordWriter {
public:
    RecordWriter() : data_(kSettingsRecordSize, '\0') {}

    void int16(int offset, std::int16_t value) { qToLittleEndian<qint16>(value, at(offset)); }
    void int32(int offset, std::int32_t value) { qToLittleEndian<qint32>(value, at(offset)); }
    void single(int offset, float value) {
        qToLittleEndian<quint32>(std::bit_cast<quint32>(value), at(offset));
    }
    void dbl(int offset, double value) {
        qToLittleEndian<quint64>(std::bit_cast<quint64>(value), at(offset));
    }
    // Cut to length or padded on the right with spaces.
    void text(int offset, int length, const QString& value) {
        raw(offset, length, encodeWindows1252(value, length));
    }
    void raw(int offset, int length, const QByteArray& bytes) {
        QByteArray field = bytes.left(length);
        field.append(QByteArray(length - field.size(), ' '));
        std::memcpy(at(offset), field.constData(), length);
    }
    QByteArray bytes() const { return data_; }

private:
    char* at(int offset) { return data_.data() + offset; }
    QByteArray data_;
};

} // namespace

QByteArray encodeTitleCode(const QString& title) {
    QByteArray code = encodeWindows1252(title).left(kTitleCodeLength);
    for (char& c : code)
        c = static_cast<char>(static_cast<std::uint8_t>(c) ^ kTitleCodeKey);
    code.append(QByteArray(kTitleCodeLength - code.size(), ' '));
    return code;
}

QString decodeTitleCode(QByteArrayView titleCode) {
    QByteArray bytes = titleCode.toByteArray();
    while (bytes.endsWith(' '))
        bytes.chop(1);
    for (char& c : bytes)
        c = static_cast<char>(static_cast<std::uint8_t>(c) ^ kTitleCodeKey);
    return decodeWindows1252(bytes);
}

SettingsRecord decodeSettingsRecord(QByteArrayView bytes) {
    QByteArray full =
        bytes.first(std::min<qsizetype>(bytes.size(), kSettingsRecordSize)).toByteArray();
    full.append(QByteArray(kSettingsRecordSize - full.size(), '\0'));
    const RecordReader in(full);

    SettingsRecord r;
    r.MainLeft = in.single(off::MainLeft);
    r.MainTop = in.single(off::MainTop);
    r.MainWidth = in.single(off::MainWidth);
    r.MainHeight = in.single(off::MainHeight);
    r.MsgOffMap = in.text(off::MsgOffMap, kMsgOffMapLength);
    r.EtaLeft = in.single(off::EtaLeft);
    r.EtaTop = in.single(off::EtaTop);
    r.EtaWidth = in.single(off::EtaWidth);
    r.EtaHeight = in.single(off::EtaHeight);
    r.EtaCol1Width = in.single(off::EtaCol1Width);
    r.EtaCol2Width = in.single(off::EtaCol2Width);
    r.EtaOnTop = in.int16(off::EtaOnTop);
    r.EtaClearAtClose = in.int16(off::EtaClearAtClose);
    r.EtaSavePath = in.text(off::EtaSavePath, kEtaSavePathLength);
    r.ProductIndex = in.int16(off::ProductIndex);
    r.LongRangeChecked = in.int16(off::LongRangeChecked);
    r.BackDateChecked = in.int16(off::BackDateChecked);
    r.ClockUtc = in.int16(off::ClockUtc);
    r.ClockOff = in.int16(off::ClockOff);
    r.TimeDisplayMode = in.int16(off::TimeDisplayMode);
    r.EtaUseDirection = in.int16(off::EtaUseDirection);
    r.TwoClickEta = in.int16(off::TwoClickEta);
    r.PopupLists = in.int16(off::PopupLists);
    r.NoToolTips = in.int16(off::NoToolTips);
    r.HideStatusBar = in.int16(off::HideStatusBar);
    r.LoopDelayMs = in.int32(off::LoopDelayMs);
    r.FirstExtraMs = in.int32(off::FirstExtraMs);
    r.LastExtraMs = in.int32(off::LastExtraMs);
    r.RockMode = in.int16(off::RockMode);
    r.StampAdjustMinutes = in.dbl(off::StampAdjustMinutes);
    r.UnitFactor = in.single(off::UnitFactor);
    r.MapScale = in.single(off::MapScale);
    r.OptionsOnTop = in.int16(off::OptionsOnTop);
    r.RefreshIntervalMinutes = in.int32(off::RefreshIntervalMinutes);
    r.HideStampBox = in.int16(off::HideStampBox);
    r.ZoomFactor = in.single(off::ZoomFactor);
    r.FitToImage = in.int16(off::FitToImage);
    r.AutoClickTab = in.int16(off::AutoClickTab);
    r.NationalMapUrl = in.text(off::NationalMapUrl, kNationalMapUrlLength);
    for (int i = 0; i < kReservedWordCount; ++i)
        r.ReservedWords[i] = in.int32(off::ReservedWords + 4 * i);
    r.TitleCode = in.raw(off::TitleCode, kTitleCodeLength);
    r.NavsGoToPageUrl = in.int16(off::NavsGoToPageUrl);
    r.LoadAllBackDateFiles = in.int16(off::LoadAllBackDateFiles);
    return r;
}

std::optional<SettingsRecord> readSettingsRecord(QIODevice& device) {
    QByteArray bytes(kSettingsRecordSize, '\0');
    qint64 filled = 0;
    while (filled < kSettingsRecordSize) {
        const qint64 n = device.read(bytes.data() + filled, kSettingsRecordSize - filled);
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break; // a short record: the rest reads as zeros
        filled += n;
    }
    return decodeSettingsRecord(bytes);
}

QByteArray encodeSettingsRecord(const SettingsRecord& r) {
    RecordWriter out;
    out.single(off::MainLeft, r.MainLeft);
    out.single(off::MainTop, r.MainTop);
    out.single(off::MainWidth, r.MainWidth);
    out.single(off::MainHeight, r.MainHeight);
    out.text(off::MsgOffMap, kMsgOffMapLength, r.MsgOffMap);
    out.single(off::EtaLeft, r.EtaLeft);
    out.single(off::EtaTop, r.EtaTop);
    out.single(off::EtaWidth, r.EtaWidth);
    out.single(off::EtaHeight, r.EtaHeight);
    out.single(off::EtaCol1Width, r.EtaCol1Width);
    out.single(off::EtaCol2Width, r.EtaCol2Width);
    out.int16(off::EtaOnTop, r.EtaOnTop);
    out.int16(off::EtaClearAtClose, r.EtaClearAtClose);
    out.text(off::EtaSavePath, kEtaSavePathLength, r.EtaSavePath);
    out.int16(off::ProductIndex, r.ProductIndex);
    out.int16(off::LongRangeChecked, r.LongRangeChecked);
    out.int16(off::BackDateChecked, r.BackDateChecked);
    out.int16(off::ClockUtc, r.ClockUtc);
    out.int16(off::ClockOff, r.ClockOff);
    out.int16(off::TimeDisplayMode, r.TimeDisplayMode);
    out.int16(off::EtaUseDirection, r.EtaUseDirection);
    out.int16(off::TwoClickEta, r.TwoClickEta);
    out.int16(off::PopupLists, r.PopupLists);
    out.int16(off::NoToolTips, r.NoToolTips);
    out.int16(off::HideStatusBar, r.HideStatusBar);
    out.int32(off::LoopDelayMs, r.LoopDelayMs);
    out.int32(off::FirstExtraMs, r.FirstExtraMs);
    out.int32(off::LastExtraMs, r.LastExtraMs);
    out.int16(off::RockMode, r.RockMode);
    out.dbl(off::StampAdjustMinutes, r.StampAdjustMinutes);
    out.single(off::UnitFactor, r.UnitFactor);
    out.single(off::MapScale, r.MapScale);
    out.int16(off::OptionsOnTop, r.OptionsOnTop);
    out.int32(off::RefreshIntervalMinutes, r.RefreshIntervalMinutes);
    out.int16(off::HideStampBox, r.HideStampBox);
    out.single(off::ZoomFactor, r.ZoomFactor);
    out.int16(off::FitToImage, r.FitToImage);
    out.int16(off::AutoClickTab, r.AutoClickTab);
    out.text(off::NationalMapUrl, kNationalMapUrlLength, r.NationalMapUrl);
    for (int i = 0; i < kReservedWordCount; ++i)
        out.int32(off::ReservedWords + 4 * i, r.ReservedWords[i]);
    out.raw(off::TitleCode, kTitleCodeLength, r.TitleCode);
    out.int16(off::NavsGoToPageUrl, r.NavsGoToPageUrl);
    out.int16(off::LoadAllBackDateFiles, r.LoadAllBackDateFiles);
    return out.bytes();
}

} // namespace nubivista::core
