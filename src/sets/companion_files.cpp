#include "sets/companion_files.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace nubivista::sets {

namespace {

// "…/latest5.gif" → "…/latest5"
QString stemOf(const QString& imageFile) {
    const qsizetype slash = imageFile.lastIndexOf(u'/');
    const qsizetype dot = imageFile.lastIndexOf(u'.');
    return dot > slash ? imageFile.left(dot) : imageFile;
}

} // namespace

QString stormCellsFileOf(const QString& imageFile) {
    return stemOf(imageFile) + QLatin1String(kCompanionSuffixes[0]);
}

QString warningsFileOf(const QString& imageFile) {
    return stemOf(imageFile) + QLatin1String(kCompanionSuffixes[1]);
}

std::vector<QString> companionFilesOf(const QString& imageFile) {
    std::vector<QString> files;
    const QString stem = stemOf(imageFile);
    for (const char* suffix : kCompanionSuffixes)
        files.push_back(stem + QLatin1String(suffix));
    return files;
}

bool isCompanionFile(const QString& path) {
    for (const char* suffix : kCompanionSuffixes)
        if (path.endsWith(QLatin1String(suffix)))
            return true;
    return false;
}

bool removeCompanions(const QString& imageFile) {
    bool allGone = true;
    for (const QString& file : companionFilesOf(imageFile))
        if (QFileInfo::exists(file) && !QFile::remove(file))
            allGone = false;
    return allGone;
}

std::vector<CompanionPair> existingCompanions(const QString& sourceImage,
                                              const QString& targetImage) {
    std::vector<CompanionPair> pairs;
    const std::vector<QString> sources = companionFilesOf(sourceImage);
    const std::vector<QString> targets = companionFilesOf(targetImage);
    for (std::size_t i = 0; i < sources.size(); ++i)
        if (QFileInfo(sources[i]).isFile())
            pairs.push_back({sources[i], targets[i]});
    return pairs;
}

void moveCompanions(const QString& sourceImage, const QString& targetImage) {
    const std::vector<QString> sources = companionFilesOf(sourceImage);
    const std::vector<QString> targets = companionFilesOf(targetImage);
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (!QFileInfo::exists(sources[i])) {
            QFile::remove(targets[i]);
            continue;
        }
        // POSIX rename replaces the target in one step.
        if (std::rename(QFile::encodeName(sources[i]).constData(),
                        QFile::encodeName(targets[i]).constData()) != 0) {
            QFile::remove(targets[i]);
            QFile::remove(sources[i]);
        }
    }
}

} // namespace nubivista::sets
