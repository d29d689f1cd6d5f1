#pragma once
// The shown image's time as text, in one of three display modes.
#include "core/clock.h"
#include "sets/slot_model.h"

#include <QImage>
#include <QString>
#include <optional>

namespace nubivista::display {

enum TimeDisplayMode : int {
    kTimeUtc = 0,      // "14:05 UTC 06/15/2004"
    kTimeLocal24 = 1,  // "09:05 LOC 06/15/2004"
    kTimeLocalAmPm = 2 // "9:05 am 06/15/2004"
};

// The text for a slot time (UTC) in mode; nothing for a mode outside 0..2.
// A slot without a time (the zero date) shows as empty text.
std::optional<QString> timeText(sets::OleDate slotTimeUtc, int mode, const core::Clock& clock);

// The next mode of the right-click cycle; a mode outside 0..2 stays as it is.
int nextTimeDisplayMode(int mode);

// The strip of a radar image that carries its printed time stamp, and where
// it goes in the stamp box.
inline constexpr QRect kStampStrip{395, 0, 142, 10};
inline constexpr QPoint kStampOffsetInBox{0, 2};
inline constexpr QSize kStampBoxPixels{148, 15}; // 2220 x 225 twips

// The stamp box for a picture: black, with the strip copied unscaled into it.
// A null picture gives the blank (black) box.
QImage stampBoxImage(const QImage& picture);

} // namespace nubivista::display
