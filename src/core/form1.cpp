#include "core/form1.h"

#include "core/app_identity.h"
#include "core/message_service.h"
#include "core/on_screen.h"
#include "core/wait_ticks.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QUrl>
#include <algorithm>

namespace nubivista::core {

namespace {

WindowPlacement workAreaTwips(const QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return {0, 0, 12405 + 1800, 9000};
    return placementFromPixels(screen->availableGeometry());
}

WindowShowState showStateOf(const QWidget& window) {
    if (window.isMinimized())
        return WindowShowState::Minimized;
    if (window.isMaximized() || window.isFullScreen())
        return WindowShowState::Maximized;
    return WindowShowState::Normal;
}

// The menu as the user sees it: control name and caption, in order. An empty
// name is a separator; a caption ending in ">>" opens a sub-menu that holds
// the entries up to the next "<<".
struct MenuEntry {
    const char* name;
    const char* caption;
    bool checkable = false;
};

const MenuEntry kMenu[] = {
    {"mnuReOpenCurrSet", "&Reload Last Current Image Set"},
    {"mnuOpenSet", "&Load A Saved Image Set"},
    {"mnuSaveSet", "&Save Current Image Set As"},
    {"mnuDeleteSet", "&Delete A Saved Image Set"},
    {"mnuExportGif", "&Export Loop As Animated GIF..."},
    {"", ""},
    {"mnuRefresh", "&Refresh Manually (next image)"},
    {"mnuReplace", "&Replace (refresh) Last Image"},
    {"mnuReset", "&Reset Selected Tab As Last Image"},
    {"mnuDelete", "&Delete Checked Images (and pack)"},
    {"", ""},
    {"mnuPlaces", "&Places..."},
    {"mnuStormTracks", "Storm &Tracks", true},
    {"mnuWarnings", "&Warnings", true},
    {"mnuStatusBar", "Status&Bar", true},
    {"mnuOptions", "&Options >>"},
    {"mnuOptionsSett", "&Options Settings (This App)"},
    {"mnuIEnetOptions", "&Internet Options (All Apps)"},
    {"<<", ""},
    {"mnuHelpMenu", "&Help >>"},
    {"mnuHelp", "&Help Page (Local)"},
    {"mnuAbout", "&About Window"},
    {"mnuHelpUpdates", "&Updates Info Page"},
    {"mnuBugsSuggest", "&Suggestions && Bugs"},
    {"<<", ""},
    {"", ""},
    {"mnuInetConnect", "&Internet Connection"},
    {"mnuOffline", "&Work Offline", true},
};

// Windows unloaded at close, in this order.
const char* const kUnloadOrder[] = {"Form3", "Form4", "Form5", "Form6", "Form9", "frmMsgWind"};

} // namespace

Form1::Form1(Settings& settings, const AppPaths& paths, MessageService& messages,
             const Clock& clock, QWidget* parent)
    : QMainWindow(parent), settings_(settings), paths_(paths), messages_(messages), clock_(clock) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kProgramTitle);
    clientArea_ = new QWidget(this);
    clientArea_->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(clientArea_);

    timer6_.setObjectName(QStringLiteral("Timer6"));
    timer6_.setSingleShot(true);
    connect(&timer6_, &QTimer::timeout, this, &Form1::Timer6_Timer);

    buildMenu();
    buildStatusBar();
    attachMenuItem(QStringLiteral("mnuHelp"), [this] { mnuHelp_Click(); });
    attachMenuItem(QStringLiteral("mnuHelpUpdates"), [this] { mnuHelpUpdates_Click(); });
}

Form1::~Form1() = default;

void Form1::buildMenu() {
    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("mnuPop1"));
    QMenu* target = menu_;
    for (const MenuEntry& entry : kMenu) {
        const QString name = QString::fromLatin1(entry.name);
        const QString caption = QString::fromLatin1(entry.caption);
        if (name.isEmpty()) {
            target->addSeparator();
        } else if (name == QLatin1String("<<")) {
            target = menu_;
        } else if (caption.endsWith(QLatin1String(">>"))) {
            target = menu_->addMenu(caption);
            target->setObjectName(name);
        } else {
            QAction* item = target->addAction(caption);
            item->setObjectName(name);
            item->setCheckable(entry.checkable);
            item->setEnabled(false);
            menuItems_[name] = item;
        }
    }
}

void Form1::buildStatusBar() {
    statusBar1_ = new QStatusBar(this);
    statusBar1_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar1_->setSizeGripEnabled(true);
    setStatusBar(statusBar1_);
    for (int i = 0; i < kStatusBarPanels; ++i) {
        auto* panel = new QLabel(statusBar1_);
        panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i + 1));
        panel->setContentsMargins(4, 0, 4, 0);
        statusPanels_[i] = panel;
    }
    // Panel 1 takes what is left; the progress bar sits after it.
    statusBar1_->addWidget(statusPanels_[0], 1);
    progressBar1_ = new QProgressBar(statusBar1_);
    progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar1_->setTextVisible(false);
    progressBar1_->setMaximumWidth(150);
    progressBar1_->setMaximumHeight(12);
    progressBar1_->hide();
    statusBar1_->addWidget(progressBar1_);
    statusBar1_->addPermanentWidget(statusPanels_[1]);
    statusBar1_->addPermanentWidget(statusPanels_[2]);
    statusBar1_->addPermanentWidget(statusPanels_[3]);
    statusPanels_[1]->setMinimumWidth(20);
    // The clock's text changes every second: at a fixed size its panel takes
    // each new text without the status bar laying itself out again.
    const int clockWidth = std::max(
        90,
        statusPanels_[3]->fontMetrics().horizontalAdvance(QStringLiteral(" 00:00:00 UTC ")) + 8);
    statusPanels_[3]->setFixedSize(clockWidth, statusPanels_[3]->sizeHint().height());
    registerToolTip(statusPanels_[1],
                    QStringLiteral("Browser No. Progress Bar Applies To (1 is Invisible)"));
    registerToolTip(statusPanels_[3],
                    QStringLiteral("Time (Dbl-Clk On/Off) (Right-Clk Local/UTC)"));
}

QLabel* Form1::statusPanel(int panel) const {
    return panel >= 1 && panel <= kStatusBarPanels ? statusPanels_[panel - 1] : nullptr;
}

// ---- lifecycle ----

void Form1::Form_Load() {
    for (const auto& step : loadSteps_)
        step();
    placementAtLoad_ = placementAtStart(mainWindowPlacement(settings_), workAreaTwips(*this));
    // The settings keep what was read; the default placement only places the
    // window, and is stored at close like any other normal placement.
    setGeometry(placementToPixels(placementAtLoad_));
    keepInsideWorkArea(*this);
}

void Form1::Form_Activate() {
    if (activated_)
        return;
    activated_ = true;
    F1ToolT();
    for (const auto& step : activationSteps_)
        step();
    armDeferredAction(deferred::ShowNationalMap, kNationalMapDelayMs);
}

void Form1::setCaptionMark(const QString& mark) {
    captionMark_ = mark;
    setWindowTitle(captionWithMarkLast(windowTitle(), mark));
}

QString captionWithMarkLast(const QString& caption, const QString& mark) {
    if (mark.isEmpty() || caption.endsWith(mark))
        return caption;
    QString bare = caption;
    bare.remove(mark);
    return bare + mark;
}

bool Form1::event(QEvent* event) {
    if (event->type() == QEvent::WindowTitleChange && !captionMark_.isEmpty() && !markingCaption_) {
        // Another mark (working offline) was added after ours: ours goes last again.
        const QString marked = captionWithMarkLast(windowTitle(), captionMark_);
        if (marked != windowTitle()) {
            markingCaption_ = true;
            setWindowTitle(marked);
            markingCaption_ = false;
        }
    }
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    // A desktop without a window manager (or one that keeps the focus
    // elsewhere) never activates the window: its first showing counts then.
    if (event->type() == QEvent::Show && !activated_)
        QTimer::singleShot(0, this, [this] { Form_Activate(); });
    return QMainWindow::event(event);
}

void Form1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange ||
        event->type() == QEvent::ThemeChange)
        emit systemColorsChanged();
    QMainWindow::changeEvent(event);
}

void Form1::addWindowToUnload(const QString& name, QPointer<QWidget> window) {
    windowsToUnload_.emplace_back(name, std::move(window));
}

QStringList Form1::unloadOrder() const {
    QStringList order;
    for (const char* name : kUnloadOrder)
        for (const auto& [entryName, window] : windowsToUnload_)
            if (entryName == QLatin1String(name))
                order << entryName;
    for (const auto& [entryName, window] : windowsToUnload_)
        if (!order.contains(entryName))
            order << entryName;
    return order;
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
}

void Form1::CloseNavigation() {
    for (const auto& step : closeNavigationSteps_)
        step();
}

void Form1::Form_QueryUnload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    timer6_.stop();
    CloseNavigation();

    const WindowPlacement current = placementFromPixels(geometry());
    storeMainWindowPlacement(
        settings_, placementAtClose(mainWindowPlacement(settings_), current, showStateOf(*this)));
    const WriteOutcome written = saveSettingsFile(paths_.iniPath, settings_);
    if (!written.ok) {
        const QString crlf = QStringLiteral("\r\n");
        messages_.ShowMsgWind(1,
                              crlf + crlf + QStringLiteral("The Settings Could Not Be Saved In:") +
                                  crlf + paths_.iniPath + crlf + written.error + crlf +
                                  QStringLiteral("The Settings Of The Previous Run Are Kept."),
                              0);
    }

    for (const QString& name : unloadOrder())
        for (auto& [entryName, window] : windowsToUnload_)
            if (entryName == name && window) {
                window->close();
                window->hide();
            }
}

// ---- Timer6 ----

void Form1::registerDeferredAction(int code, std::function<void()> action) {
    deferredActions_[code] = std::move(action);
}

void Form1::armDeferredAction(int code, int intervalMs) {
    deferredAction_ = code;
    timer6_.setInterval(intervalMs);
    timer6_.start();
}

void Form1::Timer6_Timer() {
    timer6_.stop();
    const int action = deferredAction_;
    // Cleared first: an action that waits lets other handlers arm a new one.
    deferredAction_ = 0;
    const auto found = deferredActions_.find(action);
    if (found != deferredActions_.end() && found->second)
        found->second();
}

// ---- tooltips ----

void Form1::registerToolTip(QWidget* control, std::function<QString()> text) {
    toolTips_.push_back({control, std::move(text)});
}

void Form1::registerToolTip(QWidget* control, const QString& text) {
    registerToolTip(control, [text] { return text; });
}

void Form1::F1ToolT() {
    const bool show = settings_.NoToolTips == 0;
    for (const ToolTipEntry& entry : toolTips_)
        if (entry.control)
            entry.control->setToolTip(show && entry.text ? entry.text() : QString());
}

// ---- popup menu ----

QAction* Form1::menuItem(const QString& name) const {
    const auto found = menuItems_.find(name);
    return found == menuItems_.end() ? nullptr : found->second;
}

void Form1::attachMenuItem(const QString& name, std::function<void()> handler) {
    QAction* item = menuItem(name);
    if (!item)
        return;
    item->setEnabled(true);
    connect(item, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
}

// ---- help and updates pages ----

void Form1::mnuHelp_Click() {
    if (openInNewWindow_)
        openInNewWindow_(QUrl::fromLocalFile(paths_.helpPagePath).toString());
}

QString Form1::updatesPagePath() const {
    return QDir(paths_.appDir).filePath(kProgramTitle + QStringLiteral("Updates.htm"));
}

void Form1::mnuHelpUpdates_Click() {
    if (openInNewWindow_)
        openInNewWindow_(QUrl::fromLocalFile(updatesPagePath()).toString());
}

} // namespace nubivista::core
