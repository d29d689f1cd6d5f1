#pragma once
// The loop as the windows see it: the slot ring, each slot's decoded picture
// and the current set on disk. Every change of the slots goes through here,
// rewrites CurrSetRec.sis and tells the views what changed.
#include "sets/current_set.h"
#include "sets/slot_model.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <memory>

namespace nubivista::sets {

// Pictures larger than this on either side are refused as not a radar image;
// a 20-slot loop of them would not fit in memory.
inline constexpr int kMaxPictureSide = 4096;

// The picture in an image file, in the one format every slot keeps; a null
// image when the file is missing, not a picture or larger than kMaxPictureSide.
QImage readPicture(const QString& path);

class LoopSet : public QObject {
    Q_OBJECT
public:
    // setRecPath: CurrSetRec.sis; loopImgBase: ".../Loop Images/latest".
    // refreshInterval gives the interval written into each record.
    LoopSet(QString setRecPath, QString loopImgBase, std::function<std::int32_t()> refreshInterval,
            QObject* parent = nullptr);

    const SlotModel& model() const { return model_; }
    const QString& setRecPath() const { return setRecPath_; }
    const QString& loopImgBase() const { return loopImgBase_; }

    bool filled(int slot) const;
    // The slot shown on tab t (1..20) with the current ring offset.
    int slotForTab(int tab) const;
    int tabForSlot(int slot) const;
    // The highest slot 1..20 that holds an image; 0 when none does.
    int highestFilledSlot() const;
    int filledCount() const;

    // The slot's decoded picture; a null image for an empty slot or one whose
    // file could not be read.
    const QImage& picture(int slot) const;
    // The image file of slot 1..20 (latest<n>.gif); empty outside 1..20.
    QString slotFile(int slot) const;

    // Reads slot's file into its picture. False (and a null picture) when the
    // file is missing, not a picture or larger than kMaxPictureSide.
    bool loadPicture(int slot);
    // Decodes every filled slot's file again (after a set was opened).
    void loadAllPictures();

    // Marks slot as holding an image stamped with time (UTC) and reads its
    // picture from its file.
    void storeImage(int slot, OleDate time);
    // Empties one slot (its file stays on disk and is ignored).
    void clearSlot(int slot);
    // Empties every slot; the record on disk is kept for a later reload.
    void clearAll();
    // Sets a slot's time, for the minute nudge of the shown image.
    void setSlotTime(int slot, OleDate time);
    // Replaces the whole model (a set opened or packed) and decodes its pictures.
    void replaceModel(const SlotModel& model);
    // Changes the ring fields and the process fields through one callback, so
    // that acquisition can advance the ring without owning the model.
    void updateModel(const std::function<void(SlotModel&)>& change);

    // A process start empties the slots but keeps what they held: until the
    // start's first image is stored nothing is written to disk, and a start
    // that ends before then gets the loop back as it was. A second start
    // before that image keeps the first hold; an empty loop holds nothing.
    void holdForStart();
    bool holdingForStart() const { return held_ != nullptr; }
    // Puts back the held model and pictures; false when nothing was held.
    bool restoreHeld();

    // Writes CurrSetRec.sis now; silent, the outcome tells the caller.
    // Writes nothing while a start is held.
    SaveOutcome save();
    const SaveOutcome& lastSave() const { return lastSave_; }

signals:
    // A new image went into slot (its skip box starts unchecked).
    void imageStored(int slot);
    // One slot's filled flag, time or picture changed.
    void slotChanged(int slot);
    // The ring moved, or many slots changed at once: redraw everything.
    void modelReset();
    // Every slot's picture was decoded afresh (a set was opened or packed).
    void picturesReloaded();

private:
    struct Held {
        SlotModel model;
        std::array<QImage, kSlotArraySize> pictures;
    };

    void saveAfterChange();

    SlotModel model_;
    std::array<QImage, kSlotArraySize> pictures_;
    QString setRecPath_;
    QString loopImgBase_;
    std::function<std::int32_t()> refreshInterval_;
    SaveOutcome lastSave_;
    std::unique_ptr<Held> held_; // the loop before a start, until its first image
};

} // namespace nubivista::sets
