#include "display/window_layout.h"

#include "core/form1.h"
#include "display/loop_display.h"
#include "display/tab_display.h"
#include "display/time_stamps.h"
#include "display/zoom_scroll.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>

namespace nubivista::display {

namespace {

constexpr int kGuardedBoxes[] = {1, 2, 3, 4, 11, 12};

int windowStateCode(const QWidget& window) {
    if (window.isMinimized())
        return 1;
    if (window.isMaximized() || window.isFullScreen())
        return 2;
    return 0;
}

void place(QWidget* widget, const TwipsRect& rect) {
    widget->setGeometry(toPixels(rect));
}

void showAt(QWidget* widget, const TwipsRect& rect, bool shown) {
    if (shown)
        place(widget, rect);
    widget->setVisible(shown);
}

} // namespace

WindowLayout::WindowLayout(LoopDisplay& display) : display_(display) {
    core::Form1& shell = display_.shell();
    DisplayControls& c = display_.controls();

    // The display area's bottom edge is reckoned with a bar of this height.
    shell.StatusBar1()->setFixedHeight(toPixels(kStatusBarHeight));
    shell.setMinimumSize(toPixels(kMinWindowWidth), toPixels(kMinWindowHeight));

    // Fixed places inside the panel; the frames hold their own controls.
    for (const ControlPlace& p : panelPlaces())
        if (auto* widget = c.Picture1->findChild<QWidget*>(QString::fromLatin1(p.name)))
            place(widget, p.rect);
    const TwipsRect text1 = panelPlace("Text1");
    text1_ = {text1.left, text1.width};
    for (int s = 1; s <= kTabCount; ++s)
        place(c.Picture8[s], {15, 0, kStampBoxWidth, kStampBoxHeight});

    connect(c.Command13, &core::PressButton::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers) { Command13_MouseDown(button); });
    connect(c.Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(c.Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    for (int number : kGuardedBoxes) {
        auto* box = static_cast<TextBox*>(textBox(number));
        connect(box, &TextBox::mouseDown, this,
                [this, number](Qt::MouseButton button, Qt::KeyboardModifiers) {
                    textBoxMouseDown(number, button);
                });
        shell.registerDeferredAction(number, [box] { box->setEnabled(true); });
    }

    shell.attachMenuItem(QStringLiteral("mnuStatusBar"), [this] { mnuStatusBar_Click(); });
    connect(&shell, &core::Form1::systemColorsChanged, this, [this] { SystemColorsChanged(); });

    shell.registerToolTip(
        c.Command1,
        QStringLiteral("Show/Hide Selector Map Browser (NWS-National Doppler Radar Sites)"));
    shell.registerToolTip(c.Command3, QStringLiteral("Show Menu"));
    shell.registerToolTip(c.Command13, QStringLiteral("Show/Hide Controls"));

    // The shortcuts work wherever the focus is in the window; resizes come
    // from the window itself.
    qApp->installEventFilter(this);
}

void WindowLayout::load() {
    const core::Settings& settings = display_.settings();
    const bool hideBar = settings.HideStatusBar != 0;
    showStatusBar(!hideBar);
    if (QAction* item = display_.shell().menuItem(QStringLiteral("mnuStatusBar")))
        item->setChecked(!hideBar);
    statusBarAllowance_ = hideBar ? kStatusBarAllowance : 0;
    display_.controls().Picture2->setVisible(settings.HideStampBox == 0);
    SystemColorsChanged();
    LayoutControls();
}

double WindowLayout::innerWidth() const {
    return toTwips(display_.shell().width());
}

double WindowLayout::innerHeight() const {
    return toTwips(display_.shell().height());
}

// ---- resize ----

void WindowLayout::Form_Resize() {
    core::Form1& window = display_.shell();
    if (window.isMinimized())
        return;
    const WindowSize wanted = snapToMinimum({innerWidth(), innerHeight()});
    if (!window.isMaximized() && !window.isFullScreen() &&
        (wanted.width != innerWidth() || wanted.height != innerHeight()))
        window.resize(toPixels(wanted.width), toPixels(wanted.height));
    LayoutControls();
    placeStatusBar();
    placeTabRow();
    display_.zoom().UpdateScrollRanges();
    display_.zoom().SyncScrollBars(false, false);

    const int state = windowStateCode(window);
    if (lastWindowState_ == 2 && state == 0) {
        lastWindowState_ = 0;
        if (display_.controls().Check5->isChecked())
            display_.zoom().FitWindowToImage();
    }
    lastWindowState_ = state;

    if (state == 0 && innerWidth() >= kMinWindowWidth && innerHeight() >= kMinWindowHeight)
        core::storeMainWindowPlacement(display_.settings(),
                                       core::placementFromPixels(window.geometry()));
}

void WindowLayout::LayoutControls() {
    DisplayControls& c = display_.controls();
    const LayoutResult r =
        layoutControls({innerWidth(), innerHeight(), panelLeft_, panelAllowance(),
                        statusBarAllowance_, display_.look().themePad});
    panelLeft_ = r.picture1.left;
    panelWidth_ = r.picture1.width;
    placePanel();
    place(c.Picture3, r.picture3);

    // The tabs narrow with the area; the bar lays them out again as it is
    // resized, so the width is given first.
    const double w = r.picture3.width;
    c.TabStrip1->setProperty(kTabWidthProperty, toPixels(tabWidth(w)));
    // The strip's rectangle reaches over the whole display area, but it draws
    // only its row of tabs; a bar that tall would make every change of a tab
    // repaint the picture and every control beneath it.
    TwipsRect tabRow = r.tabStrip1;
    tabRow.height = std::min(tabRow.height, kTabRowHeight);
    place(c.TabStrip1, tabRow);
    for (int t = 1; t <= kTabCount; ++t)
        place(c.Check4[t], skipBoxRect(t, w));
    place(c.Picture4, r.picture4);

    display_.zoom().UpdateScrollRanges();
    display_.zoom().placeScrollBars();
    if (display_.peers().placeMapPane)
        display_.peers().placeMapPane();
    placeTabRow();
}

void WindowLayout::placePanel() {
    DisplayControls& c = display_.controls();
    place(c.Picture1, {panelLeft_, panelHidden_ ? kPanelHiddenTop : 0, panelWidth_, kPanelHeight});
    TwipsRect strip = panelPlace("Command13");
    strip.width = command13Width(panelHidden_, panelWidth_);
    place(c.Command13, strip);
    // The measurement box, the product list and the two buttons beside them
    // use the room of a wider panel.
    const double stretch = panelStretch(panelWidth_);
    TwipsRect text1 = panelPlace("Text1");
    text1.left = text1_.left;
    text1.width = text1_.width + stretch;
    place(c.Text1, text1);
    TwipsRect combo = panelPlace("Combo1");
    combo.width += stretch;
    place(c.Combo1, combo);
    for (QWidget* button : {static_cast<QWidget*>(c.Command3), static_cast<QWidget*>(c.Command1)}) {
        TwipsRect r = panelPlace(button->objectName().toLatin1().constData());
        r.left += stretch;
        place(button, r);
    }
}

void WindowLayout::placeTabRow() {
    DisplayControls& c = display_.controls();
    const double w = toTwips(c.Picture3->width());
    const TabRowControls r = tabRowControls(w, display_.settings().HideStampBox != 0);
    auto button = [](double left) {
        return TwipsRect{left, kTabButtonTop, kTabButtonWidth, kTabButtonHeight};
    };
    showAt(c.Command60, button(r.command60.left), r.command60.shown);
    showAt(c.Command61, button(r.command61.left), r.command61.shown);
    showAt(c.Command30, button(r.command30.left), r.command30.shown);
    showAt(c.Command31, button(r.command31.left), r.command31.shown);
    showAt(c.Check1, {r.check1.left, kTabButtonTop, kCheck1Width, kTabButtonHeight},
           r.check1.shown);
    showAt(c.Text3, {r.text3.left, kText3Top, kText3Width, kText3Height}, r.text3.shown);
    showAt(c.Picture2, {r.picture2.left, kPicture2Top, kPicture2Width, kStampBoxHeight},
           r.picture2.shown);
}

void WindowLayout::placeStatusBar() {
    core::Form1& shell = display_.shell();
    // Qt's status bar lays out its panels itself: panel 1 is held to the
    // width the rule gives it, so the progress bar follows at about its place.
    if (QLabel* panel1 = shell.statusPanel(1))
        panel1->setMaximumWidth(std::max(0, toPixels(statusPanel1Width(innerWidth()))));
}

void WindowLayout::showStatusBar(bool shown) {
    display_.shell().StatusBar1()->setVisible(shown);
}

// ---- panel commands ----

void WindowLayout::Command13_MouseDown(Qt::MouseButton button) {
    if (button == Qt::LeftButton) {
        panelHidden_ = !panelHidden_;
        if (panelHidden_) {
            if (display_.shell().StatusBar1()->isVisible()) {
                showStatusBar(false);
                statusBarAllowance_ = kStatusBarAllowance;
            }
        } else if (display_.settings().HideStatusBar != 1) {
            showStatusBar(true);
            statusBarAllowance_ = 0;
        }
        LayoutControls();
        if (display_.controls().Check5->isChecked())
            display_.zoom().FitWindowToImage();
        return;
    }
    panelLeft_ = nextPanStop(panelLeft_, innerWidth());
    panelWidth_ = pannedPanelWidth(panelLeft_, innerWidth());
    placePanel();
}

void WindowLayout::Command3_Click() {
    if (display_.peers().refreshOfflineCheck)
        display_.peers().refreshOfflineCheck();
    QWidget* button = display_.controls().Command3;
    display_.shell().mnuPop1()->popup(button->mapToGlobal(QPoint(0, button->height())));
}

void WindowLayout::Command1_Click() {
    if (display_.peers().toggleMapPane)
        display_.peers().toggleMapPane();
}

void WindowLayout::mnuStatusBar_Click() {
    core::Settings& settings = display_.settings();
    // Decided by the setting, not by the item, which Qt has toggled already.
    const bool wasShown = settings.HideStatusBar == 0;
    settings.HideStatusBar = wasShown ? 1 : 0;
    showStatusBar(!wasShown);
    statusBarAllowance_ = wasShown ? kStatusBarAllowance : 0;
    if (QAction* item = display_.shell().menuItem(QStringLiteral("mnuStatusBar")))
        item->setChecked(!wasShown);
    LayoutControls();
}

bool WindowLayout::Form_KeyDown(int, Qt::KeyboardModifiers modifiers) {
    DisplayControls& c = display_.controls();
    switch (core::shiftState(modifiers)) {
    case 4:
        c.Command3->setFocus(Qt::ShortcutFocusReason);
        c.Command3->click();
        return true;
    case 3:
        Command13_MouseDown(Qt::LeftButton);
        return true;
    case 6:
        Command13_MouseDown(Qt::RightButton);
        return true;
    default:
        return false;
    }
}

void WindowLayout::SystemColorsChanged() {
    DisplayLook& look = display_.look();
    // A themed system paints its panels in the window colour.
    look.panelBackColor = look.themePad > 0 ? QPalette::Base : QPalette::Button;
    DisplayControls& c = display_.controls();
    for (QWidget* panel : {static_cast<QWidget*>(c.Picture1), static_cast<QWidget*>(c.Picture3)}) {
        panel->setBackgroundRole(look.panelBackColor);
        panel->setAutoFillBackground(true);
    }
}

// ---- the display text boxes ----

QWidget* WindowLayout::textBox(int number) const {
    const DisplayControls& c = display_.controls();
    switch (number) {
    case 1:
        return c.Text1;
    case 2:
        return c.Text2;
    case 3:
        return c.Text3;
    case 4:
        return c.Text4;
    case 11:
        return c.Text11;
    case 12:
        return c.Text12;
    default:
        return nullptr;
    }
}

void WindowLayout::textBoxMouseDown(int number, Qt::MouseButton button) {
    if (button != Qt::RightButton)
        return;
    if (number == 3)
        display_.stamps().Text3_MouseDown(button);
    if (number == 1) {
        text1_ = toggleText1(text1_);
        placePanel();
    }
    guardTextBox(number);
}

void WindowLayout::guardTextBox(int number) {
    if (QWidget* box = textBox(number)) {
        box->setEnabled(false);
        display_.shell().armDeferredAction(number, core::kTextBoxGuardMs);
    }
}

// ---- events of the window ----

bool WindowLayout::eventFilter(QObject* watched, QEvent* event) {
    core::Form1& shell = display_.shell();
    if (watched == &shell && event->type() == QEvent::Resize) {
        Form_Resize();
    } else if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* key = static_cast<QKeyEvent*>(event);
        // A held key repeats; the panel would flicker with every repeat.
        if (static_cast<QWidget*>(watched)->window() == &shell && !key->isAutoRepeat() &&
            Form_KeyDown(key->key(), key->modifiers()))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace nubivista::display
