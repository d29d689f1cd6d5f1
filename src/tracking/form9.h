#pragma once
// The ETA list window: a tool window of the main window that collects
// measurement results as rows of a two-column list, to compare, order, prune
// and save them. Closing it only hides it, so the rows last for the run.
#include <QString>
#include <QWidget>
#include <functional>

class QAction;
class QMenu;
class QTreeWidget;

namespace nubivista::core {
struct Settings;
class MessageService;
class Clock;
} // namespace nubivista::core

namespace nubivista::tracking {

// The save dialog: the chosen file's full path, empty when cancelled.
using ListFileChooser = std::function<QString(QWidget* parent, const QString& initialFolder)>;

// Qt's own save dialog for text files.
ListFileChooser qtListFileChooser();

class Form9 : public QWidget {
    Q_OBJECT
public:
    Form9(core::Settings& settings, core::MessageService& messages, const core::Clock& clock,
          ListFileChooser chooser = {}, QWidget* parent = nullptr);

    // A result row: the window is loaded and shown if need be, the row added
    // at the end with an empty first column and scrolled into view.
    void addRow(const QString& text);

    // The window's load, once on its first use.
    void Form_Load();
    bool loaded() const { return loaded_; }
    // The caption and the second column's header from PopupLists (the
    // window is loaded first if need be), as a change of the option sets them.
    void showListTexts();
    void setChooser(ListFileChooser chooser) { chooser_ = std::move(chooser); }

    QTreeWidget* ListView1 = nullptr;
    QMenu* mnuPop1 = nullptr;
    QAction* menuItem(const QString& name) const;

    void mnuMoveUp_Click();
    void mnuMovedown_Click();
    void mnuToTop_Click();
    void mnuToBot_Click();
    void mnuDelete_Click();
    void mnuClearList_Click();
    void mnuSaveList_Click();
    void mnuExitClear_Click();
    void mnuOnTop_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* addItem(const QString& name, const QString& caption, void (Form9::*handler)());
    // Moves the list's current row to place `target` (1-based).
    void moveCurrentRow(const std::function<int(int index, int count)>& target);
    bool confirmed(int msgId, const QString& text);
    void applyOnTop();
    void applyListTexts();

    core::Settings& settings_;
    core::MessageService& messages_;
    const core::Clock& clock_;
    ListFileChooser chooser_;
    bool loaded_ = false;
};

} // namespace nubivista::tracking
