#include "display/time_stamps.h"

#include "core/form1.h"
#include "core/ole_date.h"
#include "display/loop_display.h"
#include "display/tab_display.h"
#include "display/time_text.h"
#include "sets/loop_set.h"

#include <QImageReader>
#include <QPixmap>

namespace nubivista::display {

namespace {

constexpr double kTimeTextHeight = 195;

// The picture in a stamp box is shown pixel for pixel, whatever the scaling.
void showInBox(QLabel* box, const QImage& image) {
    box->setPixmap(QPixmap::fromImage(image));
}

} // namespace

TimeStamps::TimeStamps(LoopDisplay& display) : display_(display) {
    DisplayControls& c = display_.controls();
    connect(c.Command30, &QPushButton::clicked, this, &TimeStamps::Command30_Click);
    connect(c.Command31, &QPushButton::clicked, this, &TimeStamps::Command31_Click);
    display_.shell().registerToolTip(
        c.Text3, QStringLiteral("Mod.Date Of Image File (Inc/Dec Min. With Buttons Above To Sync. "
                                "With Image Time-Stamp) (Right-Clk Change UTC/Local/Local am-pm)"));

    // The boxes follow the model: a stored image paints its box, an emptied
    // slot blanks it, reloaded pictures redo them all. Nothing is painted
    // while the panel is switched off.
    sets::LoopSet& loop = display_.loop();
    // The pictures are decoded already: the boxes are cut from them rather
    // than from the files read again.
    connect(&loop, &sets::LoopSet::imageStored, this, [this](int slot) {
        if (display_.settings().HideStampBox == 0)
            showInBox(display_.controls().Picture8[slot],
                      stampBoxImage(display_.loop().picture(slot)));
    });
    connect(&loop, &sets::LoopSet::slotChanged, this, [this](int slot) {
        if (!display_.loop().filled(slot))
            paintBox(QString(), slot);
    });
    connect(&loop, &sets::LoopSet::picturesReloaded, this, [this] {
        if (display_.settings().HideStampBox != 0)
            return;
        const sets::LoopSet& loop = display_.loop();
        for (int slot = 1; slot <= sets::kSlotCount; ++slot)
            showInBox(display_.controls().Picture8[slot], stampBoxImage(loop.picture(slot)));
        showBoxOf(loop.slotForTab(display_.tabs().selectedTab()));
    });
}

void TimeStamps::WriteTimeText(int slot) {
    const sets::LoopSet& loop = display_.loop();
    const sets::OleDate time =
        slot >= 1 && slot <= sets::kSlotCount ? loop.model().slotTime[slot] : sets::OleDate{0};
    const std::optional<QString> text =
        timeText(time, display_.settings().TimeDisplayMode, display_.clock());
    // The box repaints at every setText, even of the text it shows.
    if (text && display_.controls().Text3->text() != *text)
        display_.controls().Text3->setText(*text);
}

void TimeStamps::Text3_MouseDown(Qt::MouseButton button) {
    if (button != Qt::RightButton)
        return;
    core::Settings& settings = display_.settings();
    const int mode = settings.TimeDisplayMode;
    const int next = nextTimeDisplayMode(mode);
    if (next != mode) {
        settings.TimeDisplayMode = static_cast<std::int16_t>(next);
        // Before any image was shown there is no slot to write; the mode
        // still moves on.
        WriteTimeText(display_.tabs().shownSlot());
    }
    display_.controls().Text3->setFixedHeight(toPixels(kTimeTextHeight));
}

void TimeStamps::Command30_Click() {
    nudgeShownSlot(-1, display_.controls().Command30);
}

void TimeStamps::Command31_Click() {
    nudgeShownSlot(+1, display_.controls().Command31);
}

void TimeStamps::nudgeShownSlot(int minutes, QWidget* clicked) {
    DisplayControls& c = display_.controls();
    c.Command30->setEnabled(false);
    c.Command31->setEnabled(false);
    sets::LoopSet& loop = display_.loop();
    const int slot = display_.tabs().shownSlot();
    if (loop.filledCount() > 0 && slot != 0) {
        const sets::OleDate time = loop.model().slotTime[slot];
        if (time != 0) {
            if (const auto moved = core::oleAddMinutes(time, minutes)) {
                // The changed time is written into the current set at once,
                // so that it survives a restart.
                loop.setSlotTime(slot, *moved);
                WriteTimeText(slot);
                c.Text3->setFixedHeight(toPixels(kTimeTextHeight));
            }
        }
    }
    c.Command30->setEnabled(true);
    c.Command31->setEnabled(true);
    clicked->setFocus();
}

bool TimeStamps::paintBox(const QString& fileName, int slot) {
    if (slot < 1 || slot > sets::kSlotCount)
        return false;
    QLabel* box = display_.controls().Picture8[slot];
    if (fileName.isEmpty()) {
        showInBox(box, stampBoxImage(QImage()));
        return true;
    }
    // The work canvas: the file is read, cut and let go again.
    QImageReader reader(fileName);
    const QSize size = reader.size();
    QImage canvas;
    if (size.isValid() && size.width() <= sets::kMaxPictureSide &&
        size.height() <= sets::kMaxPictureSide)
        canvas = reader.read();
    if (canvas.isNull()) {
        showInBox(box, stampBoxImage(QImage()));
        return false;
    }
    showInBox(box, stampBoxImage(canvas));
    return true;
}

void TimeStamps::LodTimStmpImg(const QString& fileName, int slot, bool allSlots) {
    if (!allSlots) {
        paintBox(fileName, slot);
        return;
    }
    const sets::LoopSet& loop = display_.loop();
    for (int tab = 1; tab <= sets::kSlotCount; ++tab) {
        const int s = loop.slotForTab(tab);
        const QString file = loop.filled(s) ? loop.slotFile(s) : QString();
        // A box that cannot be painted ends the redo; the later boxes keep
        // what they showed.
        if (!paintBox(file, s))
            return;
    }
    showBoxOf(loop.slotForTab(display_.tabs().selectedTab()));
}

void TimeStamps::showBoxOf(int slot) {
    DisplayControls& c = display_.controls();
    if (slot >= 1 && slot <= sets::kSlotCount)
        c.Picture8[slot]->show();
    for (int s = 1; s <= sets::kSlotCount; ++s)
        if (s != slot)
            c.Picture8[s]->hide();
}

} // namespace nubivista::display
