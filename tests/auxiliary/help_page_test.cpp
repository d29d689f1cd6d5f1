// The help page names the controls as the user sees them: every menu item,
// frame, tab, list entry, check box and button caption of the main window,
// the Options window, the ETA list window, the About window and the
// feedback window.
#include "app/demo_window.h"
#include "auxiliary/form3.h"
#include "auxiliary/form6.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTextDocumentFragment>
#include <gtest/gtest.h>

using namespace nubivista;

namespace {

// The captions a user reads on window and its children.
QStringList captionsOf(const QWidget& window) {
    QStringList captions;
    // Without mnemonic marks: "&Help >>" is "Help >>", "&&" one "&".
    auto add = [&captions](QString shown) {
        shown.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
        shown.remove(QLatin1Char('&'));
        shown = shown.replace(QStringLiteral("\x01"), QStringLiteral("&")).simplified();
        static const QRegularExpression number(QStringLiteral("^[0-9]+$"));
        if (!shown.isEmpty() && !number.match(shown).hasMatch() && !captions.contains(shown))
            captions << shown;
    };
    for (const QAction* item : window.findChildren<QAction*>())
        if (!item->isSeparator())
            add(item->text());
    for (const QGroupBox* frame : window.findChildren<QGroupBox*>())
        add(frame->title());
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>())
        add(button->text());
    for (const QTabBar* tabs : window.findChildren<QTabBar*>())
        for (int i = 0; i < tabs->count(); ++i)
            add(tabs->tabText(i));
    for (const QComboBox* list : window.findChildren<QComboBox*>())
        for (int i = 0; i < list->count(); ++i)
            add(list->itemText(i));
    return captions;
}

} // namespace

TEST(HelpPage, NamesEveryControlAsTheUserSeesIt) {
    QFile file(QStringLiteral(NUBIVISTA_SOURCE_DIR "/shipped/NubivistaHelp.htm"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    const QString text = QTextDocumentFragment::fromHtml(html).toPlainText().simplified();
    // Named in quotes as the reader sees the page, or shown as a button face.
    const auto names = [&](const QString& caption) {
        return text.contains(QLatin1Char('"') + caption + QLatin1Char('"')) ||
               html.simplified().contains(QStringLiteral("<span class=\"button\">") +
                                          caption.toHtmlEscaped() + QStringLiteral("</span>"));
    };
    app::DemoWindow demo(QStringLiteral(NUBIVISTA_APP_DIR), 0, {1000, 760});
    app::MainWindow& main = demo.window();
    main.form4().showOptions();
    auxiliary::Form3 about(QStringLiteral("/tmp"));
    auxiliary::Form6 feedback;
    const std::pair<const char*, const QWidget*> windows[] = {
        {"main window", &main.form1()},     {"Options window", &main.form4()},
        {"ETA list window", &main.form9()}, {"About window", &about},
        {"feedback window", &feedback},
    };
    int named = 0;
    for (const auto& [what, window] : windows) {
        SCOPED_TRACE(what);
        const QStringList captions = captionsOf(*window);
        EXPECT_FALSE(captions.isEmpty());
        for (const QString& caption : captions) {
            EXPECT_TRUE(names(caption)) << caption.toStdString();
            ++named;
        }
    }
    main.form4().hide();
    EXPECT_GT(named, 40);
}
