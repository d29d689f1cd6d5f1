#pragma once
// The files behind the set commands, without any window: where a saved set
// goes, saving a set into its folder, reading a set record with the address
// rules, and bringing a set's images into the loop folder. A write either
// completes or leaves the files that were on disk as they were.
#include "radar/addresses.h"
#include "sets/slot_model.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace nubivista::sets {

// True when the last four characters of path, lower-cased, are ".sis".
bool hasSetExtension(const QString& path);
// A file name typed without any extension gets ".sis", as the save dialog's
// default suffix; a name with another extension is left for the caller to
// refuse. A dot followed by a space ("St. Louis") is no extension.
QString withDefaultSetExtension(const QString& fileName);

// The set name of a record's file title: the title before its last ".sis"
// (exactly that case), the whole title when it holds none.
QString setNameFromTitle(const QString& title);

// The set name a caption shows: the title before its last ".sis" in any case.
QString captionNameFromTitle(const QString& title);

// The folder (ending in "/") that gets the set folder of a record chosen in
// the save dialog: the chosen file's folder for a new record; for an
// existing record, which normally lies in its own set folder, that folder's
// parent.
QString saveBaseFolder(const QString& chosenPath, bool chosenExists);

// The folder a record file lies in, ending in "/".
QString recordFolder(const QString& recordPath);

struct SaveTarget {
    QString setName;
    QString setFolder;  // base folder + set name
    QString recordPath; // setFolder + "/" + the file title as typed
};

SaveTarget saveTargetFor(const QString& chosenPath, const QString& title, bool chosenExists);

// Outcome of file work; detail is the failure text the user is shown.
struct FileWork {
    bool ok = true;
    QString detail;
};

struct FileCopy {
    QString source;
    QString target;
};

// Copies every source to a temporary file beside its target and, only when
// all copies are complete, renames them over the targets. On a failure the
// temporaries are removed and no target has changed.
FileWork copyFilesAllOrNothing(const std::vector<FileCopy>& copies);

// Checks that every filled slot of model has a readable picture file
// imageBase + slot + ".gif".
FileWork checkSlotImages(const SlotModel& model, const QString& imageBase);

// Saves model as a set: the filled slots' images from loopImgBase into the
// set folder first (made when missing), then the record, atomically. A
// record is never left naming images the folder lacks; a set folder made
// by a failed save is removed again.
FileWork saveSetToFolder(const SlotModel& model, std::int32_t refreshIntervalMinutes,
                         const QString& loopImgBase, const SaveTarget& target);

// Brings the images of model's filled slots from setFolder (ending in "/")
// into the loop folder of loopImgBase, all or none; every image is checked
// before anything is copied.
FileWork copySetImagesToLoop(const SlotModel& model, const QString& setFolder,
                             const QString& loopImgBase);

struct SetRecordLoad {
    enum class Failure {
        None,
        BadRecord,       // not a usable 494-byte record
        NotRadarAddress, // the stored address is not a radar page or image
        UnknownProduct,  // the pane address names no known product
    };
    Failure failure = Failure::None;
    QString detail; // the failure text of BadRecord and NotRadarAddress
    // The record's slots, ring, last-image fields, addresses and site code.
    SlotModel model;
    std::int32_t refreshIntervalMinutes = 0;
    radar::RecognizedProduct product{}; // set when failure is None

    bool ok() const { return failure == Failure::None; }
};

// Reads the record at path. The pane and image addresses are derived from
// the stored one (page form in the pane when navsGoToPageUrl is set); an
// address without the radar path is refused with notRadarText.
SetRecordLoad loadSetRecord(const QString& path, bool navsGoToPageUrl, const QString& notRadarText);

// The failure texts of file work.
QString fileMissingText(const QString& path);
QString imageCopyFailedText();

} // namespace nubivista::sets
