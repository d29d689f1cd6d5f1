// The ETA list window: rows, the popup menu's deletes and clears with
// their confirmations, saving as text, and what closing keeps.
#include "core/clock.h"
#include "core/message_service.h"
#include "core/settings.h"
#include "support/files.h"
#include "support/qstring_print.h"
#include "support/shown_messages.h"
#include "tracking/form9.h"

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace nubivista;
using tracking::Form9;

namespace {

class Form9Test : public ::testing::Test {
protected:
    void SetUp() override {
        nubivista::testing::recordMessages(messages, shown, decline);
        form = std::make_unique<Form9>(settings, messages, clock,
                                       [this](QWidget*, const QString& folder) {
                                           initialFolders << folder;
                                           return chosen;
                                       });
    }
    void addRows(std::initializer_list<const char*> texts) {
        for (const char* t : texts)
            form->addRow(QString::fromLatin1(t));
    }
    QStringList secondColumn() const {
        QStringList texts;
        for (int i = 0; i < form->ListView1->topLevelItemCount(); ++i)
            texts << form->ListView1->topLevelItem(i)->text(1);
        return texts;
    }
    QTreeWidgetItem* row(int index) const { return form->ListView1->topLevelItem(index - 1); }
    void trigger(const char* item) { form->menuItem(QString::fromLatin1(item))->trigger(); }
    // Saves the list through the menu and returns the file's lines.
    QList<QByteArray> saveLines(const QString& name) {
        chosen = dir.filePath(name);
        trigger("mnuSaveList");
        return nubivista::testing::readBytes(chosen).split('\n');
    }

    core::Settings settings;
    core::MessageService messages{settings.MsgOffMap};
    core::ManualClock clock{QDateTime(QDate(2026, 12, 6), QTime(15, 4, 5)), 0};
    QList<nubivista::testing::ShownMessage> shown;
    bool decline = false;
    QString chosen;
    QStringList initialFolders;
    QTemporaryDir dir;
    std::unique_ptr<Form9> form;
};

TEST_F(Form9Test, DeleteSelectedAndClearListAskFirst) {
    addRows({"a", "b", "c", "d", "e"});
    for (int i : {2, 4, 5})
        row(i)->setSelected(true);
    decline = true;
    trigger("mnuDelete");
    trigger("mnuClearList");
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].kind, 4);
    EXPECT_EQ(shown[0].id, 3);
    EXPECT_EQ(shown[0].text, "\r\n\r\nDo You Want To Delete\r\nThe Selected Items From The  List?");
    EXPECT_EQ(shown[1].id, 2);
    EXPECT_EQ(shown[1].text, "\r\n\r\nDo You Want To Clear The List?");
    EXPECT_EQ(secondColumn().size(), 5);
    // Deleting from the last row up removes exactly the selected rows.
    decline = false;
    trigger("mnuDelete");
    EXPECT_EQ(secondColumn(), QStringList({"a", "c"}));
    // A suppressed question clears without asking.
    settings.MsgOffMap[1] = u'1';
    trigger("mnuClearList");
    EXPECT_EQ(shown.size(), 3);
    EXPECT_TRUE(secondColumn().isEmpty());
}

TEST_F(Form9Test, SaveWritesCrLfLinesWithNamesPaddedWithDotsToTheWidestName) {
    settings.EtaSavePath = QStringLiteral("/earlier");
    addRows({"ETA: 4:07 PM 5/3/04 ... 12.3 Mi", " Dist/Dir: 1 Mi @ 90 deg. E "});
    QList<QByteArray> lines = saveLines("list.txt");
    EXPECT_EQ(initialFolders, QStringList({"/earlier"}));
    EXPECT_EQ(settings.EtaSavePath, dir.path());
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith("Date: ") && lines[0].endsWith('\r')) << lines[0].toStdString();
    // With no names at all, each line starts with four dots.
    EXPECT_EQ(lines[1], "....ETA: 4:07 PM 5/3/04 ... 12.3 Mi\r");
    EXPECT_EQ(lines[2], "....Dist/Dir: 1 Mi @ 90 deg. E\r");
    EXPECT_TRUE(lines[3].isEmpty());

    form->ListView1->clear();
    addRows({"one", "two", "three"});
    row(1)->setText(0, QStringLiteral("  Springfield "));
    row(2)->setText(0, QStringLiteral("Ada"));
    lines = saveLines("names.txt");
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[1], "Springfield....one\r");
    const QFontMetrics metrics(form->ListView1->font());
    const int widest = metrics.horizontalAdvance(QStringLiteral("Springfield"));
    for (int i : {2, 3}) {
        const QString line = QString::fromLatin1(lines[i]);
        const QString name = line.left(line.lastIndexOf(QStringLiteral("...")));
        ASSERT_TRUE(name.endsWith(u'.')) << line.toStdString();
        EXPECT_GE(metrics.horizontalAdvance(name), widest) << line.toStdString();
        EXPECT_LT(metrics.horizontalAdvance(name.chopped(1)), widest) << line.toStdString();
    }
    EXPECT_TRUE(lines[3].startsWith(".")) << "an empty name is all dots";
}

TEST_F(Form9Test, AnEmptyListIgnoresTheMenuACancelledSaveKeepsThePathAndAFailedOneIsTold) {
    for (const char* item :
         {"mnuMoveUp", "mnuMovedown", "mnuToTop", "mnuToBot", "mnuDelete", "mnuSaveList"})
        trigger(item);
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(initialFolders.isEmpty());

    addRows({"a"});
    // The first save starts in the user's documents.
    trigger("mnuSaveList");
    EXPECT_EQ(initialFolders,
              QStringList{QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)});
    EXPECT_TRUE(settings.EtaSavePath.isEmpty());

    initialFolders.clear();
    settings.EtaSavePath = QStringLiteral("/kept");
    trigger("mnuSaveList");
    EXPECT_EQ(initialFolders.size(), 1);
    EXPECT_TRUE(shown.empty()) << "a cancelled save says nothing";
    EXPECT_EQ(settings.EtaSavePath, "/kept");

    chosen = QStringLiteral("/proc/no such folder/list.txt");
    trigger("mnuSaveList");
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].kind, 1);
    EXPECT_TRUE(shown[0].text.contains(chosen)) << shown[0].text.toStdString();
    EXPECT_EQ(secondColumn(), QStringList({"a"}));
    EXPECT_FALSE(QFile::exists(chosen));
}

} // namespace
