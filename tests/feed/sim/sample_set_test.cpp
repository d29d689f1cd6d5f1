#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// The set record read field by field at its fixed offsets, independently of the
// program's own codec.
struct RecordView {
    QByteArray bytes;
    qint16 int16At(qsizetype offset) const {
        return qFromLittleEndian<qint16>(bytes.constData() + offset);
    }
    qint32 int32At(qsizetype offset) const {
        return qFromLittleEndian<qint32>(bytes.constData() + offset);
    }
    double doubleAt(qsizetype offset) const {
        const quint64 raw = qFromLittleEndian<quint64>(bytes.constData() + offset);
        double value = 0;
        std::memcpy(&value, &raw, sizeof value);
        return value;
    }
};

double oleDays(const QDateTime& time) {
    // 1899-12-30 is 25569 days before 1970-01-01.
    return 25569.0 + static_cast<double>(time.toSecsSinceEpoch()) / 86400.0;
}

// The set the build put in the program folder, which the first run seeds into the
// user's loop folder.
TEST(SampleSet, ProgramFolderHoldsElevenFramesAndTheirRecord) {
    const QString out = QStringLiteral(NUBIVISTA_APP_DIR "/Sample Loop Images");
    qint64 previousSize = -1;
    for (int n = 1; n <= 11; ++n) {
        const QString path = out + QStringLiteral("/latest%1.gif").arg(n);
        const QImage image(path, "GIF");
        ASSERT_FALSE(image.isNull()) << path.toStdString();
        EXPECT_EQ(image.size(), QSize(600, 550));
        EXPECT_NE(QFileInfo(path).size(), previousSize); // each a new image to the program
        previousSize = QFileInfo(path).size();
    }
    EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("/latest12.gif")));

    QFile file(out + QStringLiteral("/CurrSetRec.sis"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const RecordView record{file.readAll()};
    ASSERT_EQ(record.bytes.size(), 494);
    EXPECT_EQ(record.int16At(0), 11);  // ImageCount
    EXPECT_EQ(record.int32At(2), 6);   // RefreshIntervalMinutes
    EXPECT_EQ(record.int16At(6), 0);   // WrapState
    EXPECT_EQ(record.int16At(8), 0);   // RingOffset
    EXPECT_EQ(record.int16At(10), 11); // NewestSlot
    const QDateTime newest(QDate(2026, 6, 12), QTime(14, 0), Qt::UTC);
    EXPECT_NEAR(
        record.doubleAt(12),
        oleDays(QDateTime(newest.toLocalTime().date(), newest.toLocalTime().time(), Qt::UTC)),
        1e-6); // LastImageTime, local
    EXPECT_EQ(record.int32At(20), QFileInfo(out + QStringLiteral("/latest11.gif")).size());
    const QByteArray paneUrl = "http://weather.noaa.gov/radar/images/DS.p19r0/SI.kmkx/latest.gif";
    EXPECT_EQ(record.bytes.mid(24, 256), paneUrl + QByteArray(256 - paneUrl.size(), ' '));
    EXPECT_EQ(record.bytes.mid(280, 4), "kmkx");
    for (int slot = 1; slot <= 20; ++slot) {
        const bool filled = slot <= 11;
        EXPECT_EQ(record.int16At(452 + 2 * slot), filled ? 1 : 0) << "slot " << slot;
        const double expected = filled ? oleDays(newest.addSecs(-360 * (11 - slot))) : 0.0;
        EXPECT_NEAR(record.doubleAt(284 + 8 * slot), expected, 1e-6) << "slot " << slot;
    }
}

} // namespace
