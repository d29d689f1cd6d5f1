// The auto-refresh process end to end: a site click on the national map
// starts it, each frame the simulator publishes goes through the image pane,
// the layer's cache and a download into the next slot of the ring, and the
// current set on disk follows every image.
#include "core/ole_date.h"
#include "core/press_button.h"
#include "e2e/refresh_fixture.h"
#include "sets/set_record.h"

namespace nubivista::e2e {
namespace {

using platform::testing::KmkxImagePath;
using platform::testing::radarUrl;

constexpr int kStampAdjustMinutes = -5;

class RefreshCycleTest : public RefreshE2eTest {
protected:
    void SetUp() override {
        settings.StampAdjustMinutes = kStampAdjustMinutes;
        RefreshE2eTest::SetUp();
    }
    // The time a slot must carry for the frame the simulator serves now.
    QDateTime expectedStamp() const {
        return sim->lastModified(KmkxImagePath).addSecs(kStampAdjustMinutes * 60);
    }
};

TEST_F(RefreshCycleTest, ASiteClickStartsTheProcessAndTheTwentyFirstImageTurnsTheRing) {
    startProcessOn(QStringLiteral("kmkx"));
    ASSERT_FALSE(HasFatalFailure());
    // The start was confirmed once, with the question for a first process.
    ASSERT_EQ(messages.size(), 1) << messageLog().toStdString();
    EXPECT_EQ(messages[0].id, 14);
    EXPECT_TRUE(messages[0].text.contains("Do You Want To Start The Auto-Refresh"));
    EXPECT_EQ(loop().model().siteImageUrl, radarUrl(KmkxImagePath).toString());
    EXPECT_FALSE(loop().picture(1).isNull());
    EXPECT_EQ(form().windowTitle(), QStringLiteral("KMKX - Milwaukee, WI - Nubivista"));
    EXPECT_EQ(controls().Command7->text(), QStringLiteral("Shut-Down"));
    // The map pane went aside; the map click itself never navigated it.
    EXPECT_TRUE(window->panes().mapPaneAside());
    EXPECT_TRUE(relayed.isEmpty()) << relayed.join(' ').toStdString();

    QList<QDateTime> stamps{QDateTime()};
    for (int image = 1; image <= 21; ++image) {
        SCOPED_TRACE("image " + std::to_string(image));
        if (image > 1) {
            publishAndRefresh();
            ASSERT_FALSE(HasFatalFailure());
        }
        const int slot = (image - 1) % sets::kSlotCount + 1;
        stamps.append(expectedStamp());
        if (image > 1) {
            ASSERT_GT(stamps.last(), stamps[image - 1]);
        }
        EXPECT_EQ(slotBytes(slot), sim->get(KmkxImagePath));
        EXPECT_EQ(slotTimeUtc(slot), stamps.last());

        // The current set on disk holds the ring as it is after this image.
        const sets::SetRecordRead saved = sets::readSetRecordFile(paths.setRecPath);
        ASSERT_TRUE(saved.record) << saved.error.toStdString();
        EXPECT_EQ(saved.record->siteCode, QStringLiteral("kmkx"));
        EXPECT_EQ(saved.record->newestSlot, slot);
        EXPECT_EQ(saved.record->ringOffset, image > sets::kSlotCount ? 1 : 0);
        EXPECT_EQ(saved.record->wrapState,
                  image > sets::kSlotCount ? sets::kRingFull : sets::kFillingFirstTime);
        EXPECT_EQ(core::oleToDateTime(saved.record->slotTime[slot], Qt::UTC), stamps.last());
        EXPECT_EQ(saved.record->slotFilled[slot], 1);
    }
    EXPECT_EQ(messages.size(), 1) << messageLog().toStdString();
    EXPECT_EQ(loop().filledCount(), sets::kSlotCount);
    EXPECT_EQ(loop().model().ringOffset, 1);
    // Tabs run oldest to newest: tab 1 shows the second image, tab 20 the 21st.
    EXPECT_EQ(loop().slotForTab(20), 1);
    EXPECT_EQ(loop().slotForTab(1), 2);
    for (int tab = 1; tab <= sets::kSlotCount; ++tab)
        EXPECT_EQ(slotTimeUtc(loop().slotForTab(tab)), stamps[tab + 1]) << "tab " << tab;
}

} // namespace
} // namespace nubivista::e2e
