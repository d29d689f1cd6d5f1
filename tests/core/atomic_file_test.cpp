#include "core/atomic_file.h"
#include "support/fail_device.h"
#include "support/file_size_limit.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using nubivista::core::writeAll;
using nubivista::core::writeFileAtomically;

using nubivista::testing::readBytes;

TEST(AtomicFile, WriteAllReportsADeviceThatStopsTakingBytes) {
    nubivista::testing::FailDevice device(300);
    ASSERT_TRUE(device.open(QIODevice::WriteOnly));
    EXPECT_FALSE(writeAll(device, QByteArray(1000, 'x')));
    EXPECT_EQ(device.data().size(), 300);

    nubivista::testing::FailDevice roomy(5000);
    ASSERT_TRUE(roomy.open(QIODevice::WriteOnly));
    EXPECT_TRUE(writeAll(roomy, QByteArray(1000, 'y')));
}

TEST(AtomicFile, ReplacesTheWholeFileAndLeavesNoTemporaryBehind) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("record.bin"));
    ASSERT_TRUE(writeFileAtomically(path, QByteArray(1000, 'a')).ok);
    ASSERT_TRUE(writeFileAtomically(path, QByteArray(10, 'b')).ok);
    EXPECT_EQ(readBytes(path), QByteArray(10, 'b'));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("record.bin")});
}

TEST(AtomicFile, AWriteThatFailsHalfwayKeepsThePreviousFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("record.bin"));
    const QByteArray previous(1000, 'p');
    ASSERT_TRUE(writeFileAtomically(path, previous).ok);
    {
        nubivista::testing::FileSizeLimit limit(400);
        const auto outcome = writeFileAtomically(path, QByteArray(1000, 'n'));
        EXPECT_FALSE(outcome.ok);
        EXPECT_FALSE(outcome.error.isEmpty());
    }
    EXPECT_EQ(readBytes(path), previous);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("record.bin")});
}

TEST(AtomicFile, AnUnwritableFolderIsReportedNotIgnored) {
    const auto outcome =
        writeFileAtomically(QStringLiteral("/nonexistent-folder/record.bin"), QByteArray(4, 'z'));
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.error.isEmpty());
}
