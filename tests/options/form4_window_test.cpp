// The map scale's text in each unit, and the Options window in the assembled
// main window: its question before re-enabling messages and the settings
// record written at exit.
#include "core/settings.h"
#include "display/press_and_hold.h"
#include "display/window_fixture.h"
#include "options/form4.h"
#include "options/map_scale.h"
#include "options/tab_defaults.h"
#include "support/qstring_print.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTreeWidget>

using namespace nubivista;
using namespace nubivista::options;
using nubivista::testing::pressAndHold;

namespace {

class OptionsWindowTest : public nubivista::testing::MainWindowTest {
protected:
    options::Form4& f4() { return window->form4(); }

    void openOptions() {
        if (!form().isVisible())
            showWindow();
        form().menuItem(QStringLiteral("mnuOptionsSett"))->trigger();
        ASSERT_TRUE(f4().OptionsOpen());
        QTRY_COMPARE(f4().state().ActivatedOnce, std::int16_t{1});
    }
    void escape(QWidget* focus = nullptr) {
        QTest::keyClick(focus ? focus : f4().Check5, Qt::Key_Escape);
        ASSERT_FALSE(f4().OptionsOpen());
        ASSERT_FALSE(f4().isVisible());
    }
    // A check or option box takes clicks on its box and caption only.
    void click(QWidget* control) {
        const bool box = qobject_cast<QCheckBox*>(control) || qobject_cast<QRadioButton*>(control);
        QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier,
                          box ? QPoint(6, control->height() / 2) : control->rect().center());
    }
    void showTab(int tab) { f4().TabStrip1->setCurrentIndex(tab); }

    // One press and release: the release comes during the first pause.
    void pressOnce(QWidget* button, Qt::MouseButton mouse,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        clock.setAdvancePerRead(100);
        pressAndHold(
            button, mouse, [] { return false; }, modifiers);
    }
};

TEST_F(OptionsWindowTest, ReEnableAsksAndClearsTheMessageMapOnYes) {
    settings.MsgOffMap[2] = QLatin1Char('1');
    const QString before = settings.MsgOffMap;
    openOptions();
    decline = true;
    click(f4().Command1);
    EXPECT_EQ(settings.MsgOffMap, before);
    decline = false;
    click(f4().Command1);
    EXPECT_EQ(settings.MsgOffMap, QString(100, QLatin1Char('0')));
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[1].kind, 3);
    EXPECT_EQ(shown[1].text, QStringLiteral("Click  -Yes-  If You Want To Re-Enable All\r\n"
                                            "Delete, Warning, And Other Messages Which\r\n"
                                            "You Have Previously Disabled By Checking The\r\n"
                                            "-Stop Showing Just This Message-  Check Box\r\n"
                                            "On Specific Message Windows.\r\n"
                                            "Later You Can Disable Any Message Window\r\n"
                                            "Which Appears, If It Has A Check Box."));
}

TEST_F(OptionsWindowTest, EditsAreInTheRecordWrittenAtExit) {
    openOptions();
    QTest::keyClick(f4().Text1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(f4().Text1, QStringLiteral("  http://example.test/radar/national.html "));
    pressOnce(f4().Command71, Qt::LeftButton);
    showTab(1);
    click(f4().Option1[1]);
    click(f4().Option1[0]);
    EXPECT_EQ(settings.UnitFactor, options::kMileFactor) << "back to miles";
    click(f4().Option1[1]);
    click(f4().Check5);
    click(f4().Check7);
    escape(f4().Text1);
    // Edits in a window still open when the program ends are not applied.
    openOptions();
    QTest::keyClicks(f4().Text1, QStringLiteral("/never"));
    clock.setAdvancePerRead(100);
    form().close();
    EXPECT_FALSE(f4().OptionsOpen());

    const core::SettingsRecord saved =
        core::decodeSettingsRecord(nubivista::testing::readBytes(paths.iniPath));
    EXPECT_EQ(core::trimSpaces(saved.NationalMapUrl),
              QStringLiteral("http://example.test/radar/national.html"));
    EXPECT_EQ(saved.FirstExtraMs, 510);
    EXPECT_EQ(saved.UnitFactor, options::kKilometerFactor);
    EXPECT_EQ(saved.MapScale, core::defaultMapScale());
    EXPECT_EQ(saved.EtaUseDirection, 1);
    EXPECT_EQ(saved.TwoClickEta, 1);
}

TEST_F(OptionsWindowTest, EachTabShowsItsOwnSettingsAndRestoresOnlyItsOwnDefaults) {
    settings.FirstExtraMs = 510;
    settings.UnitFactor = kKilometerFactor;
    openOptions();
    showTab(kDistanceTab);
    EXPECT_TRUE(f4().Frame2->isVisible());
    EXPECT_FALSE(f4().Frame1->isVisible());
    click(f4().Command5);
    EXPECT_EQ(settings.UnitFactor, kMileFactor);
    EXPECT_EQ(settings.FirstExtraMs, 510) << "a general setting kept";
    settings.UnitFactor = kKilometerFactor;
    showTab(kGeneralTab);
    EXPECT_TRUE(f4().Frame1->isVisible());
    EXPECT_FALSE(f4().Frame2->isVisible());
    click(f4().Command5);
    EXPECT_EQ(settings.FirstExtraMs, core::kDefaultFirstExtraMs);
    EXPECT_EQ(settings.UnitFactor, kKilometerFactor) << "a distance setting kept";

    // The window stays above the others while its box says so.
    for (int i = 0; i < 2; ++i) {
        click(f4().Check4);
        EXPECT_EQ(f4().windowFlags().testFlag(Qt::WindowStaysOnTopHint), f4().Check4->isChecked());
    }
}

QString shownScale(float mapScale, int unit) {
    return options::scaleText(options::scaleDisplay(mapScale, options::unitFactorOf(unit)));
}

TEST(MapScale, TextHasThreeDecimalsAndNoLeadingZeroAndTheDefaultInEachUnit) {
    const std::pair<float, const char*> cases[] = {{0.2f, ".200"},
                                                   {20.0f, "20.000"},
                                                   {12.3456f, "12.346"},
                                                   {0.0004f, ".000"},
                                                   {0.99951f, "1.000"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(options::scaleText(value), QString::fromLatin1(text)) << value;
    const std::pair<int, const char*> defaults[] = {
        {kMiles, "2.019"}, {kKilometers, "1.254"}, {kNauticalMiles, "2.323"}};
    for (const auto& [unit, text] : defaults)
        EXPECT_EQ(shownScale(core::defaultMapScale(), unit), QString::fromLatin1(text)) << unit;
}

TEST(MapScale, ChangingTheUnitAndBackShowsTheStartValue) {
    for (const float mapScale : {3.0f, core::defaultMapScale(), 47.11f, 300.0f})
        for (int from = kMiles; from <= kNauticalMiles; ++from)
            for (int to = kMiles; to <= kNauticalMiles; ++to) {
                const float start = options::scaleDisplay(mapScale, options::unitFactorOf(from));
                const float there = convertScaleDisplay(start, options::unitFactorOf(from),
                                                        options::unitFactorOf(to));
                EXPECT_EQ(options::scaleText(there), shownScale(mapScale, to));
                const float back = convertScaleDisplay(there, options::unitFactorOf(to),
                                                       options::unitFactorOf(from));
                EXPECT_EQ(options::scaleText(back), options::scaleText(start))
                    << mapScale << " " << from << to;
            }
}

} // namespace
