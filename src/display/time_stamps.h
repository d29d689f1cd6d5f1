#pragma once
// The shown image's time in the tab row, in UTC, local 24-hour or local am/pm
// (a right-click cycles), the minute nudge buttons, and the black stamp boxes
// that repeat each slot's printed time stamp cut from its image.
#include <QObject>
#include <QString>

namespace nubivista::display {

class LoopDisplay;

class TimeStamps : public QObject {
    Q_OBJECT
public:
    explicit TimeStamps(LoopDisplay& display);

    void WriteTimeText(int slot);
    void Text3_MouseDown(Qt::MouseButton button);
    void Command30_Click();
    void Command31_Click();
    // fileName empty blanks the box; allSlots redoes all 20 from the slots.
    void LodTimStmpImg(const QString& fileName, int slot, bool allSlots);

    // Shows the box of slot and hides the others.
    void showBoxOf(int slot);

private:
    void nudgeShownSlot(int minutes, QWidget* clicked);
    bool paintBox(const QString& fileName, int slot);

    LoopDisplay& display_;
};

} // namespace nubivista::display
