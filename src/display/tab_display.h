#pragma once
// The 20 image tabs and the slot shown: selecting a tab shows its slot's
// picture and stamp box and writes its time; the skip boxes under the tabs
// keep at least two images in the loop; the four option boxes store their
// settings; ClearMeasurement takes the measurement marks away.
#include <QObject>
#include <QString>

namespace nubivista::display {

class LoopDisplay;

class TabDisplay : public QObject {
    Q_OBJECT
public:
    explicit TabDisplay(LoopDisplay& display);

    // Window load: the option boxes from the settings, each click handler run.
    void load();

    int selectedTab() const;
    // Makes tab t (1..20) the selected one; this shows it (ShowSelectedTab),
    // also when it was selected already.
    void selectTab(int tab);
    // The slot now on display (Label1's caption), 0 before any.
    int shownSlot() const;

    void ShowSelectedTab();
    void Check4_Click(int tab);
    void Check1_Click();
    void Check2_Click();
    void Check3_Click();
    void Check5_Click();
    void ClearMeasurement();
    // The product box and Long Range show the product of a set opened,
    // reloaded or restarted, stored in the settings as a user's choice is;
    // an unknown code changes nothing.
    void showProduct(const QString& productCode);

    // Skip boxes of empty slots unchecked and disabled, of filled slots enabled.
    void syncSkipBoxes();

private:
    LoopDisplay& display_;
    bool selecting_ = false;
};

} // namespace nubivista::display
