// The Options window's controls: the tab strip over two frames of the same
// place, each frame's controls in rows, and OnTop and Restore Defaults under
// them; and the signals that reach the handlers.
#include "core/press_button.h"
#include "options/form4.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

namespace nubivista::options {

namespace {

constexpr int kMarginPx = 8;
// Without visual themes the frames are drawn 30 by 45 twips larger.
constexpr int kGrowWidthPx = 2;
constexpr int kGrowHeightPx = 3;
constexpr int kTextBoxWidthPx = 56;
constexpr int kStepButtonWidthPx = 24;
const QString kScaleLabelHead = QStringLiteral("Adjust Map Scale - Pixels /per ");

QLabel* label(const char* name, const QString& caption, QWidget* parent) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QCheckBox* checkBox(const char* name, const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QLineEdit* shownValue(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    // It only shows its value: the buttons beside it change the setting.
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
    box->setFixedWidth(kTextBoxWidthPx);
    return box;
}

core::PressButton* stepButton(const char* name, const QString& caption, QWidget* parent) {
    auto* b = new core::PressButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    b->setFixedWidth(kStepButtonWidthPx);
    return b;
}

// A row of a value with its down and up buttons, pushed to the left.
QHBoxLayout* stepRow(core::PressButton* down, QLineEdit* value, core::PressButton* up) {
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    row->addWidget(down);
    row->addWidget(value);
    row->addWidget(up);
    row->addStretch(1);
    return row;
}

QFrame* frame(const char* name, QWidget* parent) {
    auto* f = new QFrame(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setFrameShape(QFrame::StyledPanel);
    return f;
}

} // namespace

void Form4::buildControls() {
    TabStrip1 = new QTabBar(this);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1->addTab(QStringLiteral("General"));
    TabStrip1->addTab(QStringLiteral("Dist/Dir/Speed/ETA"));
    TabStrip1->setDrawBase(false);
    TabStrip1->setExpanding(false);

    buildGeneralTab();
    buildDistanceTab();

    Check4 = checkBox("Check4", QStringLiteral("OnTop"), this);
    Command5 = new QPushButton(QStringLiteral("Restore Defaults"), this);
    Command5->setObjectName(QStringLiteral("Command5"));
    Command5->setAutoDefault(false);
    placeFrames(false);
}

void Form4::buildGeneralTab() {
    Frame1 = frame("Frame1", this);
    auto* rows = new QVBoxLayout(Frame1);
    rows->addWidget(label("Label1", QStringLiteral("National Radar Map URL"), Frame1));
    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    rows->addWidget(Text1);
    Check1 = checkBox("Check1", QStringLiteral("Disable ToolTips"), Frame1);
    rows->addWidget(Check1);
    rows->addSpacing(4);

    auto* delays = new QGridLayout;
    delays->setHorizontalSpacing(8);
    Command70 = stepButton("Command70", QStringLiteral("<"), Frame1);
    Text15 = shownValue("Text15", Frame1);
    Command71 = stepButton("Command71", QStringLiteral(">"), Frame1);
    Command80 = stepButton("Command80", QStringLiteral("<"), Frame1);
    Text16 = shownValue("Text16", Frame1);
    Command81 = stepButton("Command81", QStringLiteral(">"), Frame1);
    delays->addLayout(stepRow(Command70, Text15, Command71), 0, 0);
    delays->addWidget(
        label("Label15", QStringLiteral("First Image Additional Loop Delay (millisec.)"), Frame1),
        0, 1);
    delays->addLayout(stepRow(Command80, Text16, Command81), 1, 0);
    delays->addWidget(
        label("Label16", QStringLiteral("Last Image Additional Loop Delay  (millisec.)"), Frame1),
        1, 1);
    delays->setColumnStretch(1, 1);
    rows->addLayout(delays);
    rows->addSpacing(4);

    Command1 = new QPushButton(QStringLiteral("Re-Enable All Delete && Warn. Messages"), Frame1);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    auto* command1Row = new QHBoxLayout;
    command1Row->addWidget(Command1);
    command1Row->addStretch(1);
    rows->addLayout(command1Row);
    Check2 = checkBox(
        "Check2",
        QStringLiteral("Navs Go To Page URL (Default Is Image URL) (applies next app open)"),
        Frame1);
    rows->addWidget(Check2);
    Check10 = checkBox(
        "Check10",
        QStringLiteral("Don't Compare File Dates To Select \"Back Date\" Loop Files (load all)"),
        Frame1);
    rows->addWidget(Check10);
    rows->addStretch(1);
}

void Form4::buildDistanceTab() {
    Frame2 = frame("Frame2", this);
    auto* rows = new QVBoxLayout(Frame2);

    auto* units = new QHBoxLayout;
    units->addWidget(label("Label2", QStringLiteral("Use..."), Frame2));
    const QString unitCaptions[] = {QStringLiteral("Miles"), QStringLiteral("Kilometers"),
                                    QStringLiteral("Nautical Miles")};
    for (std::size_t i = 0; i < Option1.size(); ++i) {
        Option1[i] = new QRadioButton(unitCaptions[i], Frame2);
        Option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        units->addWidget(Option1[i]);
    }
    units->addWidget(label("Label3", QStringLiteral("...In Calculations"), Frame2));
    units->addStretch(1);
    rows->addLayout(units);
    rows->addSpacing(4);

    Label6 = label("Label6", QString(), Frame2);
    // The unit word sits in the gap the label's text leaves for it.
    Label7 = label("Label7", QString(), Label6);
    rows->addWidget(Label6);
    Command20 = stepButton("Command20", QStringLiteral("<"), Frame2);
    Text2 = shownValue("Text2", Frame2);
    Command21 = stepButton("Command21", QStringLiteral(">"), Frame2);
    rows->addLayout(stepRow(Command20, Text2, Command21));
    Label8 =
        label("Label8",
              QStringLiteral("Mouse ..Left = 1, ..Right = .1, Left+Ctrl = .01, Right+Ctrl =.001"),
              Frame2);
    rows->addWidget(Label8);
    rows->addSpacing(4);

    rows->addWidget(label(
        "Label4", QStringLiteral("Adjust Image File Modified Time-Stamp (+ or - min. added to )"),
        Frame2));
    Command10 = stepButton("Command10", QStringLiteral("<"), Frame2);
    Text6 = shownValue("Text6", Frame2);
    Command11 = stepButton("Command11", QStringLiteral(">"), Frame2);
    rows->addLayout(stepRow(Command10, Text6, Command11));
    rows->addSpacing(4);

    Check5 = checkBox(
        "Check5", QStringLiteral("Consider Direction (0-359 deg.) In ETA Calculations"), Frame2);
    Check6 = checkBox(
        "Check6", QStringLiteral("Don't Show (Black) Time-Stamp Image Box On Main Window"), Frame2);
    Check7 = checkBox(
        "Check7",
        QStringLiteral("Use Two-Click ETA Selection (allows a different start point for each ETA)"),
        Frame2);
    for (QCheckBox* box : {Check5, Check6, Check7})
        rows->addWidget(box);

    auto* lists = new QHBoxLayout;
    lists->addWidget(label("Label5", QStringLiteral("Use Pop-Up Window To Display:"), Frame2));
    Check8 = checkBox("Check8", QStringLiteral("ETA  List"), Frame2);
    Check9 = checkBox("Check9", QStringLiteral("Distance/Direction  List"), Frame2);
    lists->addWidget(Check8);
    lists->addWidget(Check9);
    lists->addStretch(1);
    rows->addLayout(lists);
    rows->addStretch(1);
}

void Form4::placeLabel7() {
    const QFontMetrics metrics(Label6->font());
    Label7->adjustSize();
    Label7->move(metrics.horizontalAdvance(kScaleLabelHead), 0);
    Label6->setMinimumHeight(Label7->height());
}

void Form4::placeFrames(bool grow) {
    QSize frameSize = Frame1->sizeHint().expandedTo(Frame2->sizeHint());
    if (grow)
        frameSize += QSize(kGrowWidthPx, kGrowHeightPx);
    const int tabHeight = TabStrip1->sizeHint().height();
    TabStrip1->setGeometry(kMarginPx, kMarginPx, frameSize.width(), tabHeight);
    for (QFrame* f : {Frame1, Frame2})
        f->setGeometry(kMarginPx, kMarginPx + tabHeight, frameSize.width(), frameSize.height());

    const int rowTop = kMarginPx + tabHeight + frameSize.height() + kMarginPx;
    const QSize check4 = Check4->sizeHint();
    const QSize command5 = Command5->sizeHint();
    const int rowHeight = std::max(check4.height(), command5.height());
    Check4->setGeometry(kMarginPx, rowTop + (rowHeight - check4.height()) / 2, check4.width(),
                        check4.height());
    Command5->setGeometry(kMarginPx + frameSize.width() - command5.width(), rowTop,
                          command5.width(), rowHeight);
    setFixedSize(frameSize.width() + 2 * kMarginPx, rowTop + rowHeight + kMarginPx);
}

void Form4::connectHandlers() {
    connect(TabStrip1, &QTabBar::currentChanged, this, [this] { TabStrip1_Click(); });
    connect(Text1, &QLineEdit::textEdited, this, [this] { Text1_Change(); });
    const std::pair<QCheckBox*, void (Form4::*)()> checks[] = {
        {Check1, &Form4::Check1_Click},  {Check2, &Form4::Check2_Click},
        {Check4, &Form4::Check4_Click},  {Check5, &Form4::Check5_Click},
        {Check6, &Form4::Check6_Click},  {Check7, &Form4::Check7_Click},
        {Check8, &Form4::Check8_Click},  {Check9, &Form4::Check9_Click},
        {Check10, &Form4::Check10_Click}};
    for (const auto& [box, handler] : checks)
        connect(box, &QCheckBox::clicked, this, [this, handler] { (this->*handler)(); });
    for (std::size_t i = 0; i < Option1.size(); ++i)
        connect(Option1[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option1_Click(static_cast<int>(i));
        });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });

    using Down = void (Form4::*)(Qt::MouseButton, Qt::KeyboardModifiers);
    const std::pair<core::PressButton*, Down> pairs[] = {
        {Command20, &Form4::Command20_MouseDown}, {Command21, &Form4::Command21_MouseDown},
        {Command70, &Form4::Command70_MouseDown}, {Command71, &Form4::Command71_MouseDown},
        {Command80, &Form4::Command80_MouseDown}, {Command81, &Form4::Command81_MouseDown}};
    for (const auto& [button, handler] : pairs)
        connect(button, &core::PressButton::mouseDown, this,
                [this, handler](Qt::MouseButton b, Qt::KeyboardModifiers m) {
                    (this->*handler)(b, m);
                });
    connect(Command10, &core::PressButton::mouseDown, this,
            [this](Qt::MouseButton b) { Command10_MouseDown(b); });
    connect(Command11, &core::PressButton::mouseDown, this,
            [this](Qt::MouseButton b) { Command11_MouseDown(b); });

    // A release ends its pair's repeat.
    const std::pair<std::array<core::PressButton*, 2>, bool*> releases[] = {
        {{Command20, Command21}, &scaleHeld_},
        {{Command70, Command71}, &firstDelayHeld_},
        {{Command80, Command81}, &lastDelayHeld_},
        {{Command10, Command11}, &minutesHeld_}};
    for (const auto& [buttons, held] : releases)
        for (core::PressButton* button : buttons)
            connect(button, &core::PressButton::mouseUp, this, [flag = held] { *flag = false; });
}

} // namespace nubivista::options
