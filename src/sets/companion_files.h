#pragma once
// What the program keeps beside an image: small files that belong to it (the
// storm cells of its scan), named after the image ("latest5.gif" has
// "latest5.storms.json", and the warnings in force, "latest5.warnings.json").
// They travel with their image through every set
// command; an image without one simply has none, and a file left beside an
// image it does not belong to must never be shown with it.
#include <QString>
#include <array>
#include <vector>

namespace nubivista::sets {

inline constexpr std::array<const char*, 2> kCompanionSuffixes = {".storms.json", ".warnings.json"};

// The storm cells kept beside image.
QString stormCellsFileOf(const QString& imageFile);

// The warnings kept beside image.
QString warningsFileOf(const QString& imageFile);

// Every companion name of image, whether the file is there or not.
std::vector<QString> companionFilesOf(const QString& imageFile);

// True for a companion's own name.
bool isCompanionFile(const QString& path);

// Removes every companion of image; true when none is left.
bool removeCompanions(const QString& imageFile);

struct CompanionPair {
    QString source;
    QString target;
};

// The companions of sourceImage that exist, each with its name beside
// targetImage.
std::vector<CompanionPair> existingCompanions(const QString& sourceImage,
                                              const QString& targetImage);

// After sourceImage's file became targetImage's (a rename in the loop
// folder): its companions follow it, and a companion the target had of an
// earlier image goes. A companion that cannot follow is removed rather than
// left beside the wrong image.
void moveCompanions(const QString& sourceImage, const QString& targetImage);

} // namespace nubivista::sets
