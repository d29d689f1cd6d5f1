#include "display/tab_display.h"

#include "core/form1.h"
#include "display/loop_display.h"
#include "display/time_stamps.h"
#include "display/zoom_scroll.h"
#include "radar/products.h"
#include "sets/loop_set.h"

#include <QRegion>
#include <QStyle>
#include <vector>

namespace nubivista::display {

namespace {

constexpr double kTimeTextHeight = 195;

// The product items whose images have no long range.
bool productHasNoLongRange(int index) {
    return index == 2 || index == 3;
}

// The bar repaints itself whole when its selection changes, though only two
// tabs change their look (the loop changes it ten times a second): its own
// repaint is held back and only those two tabs, with the edges a selected tab
// draws over its neighbours, are repainted. Should the tabs have moved, the
// bar is repainted whole after all.
void selectRepaintingTwoTabs(QTabBar* strip, int index) {
    const int old = strip->currentIndex();
    if (old == index || index < 0 || index >= strip->count() || !strip->updatesEnabled()) {
        strip->setCurrentIndex(index);
        return;
    }
    std::vector<QRect> before;
    for (int i = 0; i < strip->count(); ++i)
        before.push_back(strip->tabRect(i));
    strip->setAttribute(Qt::WA_UpdatesDisabled, true);
    strip->setCurrentIndex(index);
    strip->setAttribute(Qt::WA_UpdatesDisabled, false);
    for (int i = 0; i < strip->count(); ++i) {
        if (strip->tabRect(i) != before[static_cast<std::size_t>(i)]) {
            strip->update();
            return;
        }
    }
    // A style may draw the selected tab over its neighbours' edges.
    const int overlap = strip->style()->pixelMetric(QStyle::PM_TabBarTabOverlap, nullptr, strip);
    QRegion changed(strip->tabRect(index).adjusted(-overlap, 0, overlap, 0));
    if (old >= 0)
        changed += strip->tabRect(old).adjusted(-overlap, 0, overlap, 0);
    strip->update(changed);
}

std::int16_t boxValue(const QCheckBox* box) {
    return box->isChecked() ? 1 : 0;
}

} // namespace

TabDisplay::TabDisplay(LoopDisplay& display) : display_(display) {
    DisplayControls& c = display_.controls();
    connect(c.TabStrip1, &QTabBar::currentChanged, this, [this] {
        if (!selecting_)
            ShowSelectedTab();
    });
    for (int t = 1; t <= kTabCount; ++t)
        connect(c.Check4[t], &OptionBox::clicked2, this, [this, t] { Check4_Click(t); });
    connect(c.Check1, &OptionBox::clicked2, this, &TabDisplay::Check1_Click);
    connect(c.Check2, &OptionBox::clicked2, this, &TabDisplay::Check2_Click);
    connect(c.Check3, &OptionBox::clicked2, this, &TabDisplay::Check3_Click);
    connect(c.Check5, &OptionBox::clicked2, this, &TabDisplay::Check5_Click);
    connect(c.Combo1, &QComboBox::activated, this, [this](int index) {
        core::Settings& s = display_.settings();
        s.ProductIndex = static_cast<std::int16_t>(index);
        DisplayControls& c = display_.controls();
        if (productHasNoLongRange(index) && c.Check2->isChecked()) {
            c.Check2->setChecked(false);
            Check2_Click();
        }
    });
    connect(&display_.loop(), &sets::LoopSet::imageStored, this, [this](int slot) {
        OptionBox* box = display_.controls().Check4[display_.loop().tabForSlot(slot)];
        box->setChecked(false);
        box->setEnabled(true);
    });

    core::Form1& shell = display_.shell();
    shell.registerToolTip(c.Check1,
                          QStringLiteral("Auto-Click Tab When Auto-Refresh Loads Next Image"));
    shell.registerToolTip(
        c.Check2,
        QStringLiteral(
            "Set Before Navigating To Get Long Range Radar Images (Short Range Is Default)"));
    shell.registerToolTip(
        c.Check3,
        QStringLiteral(
            "Set Before Navigating To Start Load With Several Images From Previous Hour"));
    shell.registerToolTip(c.Check5,
                          QStringLiteral("Resize Window To Fit Image (within screen size)"));
    shell.registerToolTip(c.Combo1,
                          QStringLiteral("Set Before Navigating To Select Type Of Radar Images."));
    shell.registerToolTip(
        c.Text1, QStringLiteral("Displays Distance/Speed/Headings/ETA's When Images Are Clicked"));
    // Only the first and the last skip box carry a tooltip.
    shell.registerToolTip(c.Check4[1], QStringLiteral("Check To Skip An Image When Looping"));
    shell.registerToolTip(c.Check4[kTabCount],
                          QStringLiteral("Check To Skip An Image When Looping"));
}

void TabDisplay::load() {
    DisplayControls& c = display_.controls();
    const core::Settings& s = display_.settings();
    c.Check1->setChecked(s.AutoClickTab != 0);
    Check1_Click();
    const int product =
        s.ProductIndex >= 0 && s.ProductIndex < c.Combo1->count() ? s.ProductIndex : 0;
    c.Combo1->setCurrentIndex(product);
    emit c.Combo1->activated(product);
    c.Check2->setChecked(display_.settings().LongRangeChecked != 0);
    Check2_Click();
    c.Check3->setChecked(s.BackDateChecked != 0);
    Check3_Click();
    c.Check5->setChecked(s.FitToImage != 0);
    Check5_Click();
}

int TabDisplay::selectedTab() const {
    return display_.controls().TabStrip1->currentIndex() + 1;
}

void TabDisplay::selectTab(int tab) {
    if (tab < 1 || tab > kTabCount)
        return;
    selecting_ = true;
    selectRepaintingTwoTabs(display_.controls().TabStrip1, tab - 1);
    selecting_ = false;
    ShowSelectedTab();
}

int TabDisplay::shownSlot() const {
    bool ok = false;
    const int slot = display_.controls().Label1->text().toInt(&ok);
    return ok && slot >= 1 && slot <= kTabCount ? slot : 0;
}

void TabDisplay::ShowSelectedTab() {
    DisplayControls& c = display_.controls();
    sets::LoopSet& loop = display_.loop();
    const int slot = loop.slotForTab(selectedTab());
    c.Image1->setPicture(loop.picture(slot));
    const OverlayOfSlot& overlayOf = display_.peers().overlayOf;
    const PictureOverlay overlay =
        overlayOf && loop.filled(slot) ? overlayOf(slot) : PictureOverlay{};
    c.Image1->setStormMarks(overlay.storms);
    c.Image1->setWarningMarks(overlay.warnings);
    display_.stamps().showBoxOf(slot);
    if (!loop.filled(slot))
        c.Image1->hideMarks();
    display_.stamps().WriteTimeText(slot);
    c.Text3->setFixedHeight(toPixels(kTimeTextHeight));
    c.Label1->setText(QString::number(slot));
}

void TabDisplay::Check4_Click(int tab) {
    DisplayControls& c = display_.controls();
    const int highest = display_.loop().highestFilledSlot();
    if (highest < 2) {
        c.Check4[tab]->setChecked(false);
        return;
    }
    int unchecked = 0;
    for (int t = 1; t <= highest && unchecked < 2; ++t)
        if (!c.Check4[t]->isChecked())
            ++unchecked;
    // The loop always keeps at least two images.
    if (unchecked < 2)
        c.Check4[tab]->setChecked(false);
}

void TabDisplay::Check1_Click() {
    display_.settings().AutoClickTab = boxValue(display_.controls().Check1);
}

void TabDisplay::Check2_Click() {
    display_.settings().LongRangeChecked = boxValue(display_.controls().Check2);
}

void TabDisplay::Check3_Click() {
    display_.settings().BackDateChecked = boxValue(display_.controls().Check3);
}

void TabDisplay::showProduct(const QString& productCode) {
    const std::optional<radar::ProductChoice> choice = radar::ChoiceForProduct(productCode);
    if (!choice)
        return;
    DisplayControls& c = display_.controls();
    c.Combo1->setCurrentIndex(choice->index);
    emit c.Combo1->activated(choice->index);
    c.Check2->setChecked(choice->longRange);
    Check2_Click();
}

void TabDisplay::Check5_Click() {
    OptionBox* box = display_.controls().Check5;
    if (box->isChecked())
        display_.zoom().startFitting();
    else if (display_.settings().FitToImage != 0)
        display_.zoom().stopFitting();
    display_.settings().FitToImage = boxValue(box);
}

void TabDisplay::ClearMeasurement() {
    if (display_.peers().resetMeasurementState)
        display_.peers().resetMeasurementState();
    DisplayControls& c = display_.controls();
    c.Text1->setText(QStringLiteral("Cleared"));
    c.Image1->hideMarks();
}

void TabDisplay::syncSkipBoxes() {
    DisplayControls& c = display_.controls();
    const sets::LoopSet& loop = display_.loop();
    for (int t = 1; t <= kTabCount; ++t) {
        const bool filled = loop.filled(loop.slotForTab(t));
        if (!filled)
            c.Check4[t]->setChecked(false);
        c.Check4[t]->setEnabled(filled);
    }
}

} // namespace nubivista::display
