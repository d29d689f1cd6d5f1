#include "tracking/form9.h"

#include "core/ansi_text.h"
#include "core/clock.h"
#include "core/message_service.h"
#include "core/on_screen.h"
#include "core/settings.h"
#include "core/stays_on_top.h"
#include "core/window_placement.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>

namespace nubivista::tracking {

namespace {
// The smallest side the window keeps, twips.
constexpr int kMinSideTwips = 2400;
constexpr float kDefaultCol1Width = 1500;
constexpr float kDefaultCol2Width = 4200;
// A first run has no stored size.
constexpr float kDefaultWidth = 6600;
constexpr float kDefaultHeight = 3600;
constexpr int kClearMsgId = 2;
constexpr int kDeleteMsgId = 3;

int px(double twips) {
    return core::twipsToPixels(twips);
}
float twips(int pixels) {
    return core::pixelsToTwips(pixels);
}
const QString kCrLf = QStringLiteral("\r\n");
} // namespace

ListFileChooser qtListFileChooser() {
    return [](QWidget* parent, const QString& initialFolder) {
        return QFileDialog::getSaveFileName(parent, QString(), initialFolder,
                                            QStringLiteral("Text File (*.txt)"));
    };
}

Form9::Form9(core::Settings& settings, core::MessageService& messages, const core::Clock& clock,
             ListFileChooser chooser, QWidget* parent)
    : QWidget(parent, Qt::Tool),
      settings_(settings),
      messages_(messages),
      clock_(clock),
      chooser_(chooser ? std::move(chooser) : qtListFileChooser()) {
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("ETA List"));
    setMinimumSize(px(kMinSideTwips), px(kMinSideTwips));

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setColumnCount(2);
    ListView1->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("ETA")});
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ListView1);

    mnuPop1 = new QMenu(this);
    mnuPop1->setObjectName(QStringLiteral("mnuPop1"));
    addItem(QStringLiteral("mnuMoveUp"), QStringLiteral("Move &Up"), &Form9::mnuMoveUp_Click);
    addItem(QStringLiteral("mnuMovedown"), QStringLiteral("Move &Down"), &Form9::mnuMovedown_Click);
    addItem(QStringLiteral("mnuToTop"), QStringLiteral("Move To &Top"), &Form9::mnuToTop_Click);
    addItem(QStringLiteral("mnuToBot"), QStringLiteral("Move To &Bottom"), &Form9::mnuToBot_Click);
    mnuPop1->addSeparator()->setObjectName(QStringLiteral("mnuSep1"));
    addItem(QStringLiteral("mnuDelete"), QStringLiteral("Delete &Selected"),
            &Form9::mnuDelete_Click);
    mnuPop1->addSeparator()->setObjectName(QStringLiteral("mnuSep2"));
    addItem(QStringLiteral("mnuClearList"), QStringLiteral("Clear List"),
            &Form9::mnuClearList_Click);
    addItem(QStringLiteral("mnuSaveList"), QStringLiteral("Save List As Text File"),
            &Form9::mnuSaveList_Click);
    mnuPop1->addSeparator()->setObjectName(QStringLiteral("mnuSep3"));
    addItem(QStringLiteral("mnuExitClear"), QStringLiteral("Clear List At Close (setting)"),
            &Form9::mnuExitClear_Click)
        ->setCheckable(true);
    addItem(QStringLiteral("mnuOnTop"), QStringLiteral("On Top-Window (setting)"),
            &Form9::mnuOnTop_Click)
        ->setCheckable(true);
}

QAction* Form9::addItem(const QString& name, const QString& caption, void (Form9::*handler)()) {
    QAction* action = mnuPop1->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return action;
}

QAction* Form9::menuItem(const QString& name) const {
    return mnuPop1->findChild<QAction*>(name);
}

void Form9::Form_Load() {
    if (loaded_)
        return;
    loaded_ = true;
    core::Settings& s = settings_;
    const float width = s.EtaWidth > 0 ? s.EtaWidth : kDefaultWidth;
    const float height = s.EtaHeight > 0 ? s.EtaHeight : kDefaultHeight;
    if (s.EtaLeft != 0 || s.EtaTop != 0)
        move(px(s.EtaLeft), px(s.EtaTop));
    resize(px(width), px(height));
    core::keepInsideWorkArea(*this);

    if (s.EtaCol1Width <= 0)
        s.EtaCol1Width = kDefaultCol1Width;
    if (s.EtaCol2Width <= 0)
        s.EtaCol2Width = kDefaultCol2Width;
    ListView1->setColumnWidth(0, px(s.EtaCol1Width));
    ListView1->setColumnWidth(1, px(s.EtaCol2Width));

    applyListTexts();

    menuItem(QStringLiteral("mnuExitClear"))->setChecked(s.EtaClearAtClose == 1);
    menuItem(QStringLiteral("mnuOnTop"))->setChecked(s.EtaOnTop == 1);
    applyOnTop();
}

void Form9::showListTexts() {
    if (!loaded_)
        Form_Load();
    else
        applyListTexts();
}

void Form9::applyListTexts() {
    struct Texts {
        const char* caption;
        const char* header;
    };
    static constexpr Texts kTexts[] = {
        {"ETA List", "ETA"},
        {"ETA List", "ETA"},
        {"Distance/Direction List", "Distance/Direction"},
        {"Distance/Direction and ETA List", "Distance/Direction or ETA"}};
    const Texts& t = kTexts[settings_.PopupLists & 3];
    setWindowTitle(QString::fromLatin1(t.caption));
    ListView1->headerItem()->setText(1, QString::fromLatin1(t.header));
}

void Form9::addRow(const QString& text) {
    Form_Load();
    if (!isVisible())
        show();
    auto* row = new QTreeWidgetItem(ListView1, {QString(), text});
    ListView1->scrollToItem(row);
}

void Form9::showEvent(QShowEvent* event) {
    Form_Load();
    core::keepInsideWorkArea(*this);
    QWidget::showEvent(event);
}

void Form9::applyOnTop() {
    core::setStaysOnTop(*this, settings_.EtaOnTop == 1);
}

bool Form9::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListView1->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            mnuPop1->popup(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form9::moveCurrentRow(const std::function<int(int index, int count)>& target) {
    const int count = ListView1->topLevelItemCount();
    QTreeWidgetItem* current = ListView1->currentItem();
    if (count == 0 || current == nullptr)
        return;
    const int index = ListView1->indexOfTopLevelItem(current) + 1;
    const int to = target(index, count);
    if (to == index || to < 1 || to > count)
        return;
    const QString name = current->text(0);
    const QString text = current->text(1);
    delete ListView1->takeTopLevelItem(index - 1);
    auto* moved = new QTreeWidgetItem({name, text});
    ListView1->insertTopLevelItem(to - 1, moved);
    ListView1->setCurrentItem(moved);
}

void Form9::mnuMoveUp_Click() {
    moveCurrentRow([](int i, int) { return i >= 2 ? i - 1 : i; });
}

void Form9::mnuMovedown_Click() {
    moveCurrentRow([](int i, int n) { return i < n ? i + 1 : i; });
}

void Form9::mnuToTop_Click() {
    moveCurrentRow([](int, int) { return 1; });
}

void Form9::mnuToBot_Click() {
    moveCurrentRow([](int, int n) { return n; });
}

bool Form9::confirmed(int msgId, const QString& text) {
    return messages_.isSuppressed(msgId) || messages_.ShowMsgWind(4, text, msgId) == core::MsgYes;
}

void Form9::mnuDelete_Click() {
    if (ListView1->topLevelItemCount() == 0)
        return;
    if (!confirmed(kDeleteMsgId, kCrLf + kCrLf + QStringLiteral("Do You Want To Delete") + kCrLf +
                                     QStringLiteral("The Selected Items From The  List?")))
        return;
    for (int i = ListView1->topLevelItemCount() - 1; i >= 0; --i)
        if (ListView1->topLevelItem(i)->isSelected())
            delete ListView1->takeTopLevelItem(i);
}

void Form9::mnuClearList_Click() {
    if (confirmed(kClearMsgId, kCrLf + kCrLf + QStringLiteral("Do You Want To Clear The List?")))
        ListView1->clear();
}

void Form9::mnuSaveList_Click() {
    const int count = ListView1->topLevelItemCount();
    if (count == 0)
        return;
    // The first save starts in the user's documents, not wherever the
    // program happened to be started from.
    const QString startFolder =
        settings_.EtaSavePath.trimmed().isEmpty()
            ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
            : settings_.EtaSavePath;
    const QString path = chooser_(this, startFolder);
    if (path.isEmpty())
        return;
    const QString fileName = QFileInfo(path).fileName();
    QString folder = path.left(path.size() - fileName.size() - 1);
    if (folder.isEmpty())
        folder = QStringLiteral("/");
    else if (folder.size() == 2 && folder[1] == u':')
        folder += u'\\'; // a drive: its root
    settings_.EtaSavePath = folder;

    const QFontMetrics metrics(ListView1->font());
    int widest = 0;
    for (int i = 0; i < count; ++i)
        widest = std::max(widest, metrics.horizontalAdvance(
                                      core::trimSpaces(ListView1->topLevelItem(i)->text(0))));

    const QDateTime now = clock_.now();
    const QLocale locale;
    QString text = QStringLiteral("Date: ") + locale.toString(now.date(), QLocale::ShortFormat) +
                   u' ' + locale.toString(now.time(), QLocale::LongFormat) + kCrLf;
    for (int i = 0; i < count; ++i) {
        const QTreeWidgetItem* row = ListView1->topLevelItem(i);
        QString line = core::trimSpaces(row->text(0));
        do
            line += u'.';
        while (metrics.horizontalAdvance(line) < widest);
        text += line + QStringLiteral("...") + core::trimSpaces(row->text(1)) + kCrLf;
    }

    // Written whole or not at all: a failed save leaves an older file as it was.
    QSaveFile file(path);
    const QByteArray bytes = core::encodeWindows1252(text);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        messages_.ShowMsgWind(1,
                              kCrLf + kCrLf + QStringLiteral("The List Could Not Be Saved In:") +
                                  kCrLf + path + kCrLf + file.errorString(),
                              0);
    }
}

void Form9::mnuExitClear_Click() {
    settings_.EtaClearAtClose = settings_.EtaClearAtClose == 1 ? 0 : 1;
    menuItem(QStringLiteral("mnuExitClear"))->setChecked(settings_.EtaClearAtClose == 1);
}

void Form9::mnuOnTop_Click() {
    settings_.EtaOnTop = settings_.EtaOnTop == 1 ? 0 : 1;
    menuItem(QStringLiteral("mnuOnTop"))->setChecked(settings_.EtaOnTop == 1);
    applyOnTop();
}

void Form9::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (!loaded_) {
        hide();
        return;
    }
    if (settings_.EtaClearAtClose == 1)
        ListView1->clear();
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        settings_.EtaLeft = twips(x());
        settings_.EtaTop = twips(y());
        settings_.EtaWidth = twips(width());
        settings_.EtaHeight = twips(height());
    }
    if (!(windowState() & Qt::WindowMinimized)) {
        settings_.EtaCol1Width = twips(ListView1->columnWidth(0));
        settings_.EtaCol2Width = twips(ListView1->columnWidth(1));
    }
    // Its rows live as long as the program runs.
    hide();
}

} // namespace nubivista::tracking
