// Places.tsv through PlacesFile and the Places window: what is read, what a
// rewrite keeps, what is told, and that a failed write loses nothing.
#include "core/message_service.h"
#include "core/preferences.h"
#include "places/places_file.h"
#include "places/places_window.h"
#include "support/file_size_limit.h"
#include "support/files.h"
#include "support/qstring_print.h"
#include "support/shown_messages.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nubivista;
using nubivista::testing::readBytes;
using nubivista::testing::writeBytes;
using places::Place;
using places::PlacesFile;

namespace {

class PlacesFileTest : public ::testing::Test {
protected:
    void SetUp() override { nubivista::testing::recordMessages(messages, shown, decline); }

    QTemporaryDir home;
    QString path = home.filePath(QStringLiteral("Places.tsv"));
    QString msgOffMap = QString(100, QLatin1Char('0'));
    core::MessageService messages{msgOffMap};
    QList<nubivista::testing::ShownMessage> shown;
    bool decline = false;
    PlacesFile file{path, messages};
};

const Place kHome{QStringLiteral("Home"), 43.1, -88.55, 10, true};

TEST_F(PlacesFileTest, ARewriteKeepsCommentsBlankLinesAndUneditedPlacesAsTheyWere) {
    const QByteArray before = "# my places\r\n"
                              "Gr\xC3\xBCnwald\t43.10\t-88.500\t 5 \t0\r\n"
                              "\r\n";
    ASSERT_TRUE(writeBytes(path, before));
    file.load();
    ASSERT_EQ(file.places(),
              (std::vector<Place>{{QStringLiteral("Grünwald"), 43.1, -88.5, 5, false}}));
    ASSERT_TRUE(file.add({QStringLiteral("  Lake house "), 44.0000001, -89.123456789, 2.5, true}));
    EXPECT_EQ(readBytes(path), before + "Lake house\t44\t-89.123457\t2.5\t1\r\n");
    EXPECT_TRUE(shown.isEmpty());

    PlacesFile again(path, messages);
    again.load();
    EXPECT_EQ(again.places(), file.places());
}

TEST_F(PlacesFileTest, LinesThatCannotBeReadAreKeptAndToldOnceWithTheirNumbers) {
    const QByteArray bad[] = {
        "Far\t91\t0\t5\t1",     "West\t0\t-180.5\t5\t1", "Tiny\t0\t0\t0\t1",
        "\t0\t0\t5\t1",         "Short\t0\t0\t5",        "Alarm\t0\t0\t5\tyes",
        "Word\tnorth\t0\t5\t1", "Bytes\xFF\t0\t0\t5\t1",
    };
    QByteArray text = "Ok\t1\t2\t3\t0\n";
    for (const QByteArray& line : bad)
        text += line + "\n";
    ASSERT_TRUE(writeBytes(path, text));
    file.load();
    EXPECT_EQ(file.places(), (std::vector<Place>{{QStringLiteral("Ok"), 1, 2, 3, false}}));
    ASSERT_EQ(shown.size(), 1);
    // The first five are named, the rest counted.
    for (int line = 2; line <= 6; ++line)
        EXPECT_TRUE(shown[0].text.contains(QStringLiteral("Line %1: ").arg(line))) << line;
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("And 3 More.")));

    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("Some Lines Of Your Places")));

    file.load();
    ASSERT_TRUE(file.remove(0));
    EXPECT_EQ(readBytes(path), text.mid(text.indexOf('\n') + 1));
    EXPECT_EQ(shown.size(), 1);

    ASSERT_TRUE(writeBytes(path, "A\t95\t0\t5\t1\nB\t95\t0\t5\t1\nC\t95\t0\t5\t1\n"
                                 "D\t95\t0\t5\t1\nE\t95\t0\t5\t1\n"));
    file.load();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_FALSE(shown[1].text.contains(QStringLiteral("More"))) << "five are all named";
    ASSERT_TRUE(writeBytes(path, "Ok\t1\t2\t3\t0\nLone\t0\t0\t5\n"));
    file.load();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_TRUE(shown[2].text.contains(QStringLiteral("A Line Of Your Places")))
        << shown[2].text.toStdString();
}

TEST(PlaceRules, ANameThatWouldBreakTheFilesLinesIsRefused) {
    for (const char* name : {"Farm\tNorth", "Farm\nNorth", "Farm\rNorth", " #Farm", "  "}) {
        const auto problem = places::placeProblem({QString::fromLatin1(name), 43, -88, 5, true});
        ASSERT_TRUE(problem.has_value()) << name;
        EXPECT_EQ(problem->field, places::PlaceField::Name) << name;
    }
    EXPECT_FALSE(places::placeProblem({QStringLiteral("Farm # 2"), 43, -88, 5, true}));
}

TEST_F(PlacesFileTest, AWriteThatFailsIsToldAndLeavesFileAndPlacesAsTheyWere) {
    ASSERT_TRUE(file.add(kHome));
    const QByteArray before = readBytes(path);
    {
        nubivista::testing::FileSizeLimit diskFull(before.size());
        EXPECT_FALSE(file.add({QStringLiteral("Work"), 43, -88, 3, false}));
    }
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("Could Not Be Saved")));
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(file.places(), std::vector<Place>{kHome});
}

TEST_F(PlacesFileTest, TheWindowAddsChangesAndDeletesPlacesAndRefusesBadInput) {
    core::Preferences preferences(home.filePath(QStringLiteral("Preferences.ini")));
    places::frmPlaces window(file, messages, preferences);
    auto type = [&](const char* name, const char* latitude, const char* longitude,
                    const char* radius) {
        window.Text1->setText(QString::fromUtf8(name));
        window.Text2->setText(QString::fromUtf8(latitude));
        window.Text3->setText(QString::fromUtf8(longitude));
        window.Text4->setText(QString::fromUtf8(radius));
    };
    type("Home", "43.1", "-88.55", "10");
    window.Check1->setChecked(true);
    window.Command1_Click();
    EXPECT_EQ(file.places(), std::vector<Place>{kHome});
    EXPECT_EQ(window.ListView1->rowCount(), 1);

    struct Case {
        const char* latitude;
        const char* radius;
        QLineEdit* blamed;
    };
    for (const Case& c : {Case{"95", "10", window.Text2}, Case{"north", "10", window.Text2},
                          Case{"43", "0", window.Text4}, Case{"43", "-1", window.Text4}}) {
        type("Home", c.latitude, "-88", c.radius);
        window.Command2_Click();
        EXPECT_EQ(file.places(), std::vector<Place>{kHome}) << c.latitude << " " << c.radius;
        EXPECT_EQ(c.blamed->selectedText(), c.blamed->text());
    }
    EXPECT_EQ(shown.size(), 4);

    window.ListView1->clearSelection();
    window.ListView1->selectRow(0);
    EXPECT_EQ(window.Text2->text(), QStringLiteral("43.1")) << "a chosen place fills the boxes";
    type("Home", "43.2", "-88.55", "12");
    window.Command2_Click();
    EXPECT_EQ(file.places(),
              (std::vector<Place>{{QStringLiteral("Home"), 43.2, -88.55, 12, true}}));

    decline = true;
    window.Command3_Click();
    EXPECT_EQ(file.places().size(), 1u);
    decline = false;
    window.Command3_Click();
    EXPECT_TRUE(file.places().empty());
    EXPECT_EQ(readBytes(path), QByteArray());
}

} // namespace
