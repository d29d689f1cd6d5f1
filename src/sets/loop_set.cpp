#include "sets/loop_set.h"

#include <QImageReader>

namespace nubivista::sets {

namespace {

bool validSlot(int slot) {
    return slot >= 1 && slot <= kSlotCount;
}

const QImage& nullImage() {
    static const QImage empty;
    return empty;
}

} // namespace

LoopSet::LoopSet(QString setRecPath, QString loopImgBase,
                 std::function<std::int32_t()> refreshInterval, QObject* parent)
    : QObject(parent),
      setRecPath_(std::move(setRecPath)),
      loopImgBase_(std::move(loopImgBase)),
      refreshInterval_(std::move(refreshInterval)) {}

bool LoopSet::filled(int slot) const {
    return validSlot(slot) && model_.slotFilled[slot] != 0;
}

int LoopSet::slotForTab(int tab) const {
    return sets::slotForTab(tab, model_.ringOffset);
}

int LoopSet::tabForSlot(int slot) const {
    return sets::tabForSlot(slot, model_.ringOffset);
}

int LoopSet::highestFilledSlot() const {
    for (int slot = kSlotCount; slot >= 1; --slot)
        if (model_.slotFilled[slot] == 1)
            return slot;
    return 0;
}

int LoopSet::filledCount() const {
    return sets::filledCount(model_);
}

const QImage& LoopSet::picture(int slot) const {
    return validSlot(slot) ? pictures_[slot] : nullImage();
}

QString LoopSet::slotFile(int slot) const {
    return SlotImageFile(loopImgBase_, slot).value_or(QString());
}

QImage readPicture(const QString& path) {
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
        return {};
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    // One format for every slot keeps painting and stamp cutting uniform.
    return image.convertToFormat(QImage::Format_RGB32);
}

bool LoopSet::loadPicture(int slot) {
    if (!validSlot(slot))
        return false;
    pictures_[slot] = readPicture(slotFile(slot));
    return !pictures_[slot].isNull();
}

void LoopSet::loadAllPictures() {
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (model_.slotFilled[slot] == 1)
            loadPicture(slot);
        else
            pictures_[slot] = QImage();
    }
    emit picturesReloaded();
    emit modelReset();
}

void LoopSet::storeImage(int slot, OleDate time) {
    if (!validSlot(slot))
        return;
    // The start's first image: its clearing of the slots now holds.
    held_.reset();
    model_.slotFilled[slot] = 1;
    model_.slotTime[slot] = time;
    loadPicture(slot);
    emit imageStored(slot);
    emit slotChanged(slot);
}

void LoopSet::clearSlot(int slot) {
    if (!validSlot(slot))
        return;
    model_.slotFilled[slot] = 0;
    pictures_[slot] = QImage();
    emit slotChanged(slot);
}

void LoopSet::clearAll() {
    held_.reset();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        model_.slotFilled[slot] = 0;
        pictures_[slot] = QImage();
    }
    emit modelReset();
}

void LoopSet::setSlotTime(int slot, OleDate time) {
    if (!validSlot(slot))
        return;
    model_.slotTime[slot] = time;
    saveAfterChange();
    emit slotChanged(slot);
}

void LoopSet::replaceModel(const SlotModel& model) {
    held_.reset();
    model_ = model;
    loadAllPictures();
}

void LoopSet::updateModel(const std::function<void(SlotModel&)>& change) {
    change(model_);
    emit modelReset();
}

void LoopSet::holdForStart() {
    // An empty loop has nothing to get back, and the failed process's address
    // stays for Restart to try again.
    if (!held_ && filledCount() > 0)
        held_ = std::make_unique<Held>(Held{model_, pictures_});
}

bool LoopSet::restoreHeld() {
    if (!held_)
        return false;
    model_ = held_->model;
    pictures_ = held_->pictures;
    held_.reset();
    emit picturesReloaded();
    emit modelReset();
    return true;
}

SaveOutcome LoopSet::save() {
    if (held_) {
        lastSave_ = {SaveOutcome::Status::NothingToSave, {}};
        return lastSave_;
    }
    lastSave_ = SaveCurrentSet(setRecPath_, model_, refreshInterval_ ? refreshInterval_() : 6);
    return lastSave_;
}

void LoopSet::saveAfterChange() {
    save();
}

} // namespace nubivista::sets
