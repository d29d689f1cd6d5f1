#include "options/form4.h"

#include "core/app_identity.h"
#include "core/hold_repeat.h"
#include "core/message_service.h"
#include "core/on_screen.h"
#include "core/press_button.h"
#include "core/settings.h"
#include "core/stays_on_top.h"
#include "options/hold_steps.h"
#include "options/map_scale.h"
#include "options/tab_defaults.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTimer>

namespace nubivista::options {

namespace {

QString reEnableQuestion() {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("Click  -Yes-  If You Want To Re-Enable All") + crlf +
           QStringLiteral("Delete, Warning, And Other Messages Which") + crlf +
           QStringLiteral("You Have Previously Disabled By Checking The") + crlf +
           QStringLiteral("-Stop Showing Just This Message-  Check Box") + crlf +
           QStringLiteral("On Specific Message Windows.") + crlf +
           QStringLiteral("Later You Can Disable Any Message Window") + crlf +
           QStringLiteral("Which Appears, If It Has A Check Box.");
}

std::int16_t checked(const QCheckBox* box) {
    return box->isChecked() ? 1 : 0;
}

} // namespace

Form4::Form4(core::Settings& settings, core::MessageService& messages, const core::Clock& clock,
             OptionsPeers peers, QWidget* parent)
    : QWidget(parent, Qt::Window),
      settings_(settings),
      messages_(messages),
      clock_(clock),
      peers_(std::move(peers)) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Options Settings"));
    buildControls();
    connectHandlers();
}

Form4::~Form4() = default;

void Form4::showOptions() {
    if (!optionsOpen_)
        Form_Load();
    show();
    core::keepInsideWorkArea(*this);
    raise();
    activateWindow();
}

// ---- load, activation, unload ----

void Form4::Form_Load() {
    state_ = {};
    programEnding_ = false;
    optionsOpen_ = true;
    setWindowTitle(QStringLiteral("Start Page & Options - ") + core::kProgramTitle);
    const OptionsAtLoad load = optionsAtLoad(settings_);
    state_ = load.state;

    Label7->setText(unitWord(load.unit));
    Label6->setText(scaleLabelAtLoad(load.unit));
    Option1[static_cast<std::size_t>(load.unit)]->setChecked(true);
    placeLabel7();
    showGeneralSettings();
    showDistanceSettings();
    setCheck(Check4, settings_.OptionsOnTop);

    TabStrip1->setCurrentIndex(kGeneralTab);
    TabStrip1_Click();
    const QPalette::ColorRole panel =
        peers_.panelBackColor ? peers_.panelBackColor() : QPalette::Button;
    placeFrames(panel == QPalette::Button);
    state_.LoadDone = 1;
}

void Form4::showGeneralSettings() {
    Text1->setText(settings_.NationalMapUrl);
    Text15->setText(QString::number(settings_.FirstExtraMs));
    Text16->setText(QString::number(settings_.LastExtraMs));
    setCheck(Check1, state_.PendingNoToolTips);
    setCheck(Check2, settings_.NavsGoToPageUrlNext);
    setCheck(Check10, settings_.LoadAllBackDateFiles);
}

void Form4::showDistanceSettings() {
    showScale();
    setCheck(Check5, settings_.EtaUseDirection);
    setCheck(Check6, state_.PendingHideStampBox);
    Text6->setText(QString::number(settings_.StampAdjustMinutes));
    setCheck(Check7, settings_.TwoClickEta);
    setCheck(Check8, (settings_.PopupLists & 1) != 0);
    setCheck(Check9, (settings_.PopupLists & 2) != 0);
}

void Form4::setCheck(QCheckBox* box, std::int16_t value) {
    box->setChecked(value != 0);
}

void Form4::showScale() {
    Text2->setText(scaleText(state_.ScaleDisplay));
}

void Form4::Form_Activate() {
    if (!optionsOpen_)
        return;
    if (state_.ActivatedOnce == 0) {
        state_.ActivatedOnce = 1;
        SissyColors2();
    }
    applyOnTop();
}

void Form4::applyOnTop() {
    core::setStaysOnTop(*this, settings_.OptionsOnTop == 1);
}

bool Form4::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    // Without a window manager the window may never be activated: its first
    // showing counts then.
    if (event->type() == QEvent::Show && optionsOpen_ && state_.ActivatedOnce == 0)
        QTimer::singleShot(0, this, [this] { Form_Activate(); });
    return QWidget::event(event);
}

void Form4::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Form4::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void Form4::Form_Unload() {
    if (!optionsOpen_)
        return;
    if (!programEnding_)
        ApplyOptionsOnClose();
    scaleHeld_ = firstDelayHeld_ = lastDelayHeld_ = minutesHeld_ = false;
    optionsOpen_ = false;
}

void Form4::ApplyOptionsOnClose() {
    const CloseChanges changes = changesAtClose(state_, Text1->text(), settings_);
    if (changes.nationalMapUrl)
        settings_.NationalMapUrl = *changes.nationalMapUrl;
    if (changes.noToolTips) {
        settings_.NoToolTips = *changes.noToolTips;
        if (peers_.setToolTips)
            peers_.setToolTips();
    }
    if (changes.hideStampBox) {
        const bool hide = *changes.hideStampBox == 1;
        if (peers_.showStampPanel)
            peers_.showStampPanel(!hide);
        if (!hide && peers_.redoStampBoxes)
            peers_.redoStampBoxes();
        settings_.HideStampBox = *changes.hideStampBox;
    }
}

// ---- colours ----

void Form4::SissyColors2() {
    const QPalette::ColorRole backRole =
        peers_.panelBackColor ? peers_.panelBackColor() : QPalette::Button;
    const QPalette system = QApplication::palette();
    const QColor back = system.color(backRole);
    const QColor fore =
        system.color(backRole == QPalette::Base ? QPalette::Text : QPalette::ButtonText);
    auto paint = [&](QWidget* control, bool withFore) {
        QPalette palette = control->palette();
        palette.setColor(QPalette::Window, back);
        if (withFore)
            palette.setColor(QPalette::WindowText, fore);
        control->setPalette(palette);
        control->setAutoFillBackground(true);
    };
    for (QFrame* frame : {Frame1, Frame2})
        paint(frame, false);
    for (QLabel* label : findChildren<QLabel*>())
        paint(label, true);
    for (QCheckBox* box : findChildren<QCheckBox*>())
        if (box != Check4)
            paint(box, true);
    for (QRadioButton* option : Option1)
        paint(option, true);
}

// ---- tabs and simple settings ----

void Form4::TabStrip1_Click() {
    const bool general = TabStrip1->currentIndex() != kDistanceTab;
    Frame1->setVisible(general);
    Frame2->setVisible(!general);
}

void Form4::Text1_Change() {
    state_.OptionsChanged = 1;
}

void Form4::Check1_Click() {
    state_.PendingNoToolTips = checked(Check1);
    state_.OptionsChanged = 1;
}

void Form4::Check2_Click() {
    settings_.NavsGoToPageUrlNext = checked(Check2);
}

void Form4::Check4_Click() {
    settings_.OptionsOnTop = checked(Check4);
    applyOnTop();
}

void Form4::Check5_Click() {
    settings_.EtaUseDirection = checked(Check5);
}

void Form4::Check6_Click() {
    state_.PendingHideStampBox = checked(Check6);
    if (peers_.showStampPanel)
        peers_.showStampPanel(!Check6->isChecked());
    state_.OptionsChanged = 1;
}

void Form4::Check7_Click() {
    settings_.TwoClickEta = checked(Check7);
}

void Form4::Check8_Click() {
    Check9_Click();
}

void Form4::Check9_Click() {
    if (state_.LoadDone != 1)
        return;
    settings_.PopupLists = static_cast<std::int16_t>(checked(Check8) + 2 * checked(Check9));
    if (settings_.PopupLists >= 1 && settings_.PopupLists <= 3 && peers_.showListTexts)
        peers_.showListTexts();
}

void Form4::Check10_Click() {
    settings_.LoadAllBackDateFiles = checked(Check10);
}

void Form4::Option1_Click(int index) {
    if (state_.ActivatedOnce != 1 || index < kMiles || index > kNauticalMiles)
        return;
    const float oldFactor = settings_.UnitFactor;
    settings_.UnitFactor = unitFactorOf(index);
    Label7->setText(unitWord(index));
    Label6->setText(scaleLabelAfterClick(index));
    placeLabel7();
    state_.ScaleDisplay = convertScaleDisplay(state_.ScaleDisplay, oldFactor, settings_.UnitFactor);
    showScale();
}

// ---- messages and defaults ----

void Form4::Command1_Click() {
    if (messages_.ShowMsgWind(3, reEnableQuestion(), 0) == core::MsgYes)
        settings_.MsgOffMap.fill(QLatin1Char('0'), core::kMsgOffMapLength);
}

void Form4::Command5_Click() {
    const int tab = TabStrip1->currentIndex() == kDistanceTab ? kDistanceTab : kGeneralTab;
    const bool stampBoxWasOff = Check6->isChecked();
    restoreTabDefaults(tab, settings_, state_);
    if (tab == kGeneralTab) {
        showGeneralSettings();
    } else {
        // Selecting miles runs its click when the selection changes.
        Option1[kMiles]->setChecked(true);
        showDistanceSettings();
        if (stampBoxWasOff && peers_.showStampPanel)
            peers_.showStampPanel(true);
    }
    if (!messages_.isSuppressed(kDefaultsRestoredMsgId))
        messages_.ShowMsgWind(2, defaultsRestoredText(), kDefaultsRestoredMsgId);
    state_.OptionsChanged = 1;
}

// ---- press-and-hold pairs ----

void Form4::holdPair(bool& held, const std::function<void()>& step) {
    held = true;
    core::HoldRepeat(
        this, clock_, [&held] { return held; }, step);
}

void Form4::scaleStepOnce(float step, bool up) {
    const ScaleAfterStep after = stepScale(state_.ScaleDisplay, settings_.UnitFactor, step, up);
    state_.ScaleDisplay = after.display;
    storeMapScale(settings_, after.mapScale, state_.ShortScaleActive == 1);
    showScale();
}

void Form4::Command20_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    const float step = scaleStep(button, modifiers.testFlag(Qt::ControlModifier));
    holdPair(scaleHeld_, [this, step] { scaleStepOnce(step, false); });
}

void Form4::Command21_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    const float step = scaleStep(button, modifiers.testFlag(Qt::ControlModifier));
    holdPair(scaleHeld_, [this, step] { scaleStepOnce(step, true); });
}

namespace {

void stepDelay(std::int32_t& ms, QLineEdit* shown, std::int32_t step, bool up) {
    ms = steppedDelay(ms, step, up);
    shown->setText(QString::number(ms));
}

} // namespace

void Form4::Command70_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    if (button != Qt::LeftButton)
        return;
    const std::int32_t step = delayStep(modifiers.testFlag(Qt::ControlModifier));
    holdPair(firstDelayHeld_,
             [this, step] { stepDelay(settings_.FirstExtraMs, Text15, step, false); });
}

void Form4::Command71_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    if (button != Qt::LeftButton)
        return;
    const std::int32_t step = delayStep(modifiers.testFlag(Qt::ControlModifier));
    holdPair(firstDelayHeld_,
             [this, step] { stepDelay(settings_.FirstExtraMs, Text15, step, true); });
}

void Form4::Command80_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    if (button != Qt::LeftButton)
        return;
    const std::int32_t step = delayStep(modifiers.testFlag(Qt::ControlModifier));
    holdPair(lastDelayHeld_,
             [this, step] { stepDelay(settings_.LastExtraMs, Text16, step, false); });
}

void Form4::Command81_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    if (button != Qt::LeftButton)
        return;
    const std::int32_t step = delayStep(modifiers.testFlag(Qt::ControlModifier));
    holdPair(lastDelayHeld_,
             [this, step] { stepDelay(settings_.LastExtraMs, Text16, step, true); });
}

void Form4::Command10_MouseDown(Qt::MouseButton button) {
    if (button != Qt::LeftButton)
        return;
    holdPair(minutesHeld_, [this] {
        settings_.StampAdjustMinutes = steppedStampMinutes(settings_.StampAdjustMinutes, false);
        Text6->setText(QString::number(settings_.StampAdjustMinutes));
    });
}

void Form4::Command11_MouseDown(Qt::MouseButton button) {
    if (button != Qt::LeftButton)
        return;
    holdPair(minutesHeld_, [this] {
        settings_.StampAdjustMinutes = steppedStampMinutes(settings_.StampAdjustMinutes, true);
        Text6->setText(QString::number(settings_.StampAdjustMinutes));
    });
}

} // namespace nubivista::options
