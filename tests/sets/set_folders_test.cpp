// Saved sets on disk: the name and folder rules, saving a set into its
// folder, bringing a set's images into the loop folder, and reading a record
// with its address rules. Every failure leaves what was on disk as it was.
#include "sets/current_set.h"
#include "sets/set_folders.h"
#include "sets/set_record.h"
#include "sets/set_test_support.h"
#include "support/file_size_limit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace nubivista::sets;
using namespace nubivista::sets::testing;

namespace {

QString sampleImage(int n) {
    return QStringLiteral(NUBIVISTA_APP_DIR "/Sample Loop Images/latest%1.gif")
        .arg(1 + (n - 1) % 11);
}

// Every file of a folder (names starting with "." too) with its bytes.
std::map<QString, QByteArray> folderContents(const QString& folder) {
    std::map<QString, QByteArray> contents;
    for (const QFileInfo& file :
         QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot))
        contents[file.fileName()] = readBytes(file.filePath());
    return contents;
}

class SetFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        loopDir = home.filePath(QStringLiteral("Loop Images"));
        setsDir = home.filePath(QStringLiteral("Saved Image Sets"));
        QDir().mkpath(loopDir);
        QDir().mkpath(setsDir);
        loopImgBase = loopDir + QStringLiteral("/latest");
    }

    // Puts sample image firstSample + i - 1 into the slot file i of base, for
    // every filled slot of model.
    void putImages(const SlotModel& model, const QString& base, int firstSample = 1) {
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            if (model.slotFilled[slot] == 1) {
                ASSERT_TRUE(writeBytes(*SlotImageFile(base, slot),
                                       readBytes(sampleImage(firstSample + slot - 1))));
            }
        }
    }

    SaveTarget newSet(const QString& title) {
        return saveTargetFor(setsDir + QStringLiteral("/") + title, title, false);
    }

    QTemporaryDir home;
    QString loopDir;
    QString setsDir;
    QString loopImgBase;
};

SlotModel modelWithSlots(std::initializer_list<int> filledSlots) {
    SlotModel model = modelWithImages(0);
    for (const int slot : filledSlots) {
        model.slotFilled[slot] = 1;
        model.slotTime[slot] = 45300.0 + slot / 144.0;
        model.newestSlot = static_cast<std::int16_t>(slot);
    }
    return model;
}

} // namespace

TEST(SetNameRules, TheExtensionIsTestedWithoutCaseAndTheNameKeepsWhatWasTyped) {
    const struct {
        const char* title;
        bool extension;
        const char* setName;
        const char* captionName;
    } table[] = {
        {"Storm.sis", true, "Storm", "Storm"},     {"Storm.SIS", true, "Storm.SIS", "Storm"},
        {"Storm.Sis", true, "Storm.Sis", "Storm"}, {"a.sis.sis", true, "a.sis", "a.sis"},
        {"a.sis.SIS", true, "a", "a.sis"},         {"Storm.sisx", false, "Storm", "Storm"},
        {"Storm", false, "Storm", "Storm"},        {"sis", false, "sis", "sis"},
    };
    for (const auto& row : table) {
        const QString title = QString::fromLatin1(row.title);
        EXPECT_EQ(hasSetExtension(QStringLiteral("/home/u/") + title), row.extension) << row.title;
        EXPECT_EQ(setNameFromTitle(title), QString::fromLatin1(row.setName)) << row.title;
        EXPECT_EQ(captionNameFromTitle(title), QString::fromLatin1(row.captionName)) << row.title;
    }
}

TEST(SetNameRules, AnExistingRecordPutsTheSetBesideItsOwnFolder) {
    const struct {
        const char* chosen;
        bool exists;
        const char* base;
    } table[] = {
        {"/home/u/Saved Image Sets/Storm.sis", false, "/home/u/Saved Image Sets/"},
        {"/home/u/Saved Image Sets/Storm/Storm.sis", true, "/home/u/Saved Image Sets/"},
        // A record lying directly in the sets folder: its set goes beside that folder.
        {"/home/u/Saved Image Sets/Storm.sis", true, "/home/u/"},
        {"/Storm.sis", true, "/"},
        {"/Storm.sis", false, "/"},
    };
    for (const auto& row : table)
        EXPECT_EQ(saveBaseFolder(QString::fromLatin1(row.chosen), row.exists),
                  QString::fromLatin1(row.base))
            << row.chosen << " " << row.exists;

    const SaveTarget upper = saveTargetFor(QStringLiteral("/s/Storm.SIS"), "Storm.SIS", false);
    EXPECT_EQ(upper.setFolder, QStringLiteral("/s/Storm.SIS"));
    EXPECT_EQ(upper.recordPath, QStringLiteral("/s/Storm.SIS/Storm.SIS"));
    EXPECT_EQ(recordFolder(QStringLiteral("/s/Storm/Storm.sis")), QStringLiteral("/s/Storm/"));
}

TEST_F(SetFoldersTest, SavingWritesTheFilledSlotsImagesAndTheRecord) {
    const SlotModel model = modelWithSlots({1, 2, 5});
    putImages(model, loopImgBase);
    const SaveTarget target = newSet(QStringLiteral("Storm.sis"));
    const FileWork work = saveSetToFolder(model, 9, loopImgBase, target);
    ASSERT_TRUE(work.ok) << work.detail.toStdString();

    const auto saved = folderContents(target.setFolder);
    ASSERT_EQ(saved.size(), 4u);
    EXPECT_EQ(saved.at(QStringLiteral("Storm.sis")), encodeSetRecord(setRecordFromModel(model, 9)));
    for (const int slot : {1, 2, 5})
        EXPECT_EQ(saved.at(QStringLiteral("latest%1.gif").arg(slot)),
                  readBytes(*SlotImageFile(loopImgBase, slot)));
}

TEST_F(SetFoldersTest, SavingOverASetKeepsTheImagesOfSlotsNowEmpty) {
    const SaveTarget target = newSet(QStringLiteral("Storm.sis"));
    const SlotModel before = modelWithSlots({1, 2, 3});
    putImages(before, loopImgBase);
    ASSERT_TRUE(saveSetToFolder(before, 6, loopImgBase, target).ok);
    const QByteArray oldThird = readBytes(target.setFolder + QStringLiteral("/latest3.gif"));

    const SlotModel after = modelWithSlots({1, 2});
    putImages(after, loopImgBase, 5);
    ASSERT_TRUE(saveSetToFolder(after, 6, loopImgBase, target).ok);
    EXPECT_EQ(readBytes(target.recordPath), encodeSetRecord(setRecordFromModel(after, 6)));
    EXPECT_EQ(readBytes(target.setFolder + QStringLiteral("/latest1.gif")),
              readBytes(sampleImage(5)));
    EXPECT_EQ(readBytes(target.setFolder + QStringLiteral("/latest3.gif")), oldThird);
}

TEST_F(SetFoldersTest, AnImageRemovedFromTheLoopFolderStopsTheSaveBeforeAnyWrite) {
    const SlotModel model = modelWithSlots({1, 2, 3});
    putImages(model, loopImgBase);
    ASSERT_TRUE(QFile::remove(loopImgBase + QStringLiteral("2.gif")));
    const SaveTarget target = newSet(QStringLiteral("Storm.sis"));
    const FileWork work = saveSetToFolder(model, 6, loopImgBase, target);
    EXPECT_FALSE(work.ok);
    EXPECT_TRUE(work.detail.startsWith(QStringLiteral("Image Filecopy failed...")));
    EXPECT_TRUE(work.detail.contains(QStringLiteral("latest2.gif")));
    EXPECT_FALSE(QFileInfo::exists(target.setFolder));
}

TEST_F(SetFoldersTest, AFullDiskLeavesNeitherANewSetNorAChangedOne) {
    const SlotModel model = modelWithSlots({1, 2, 3});
    putImages(model, loopImgBase);
    const SaveTarget fresh = newSet(QStringLiteral("Fresh.sis"));
    const SaveTarget existing = newSet(QStringLiteral("Old.sis"));
    const SlotModel old = modelWithSlots({1, 2});
    putImages(old, loopImgBase, 7);
    ASSERT_TRUE(saveSetToFolder(old, 6, loopImgBase, existing).ok);
    const auto oldContents = folderContents(existing.setFolder);
    putImages(model, loopImgBase);
    {
        nubivista::testing::FileSizeLimit limit(4000); // smaller than one image
        const FileWork freshWork = saveSetToFolder(model, 6, loopImgBase, fresh);
        EXPECT_FALSE(freshWork.ok);
        EXPECT_TRUE(freshWork.detail.startsWith(QStringLiteral("Image Filecopy failed...")));
        EXPECT_FALSE(saveSetToFolder(model, 6, loopImgBase, existing).ok);
    }
    EXPECT_FALSE(QFileInfo::exists(fresh.setFolder));
    EXPECT_EQ(folderContents(existing.setFolder), oldContents);
}

TEST_F(SetFoldersTest, ARecordThatCannotBeWrittenIsReported) {
    const SlotModel model = modelWithSlots({1});
    putImages(model, loopImgBase);
    const SaveTarget target = newSet(QStringLiteral("Storm.sis"));
    // A folder where the record should go cannot be replaced by a file.
    ASSERT_TRUE(QDir().mkpath(target.recordPath));
    const FileWork work = saveSetToFolder(model, 6, loopImgBase, target);
    EXPECT_FALSE(work.ok);
    EXPECT_TRUE(work.detail.contains(target.recordPath));
    EXPECT_TRUE(QFileInfo(target.recordPath).isDir());
}

TEST_F(SetFoldersTest, OpeningCopiesTheSetsImagesOverTheLoopFiles) {
    const QString setFolder = setsDir + QStringLiteral("/Storm/");
    const SlotModel model = modelWithSlots({1, 3});
    putImages(model, setFolder + QStringLiteral("latest"), 4);
    putImages(modelWithSlots({1, 2, 3}), loopImgBase);
    const QByteArray loopSecond = readBytes(loopImgBase + QStringLiteral("2.gif"));

    ASSERT_TRUE(copySetImagesToLoop(model, setFolder, loopImgBase).ok);
    EXPECT_EQ(readBytes(loopImgBase + QStringLiteral("1.gif")), readBytes(sampleImage(4)));
    EXPECT_EQ(readBytes(loopImgBase + QStringLiteral("3.gif")), readBytes(sampleImage(6)));
    EXPECT_EQ(readBytes(loopImgBase + QStringLiteral("2.gif")), loopSecond);
    EXPECT_EQ(folderContents(loopDir).size(), 3u); // no temporaries left

    // The loop folder itself opened as a set keeps its images.
    const auto before = folderContents(loopDir);
    ASSERT_TRUE(copySetImagesToLoop(model, loopDir + QStringLiteral("/"), loopImgBase).ok);
    EXPECT_EQ(folderContents(loopDir), before);
}

TEST_F(SetFoldersTest, AMissingOrDamagedSetImageOrAFullDiskLeavesTheLoopFolderAlone) {
    const QString setFolder = setsDir + QStringLiteral("/Storm/");
    const SlotModel model = modelWithSlots({1, 2, 3});
    putImages(model, setFolder + QStringLiteral("latest"), 4);
    putImages(model, loopImgBase);
    const auto loopBefore = folderContents(loopDir);

    {
        nubivista::testing::FileSizeLimit limit(4000);
        EXPECT_FALSE(copySetImagesToLoop(model, setFolder, loopImgBase).ok);
    }
    EXPECT_EQ(folderContents(loopDir), loopBefore);

    ASSERT_TRUE(writeBytes(setFolder + QStringLiteral("latest3.gif"), "not a picture"));
    FileWork work = copySetImagesToLoop(model, setFolder, loopImgBase);
    EXPECT_FALSE(work.ok);
    EXPECT_TRUE(work.detail.contains(setFolder + QStringLiteral("latest3.gif")));
    EXPECT_EQ(folderContents(loopDir), loopBefore);

    ASSERT_TRUE(QFile::remove(setFolder + QStringLiteral("latest3.gif")));
    work = copySetImagesToLoop(model, setFolder, loopImgBase);
    EXPECT_EQ(work.detail, QStringLiteral("File Does Not Exist...\r\n") + setFolder +
                               QStringLiteral("latest3.gif"));
    EXPECT_EQ(folderContents(loopDir), loopBefore);
    EXPECT_EQ(checkSlotImages(model, setFolder + QStringLiteral("latest")).detail, work.detail);
}

TEST_F(SetFoldersTest, OnlyARecordOfExactly494BytesIsRead) {
    const QString path = setsDir + QStringLiteral("/x.sis");
    const QByteArray good = encodeSetRecord(setRecordFromModel(modelWithImages(3), 6));
    for (const qsizetype size : {qsizetype{0}, qsizetype{493}, qsizetype{495}}) {
        QByteArray bytes = good.left(size);
        if (size > good.size())
            bytes = good + QByteArray(size - good.size(), ' ');
        ASSERT_TRUE(writeBytes(path, bytes));
        const SetRecordLoad load = loadSetRecord(path, false, QStringLiteral("x"));
        EXPECT_EQ(load.failure, SetRecordLoad::Failure::BadRecord) << size;
        EXPECT_EQ(load.detail, QStringLiteral(".sis Record File Was Contaminated.")) << size;
    }
    ASSERT_TRUE(writeBytes(path, good));
    EXPECT_TRUE(loadSetRecord(path, false, QStringLiteral("x")).ok());
    EXPECT_EQ(loadSetRecord(setsDir + QStringLiteral("/none.sis"), false, "x").failure,
              SetRecordLoad::Failure::BadRecord);
}

TEST_F(SetFoldersTest, TheStoredAddressGivesThePaneAndImageAddresses) {
    const QString page =
        QStringLiteral("http://weather.noaa.gov/radar/latest/DS.p19r0/SI.kmlb.shtml");
    const QString image =
        QStringLiteral("http://weather.noaa.gov/radar/images/DS.p19r0/SI.kmlb/latest.gif");
    const QString loopPage =
        QStringLiteral("http://weather.noaa.gov/radar/loop/DS.p19r0/si.kmlb.shtml");
    const QString lowerPage =
        QStringLiteral("http://weather.noaa.gov/radar/latest/DS.p19r0/si.kmlb.shtml");
    const struct {
        QString stored;
        bool navsGoToPageUrl;
        QString paneUrl;
        QString siteImageUrl;
    } table[] = {
        {page, false, image, image}, // upper-case SI. with the page option off
        {page, true, page, image},
        {image, false, image, image},
        {image, true, lowerPage, image},
        {loopPage, true, lowerPage, image},
        {QStringLiteral("  ") + page + QStringLiteral("  "), false, image, image},
    };
    const QString path = setsDir + QStringLiteral("/x.sis");
    for (const auto& row : table) {
        SlotModel model = modelWithImages(2);
        model.paneUrl = row.stored;
        ASSERT_TRUE(writeBytes(path, encodeSetRecord(setRecordFromModel(model, 6))));
        const SetRecordLoad load = loadSetRecord(path, row.navsGoToPageUrl, QStringLiteral("x"));
        ASSERT_TRUE(load.ok()) << row.stored.toStdString();
        EXPECT_EQ(load.model.paneUrl, row.paneUrl) << row.stored.toStdString();
        EXPECT_EQ(load.model.siteImageUrl, row.siteImageUrl) << row.stored.toStdString();
        EXPECT_EQ(load.product.productCode, QStringLiteral("DS.p19r0"));
    }
}

TEST_F(SetFoldersTest, ARecordGivesItsRingTimesAndSiteOrSaysWhyNot) {
    SlotModel model = modelWithImages(20);
    model.ringOffset = 5;
    model.newestSlot = 3;
    model.wrapState = kRingFull;
    model.siteCode = QStringLiteral("KMLB");
    const QString path = setsDir + QStringLiteral("/x.sis");
    ASSERT_TRUE(writeBytes(path, encodeSetRecord(setRecordFromModel(model, 17))));
    SetRecordLoad load = loadSetRecord(path, false, QStringLiteral("URL Not NWS Radar Image"));
    ASSERT_TRUE(load.ok());
    EXPECT_EQ(load.refreshIntervalMinutes, 17);
    EXPECT_EQ(load.model.ringOffset, 5);
    EXPECT_EQ(load.model.newestSlot, 3);
    EXPECT_EQ(load.model.wrapState, kRingFull);
    EXPECT_EQ(load.model.slotTime, model.slotTime);
    EXPECT_EQ(load.model.slotFilled, model.slotFilled);
    EXPECT_EQ(load.model.lastImageTime, model.lastImageTime);
    EXPECT_EQ(load.model.lastImageSize, model.lastImageSize);
    EXPECT_EQ(load.model.siteCode, QStringLiteral("kmlb"));

    model.paneUrl = QStringLiteral("http://example.com/radar/latest/DS.p19r0/si.kmlb.shtml");
    ASSERT_TRUE(writeBytes(path, encodeSetRecord(setRecordFromModel(model, 17))));
    load = loadSetRecord(path, false, QStringLiteral("URL Not NWS Radar Image"));
    EXPECT_EQ(load.failure, SetRecordLoad::Failure::NotRadarAddress);
    EXPECT_EQ(load.detail, QStringLiteral("URL Not NWS Radar Image"));

    model.paneUrl = QStringLiteral("http://weather.noaa.gov/radar/latest/XX.p99r0/si.kmlb.shtml");
    ASSERT_TRUE(writeBytes(path, encodeSetRecord(setRecordFromModel(model, 17))));
    EXPECT_EQ(loadSetRecord(path, false, QStringLiteral("x")).failure,
              SetRecordLoad::Failure::UnknownProduct);
}
