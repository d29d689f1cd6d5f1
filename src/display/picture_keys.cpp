#include "display/picture_keys.h"

#include "core/form1.h"
#include "display/display_controls.h"
#include "display/loop_animation.h"
#include "display/loop_display.h"
#include "display/tab_display.h"
#include "sets/loop_set.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextEdit>
#include <functional>

namespace nubivista::display {

PictureKeys::PictureKeys(LoopDisplay& display) : display_(display) {
    DisplayControls& c = display_.controls();
    const std::pair<QKeySequence, std::function<void()>> keys[] = {
        {QKeySequence(Qt::Key_Left), [this, &c] { click(c.Command60); }},
        {QKeySequence(Qt::Key_Right), [this, &c] { click(c.Command61); }},
        {QKeySequence(Qt::Key_Space), [this, &c] { click(c.Command18); }},
        {QKeySequence(Qt::Key_Plus), [this, &c] { click(c.Command51); }},
        {QKeySequence(Qt::Key_Equal), [this, &c] { click(c.Command51); }},
        {QKeySequence(Qt::Key_Minus), [this, &c] { click(c.Command50); }},
        {QKeySequence(Qt::Key_Home), [this] { showEnd(false); }},
        {QKeySequence(Qt::Key_End), [this] { showEnd(true); }},
    };
    for (const auto& [key, act] : keys) {
        auto* shortcut = new QShortcut(key, &display_.shell()); // the window owns it
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, act = act] {
            if (!textBoxHasFocus())
                act();
        });
    }
}

bool PictureKeys::textBoxHasFocus() const {
    const QWidget* focus = QApplication::focusWidget();
    return qobject_cast<const QLineEdit*>(focus) != nullptr ||
           qobject_cast<const QTextEdit*>(focus) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(focus) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(focus) != nullptr;
}

void PictureKeys::click(QWidget* button) {
    if (button == nullptr || !button->isEnabled() || !button->isVisible())
        return;
    // Posted, so that a step or zoom that waits for the release sees it.
    const QPointF at = QRectF(button->rect()).center();
    const QPointF global = button->mapToGlobal(at);
    QCoreApplication::postEvent(button,
                                new QMouseEvent(QEvent::MouseButtonPress, at, global,
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(button,
                                new QMouseEvent(QEvent::MouseButtonRelease, at, global,
                                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

void PictureKeys::showEnd(bool newest) {
    // A running loop owns the tabs.
    if (display_.animation().running())
        return;
    const sets::LoopSet& loop = display_.loop();
    int found = 0;
    for (int tab = 1; tab <= kTabCount; ++tab) {
        if (!loop.filled(loop.slotForTab(tab)))
            continue;
        found = tab;
        if (!newest)
            break;
    }
    if (found != 0)
        display_.tabs().selectTab(found);
}

} // namespace nubivista::display
