#include "sets/set_folders.h"

#include "core/atomic_file.h"
#include "core/file_checks.h"
#include "sets/companion_files.h"
#include "sets/current_set.h"
#include "sets/set_record.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <algorithm>
#include <cstdio>

namespace nubivista::sets {

namespace {

const QLatin1String kExtension(".sis");
constexpr qint64 kCopyBlock = 64 * 1024;

QString crlf() {
    return QStringLiteral("\r\n");
}

FileWork failed(const QString& detail) {
    return {false, detail};
}

// A hidden name beside target, so that a copy cut short never stands in for
// the file it was meant to replace.
QString temporaryNameFor(const QString& target) {
    const QFileInfo info(target);
    return info.dir().filePath(QStringLiteral(".") + info.fileName() + QStringLiteral(".part"));
}

// Copies with unbuffered writes, so that a full disk shows at the write
// that did not fit and not in a flush nobody checks.
FileWork copyOne(const QString& source, const QString& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return failed(imageCopyFailedText() + crlf() + source + QStringLiteral(": ") +
                      in.errorString());
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return failed(imageCopyFailedText() + crlf() + target + QStringLiteral(": ") +
                      out.errorString());
    for (;;) {
        const QByteArray block = in.read(kCopyBlock);
        if (block.isEmpty())
            break;
        if (!core::writeAll(out, block))
            return failed(imageCopyFailedText() + crlf() + target + QStringLiteral(": ") +
                          out.errorString());
    }
    if (in.error() != QFileDevice::NoError)
        return failed(imageCopyFailedText() + crlf() + source + QStringLiteral(": ") +
                      in.errorString());
    out.close();
    if (out.error() != QFileDevice::NoError)
        return failed(imageCopyFailedText() + crlf() + target + QStringLiteral(": ") +
                      out.errorString());
    return {};
}

// POSIX rename replaces an existing target in one step.
bool renameOver(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

QString slotFileOf(const QString& imageBase, int slot) {
    return SlotImageFile(imageBase, slot).value_or(QString());
}

// An image's copy and its companions' copies, all in one piece of work.
void addImageCopy(std::vector<FileCopy>& copies, const QString& source, const QString& target) {
    copies.push_back({source, target});
    for (const CompanionPair& companion : existingCompanions(source, target))
        copies.push_back({companion.source, companion.target});
}

// After the copies landed: a target companion its source image lacks belongs
// to an earlier image of that slot.
void removeStaleCompanions(const std::vector<FileCopy>& copies) {
    const auto copied = [&copies](const QString& target) {
        return std::any_of(copies.begin(), copies.end(),
                           [&target](const FileCopy& copy) { return copy.target == target; });
    };
    for (const FileCopy& copy : copies) {
        if (isCompanionFile(copy.target))
            continue;
        for (const QString& companion : companionFilesOf(copy.target))
            if (!copied(companion))
                QFile::remove(companion);
    }
}

} // namespace

QString fileMissingText(const QString& path) {
    return QStringLiteral("File Does Not Exist...") + crlf() + path;
}

QString imageCopyFailedText() {
    return QStringLiteral("Image Filecopy failed...");
}

bool hasSetExtension(const QString& path) {
    return path.right(4).toLower() == kExtension;
}

QString withDefaultSetExtension(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString after = dot < 0 ? QString() : fileName.mid(dot + 1);
    const bool hasExtension = dot > 0 && !after.isEmpty() && !after.contains(QLatin1Char(' '));
    if (hasExtension || fileName.trimmed().isEmpty())
        return fileName;
    return fileName + kExtension;
}

QString setNameFromTitle(const QString& title) {
    const qsizetype at = title.lastIndexOf(kExtension, -1, Qt::CaseSensitive);
    return at < 0 ? title : title.left(at);
}

QString captionNameFromTitle(const QString& title) {
    const qsizetype at = title.lastIndexOf(kExtension, -1, Qt::CaseInsensitive);
    return at < 0 ? title : title.left(at);
}

QString saveBaseFolder(const QString& chosenPath, bool chosenExists) {
    const qsizetype last = chosenPath.lastIndexOf(u'/');
    if (last < 0)
        return QString();
    // A record at the top of the file system has no parent folder to go up to.
    if (chosenExists && last > 0) {
        const qsizetype secondLast = chosenPath.lastIndexOf(u'/', last - 1);
        if (secondLast >= 0)
            return chosenPath.left(secondLast + 1);
    }
    return chosenPath.left(last + 1);
}

QString recordFolder(const QString& recordPath) {
    return recordPath.left(recordPath.lastIndexOf(u'/') + 1);
}

SaveTarget saveTargetFor(const QString& chosenPath, const QString& title, bool chosenExists) {
    SaveTarget target;
    target.setName = setNameFromTitle(title);
    target.setFolder = saveBaseFolder(chosenPath, chosenExists) + target.setName;
    target.recordPath = target.setFolder + QStringLiteral("/") + title;
    return target;
}

FileWork copyFilesAllOrNothing(const std::vector<FileCopy>& copies) {
    std::vector<QString> temporaries;
    const auto removeTemporaries = [&temporaries](std::size_t from) {
        for (std::size_t i = from; i < temporaries.size(); ++i)
            QFile::remove(temporaries[i]);
    };
    for (const FileCopy& copy : copies) {
        const QString temporary = temporaryNameFor(copy.target);
        QFile::remove(temporary); // left by a copy that was cut short
        temporaries.push_back(temporary);
        const FileWork work = copyOne(copy.source, temporary);
        if (!work.ok) {
            removeTemporaries(0);
            return work;
        }
    }
    for (std::size_t i = 0; i < copies.size(); ++i) {
        if (!renameOver(temporaries[i], copies[i].target)) {
            removeTemporaries(i);
            return failed(imageCopyFailedText() + crlf() + copies[i].target);
        }
    }
    return {};
}

FileWork checkSlotImages(const SlotModel& model, const QString& imageBase) {
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (model.slotFilled[slot] != 1)
            continue;
        const QString file = slotFileOf(imageBase, slot);
        if (core::FileMissing(file) != 0)
            return failed(fileMissingText(file));
        if (!QImageReader(file).canRead())
            return failed(QStringLiteral("File Is Not An Image...") + crlf() + file);
    }
    return {};
}

FileWork saveSetToFolder(const SlotModel& model, std::int32_t refreshIntervalMinutes,
                         const QString& loopImgBase, const SaveTarget& target) {
    std::vector<FileCopy> copies;
    const QString setImageBase = target.setFolder + QStringLiteral("/latest");
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (model.slotFilled[slot] != 1)
            continue;
        const QString source = slotFileOf(loopImgBase, slot);
        if (core::FileMissing(source) != 0)
            return failed(imageCopyFailedText() + crlf() + source);
        addImageCopy(copies, source, slotFileOf(setImageBase, slot));
    }

    bool folderMade = false;
    if (core::DirMissing(target.setFolder) != 0) {
        if (!QDir().mkdir(target.setFolder))
            return failed(QStringLiteral("Set Folder Could Not Be Made...") + crlf() +
                          target.setFolder);
        folderMade = true;
    }
    const auto undoFolder = [&] {
        if (folderMade)
            QDir(target.setFolder).removeRecursively();
    };

    FileWork work = copyFilesAllOrNothing(copies);
    if (!work.ok) {
        undoFolder();
        return work;
    }
    removeStaleCompanions(copies);
    const core::WriteOutcome written = core::writeFileAtomically(
        target.recordPath, encodeSetRecord(setRecordFromModel(model, refreshIntervalMinutes)));
    if (!written.ok) {
        undoFolder();
        return failed(QStringLiteral("Set Record File Could Not Be Written...") + crlf() +
                      target.recordPath + QStringLiteral(": ") + written.error);
    }
    return {};
}

FileWork copySetImagesToLoop(const SlotModel& model, const QString& setFolder,
                             const QString& loopImgBase) {
    const QString setImageBase = setFolder + QStringLiteral("latest");
    const FileWork checked = checkSlotImages(model, setImageBase);
    if (!checked.ok)
        return checked;
    std::vector<FileCopy> copies;
    for (int slot = 1; slot <= kSlotCount; ++slot)
        if (model.slotFilled[slot] == 1)
            addImageCopy(copies, slotFileOf(setImageBase, slot), slotFileOf(loopImgBase, slot));
    FileWork work = copyFilesAllOrNothing(copies);
    if (work.ok)
        removeStaleCompanions(copies);
    return work;
}

SetRecordLoad loadSetRecord(const QString& path, bool navsGoToPageUrl,
                            const QString& notRadarText) {
    SetRecordLoad load;
    const SetRecordRead read = readSetRecordFile(path);
    if (!read.record) {
        load.failure = SetRecordLoad::Failure::BadRecord;
        load.detail = read.error;
        return load;
    }
    const SetRecord& record = *read.record;
    load.refreshIntervalMinutes = record.refreshIntervalMinutes;
    SlotModel& model = load.model;
    model.wrapState = record.wrapState;
    model.ringOffset = record.ringOffset;
    model.newestSlot = record.newestSlot;
    model.lastImageTime = record.lastImageTime;
    model.lastImageSize = record.lastImageSize;
    const QString stored = record.paneUrl.trimmed();
    const radar::ProcessAddresses addresses =
        radar::AddressesFromStoredUrl(stored, navsGoToPageUrl);
    model.paneUrl = addresses.paneUrl;
    model.siteImageUrl = addresses.siteImageUrl;
    model.siteCode = record.siteCode.trimmed();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        model.slotFilled[slot] = record.slotFilled[slot];
        model.slotTime[slot] = record.slotTime[slot];
    }

    if (!radar::HasRadarPath(stored)) {
        load.failure = SetRecordLoad::Failure::NotRadarAddress;
        load.detail = notRadarText;
        return load;
    }
    const std::optional<radar::RecognizedProduct> product = radar::RecognizeProduct(model.paneUrl);
    if (!product) {
        load.failure = SetRecordLoad::Failure::UnknownProduct;
        return load;
    }
    load.product = *product;
    return load;
}

} // namespace nubivista::sets
