// The program on the live feed: nubivista-feed --source live fetching from
// stand-ins of the weather service's product tree and archive on loopback,
// which serve real KLSX products moved to the present.
#include "e2e/refresh_fixture.h"
#include "feed/nws/stand_in.h"

namespace nubivista::e2e {
namespace {

using feed::nws::testing::productFile;
using feed::nws::testing::StandIn;

const QString kImagePath = QStringLiteral("/radar/images/DS.p19r0/SI.klsx/latest.gif");

class LiveFeedTest : public RefreshE2eTest {
protected:
    void SetUp() override {
        // A scan three minutes old: the program takes no first image older
        // than two years, so the real product is moved to the present.
        const QDateTime now = QDateTime::currentDateTimeUtc();
        scanTime = QDateTime(now.date(), QTime(now.time().hour(), now.time().minute()), Qt::UTC)
                       .addSecs(-180);
        upstream.publish("DS.p94r0", productFile("KLSX_SDUS23_N2QLSX_202112110250"), scanTime);
        settings.StampAdjustMinutes = 0;
        simArguments = {"--source",       "live",
                        "--nws-base",     upstream.base().toString(),
                        "--archive-base", upstream.base().toString()};
        RefreshE2eTest::SetUp();
    }

    StandIn upstream;
    QDateTime scanTime;
};

TEST_F(LiveFeedTest, ASiteClickStoresTheRealScanInSlotOneUnderItsScanTime) {
    startProcessOn(QStringLiteral("klsx"));
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(loop().model().newestSlot, 1);
    EXPECT_EQ(slotTimeUtc(1), scanTime);
    EXPECT_EQ(slotBytes(1), sim->get(kImagePath));
    EXPECT_EQ(loop().picture(1).size(), QSize(600, 550));
    EXPECT_EQ(form().windowTitle(), QStringLiteral("KLSX - St. Louis, MO - Nubivista"));
}

} // namespace
} // namespace nubivista::e2e
