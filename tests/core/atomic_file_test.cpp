#include "core/atomic_file.h"
#include "support/fail_device.h"
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
