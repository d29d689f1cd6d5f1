#include "sim_fixture.h"

namespace nubivista::feed::sim::testing {
namespace {

const QByteArray kLatest = "/radar/images/DS.p19r0/SI.kmkx/latest.gif";
const QByteArray kOtherLatest = "/radar/images/DS.p19r0/SI.kgrb/latest.gif";
const QByteArray kList = "/radar/loopdata/DS.p19r0/kmkx.txt";

class Faults : public SimFixture {};

TEST_F(Faults, StatusFaultsHitTheirPathsAddUpReplaceAndClear) {
    EXPECT_EQ(request("/_sim/fault?name=explode").status, 400);
    EXPECT_TRUE(server->service().faults().empty());
    admin("/_sim/fault?name=404&match=SI.kmkx");
    admin("/_sim/fault?name=500&match=kgrb");
    EXPECT_EQ(request(kLatest).status, 404);
    EXPECT_EQ(request(kOtherLatest).status, 500);
    // Admin paths stay reachable whatever is set.
    EXPECT_EQ(request("/_sim/state").status, 200);
    admin("/_sim/fault?name=404&match=national");
    EXPECT_EQ(request(kLatest).status, 200);
    EXPECT_EQ(request("/radar/national.html").status, 404);
    admin("/_sim/fault?name=none");
    admin("/_sim/fault?name=500");
    EXPECT_EQ(request(kList).status, 500);
    admin("/_sim/fault?name=none");
    EXPECT_EQ(request(kOtherLatest).status, 200);
}

TEST_F(Faults, HangHoldsTheConnectionUntilCleared) {
    admin("/_sim/fault?name=hang&match=latest.gif");
    QTcpSocket early;
    early.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(early.waitForConnected(2000));
    early.write("GET " + kLatest + " HTTP/1.1\r\nHost: weather.noaa.gov\r\n\r\n");
    // While a later request waits in vain, the server has long read the early one.
    const WireReply held = request(kLatest, {}, "GET", {}, 200);
    EXPECT_FALSE(held.answered);
    EXPECT_FALSE(held.closed);
    EXPECT_EQ(early.bytesAvailable(), 0);

    // Held connections are closed when the faults are cleared.
    admin("/_sim/fault?name=none");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return early.state() == QAbstractSocket::UnconnectedState; }, 3000));
    EXPECT_EQ(request(kLatest).status, 200);
}

TEST_F(Faults, TruncateCorruptAndCloseSpoilOnlyWhatTheyName) {
    const qint64 fullSize = request(kLatest).body.size();
    admin("/_sim/fault?name=truncate&match=SI.kmkx");
    const WireReply cut = request(kLatest);
    EXPECT_TRUE(cut.status == 200 && cut.closed);
    EXPECT_EQ(cut.contentLength(), fullSize);
    EXPECT_EQ(cut.body.size(), fullSize / 2);

    admin("/_sim/fault?name=none");
    admin("/_sim/fault?name=corrupt");
    const WireReply corrupt = request(kLatest);
    EXPECT_TRUE(corrupt.body.startsWith("GIF89a"));
    EXPECT_TRUE(decode(corrupt.body).isNull());
    // Pages and lists are not images and stay as they are.
    EXPECT_EQ(request(kList).body.count('\n'), 10);

    // The default map host looks unreachable; the regional hosts still answer.
    admin("/_sim/fault?name=none");
    admin("/_sim/fault?name=close&match=national&host=Weather.NOAA.gov");
    const WireReply dropped = request("/radar/national.html", {}, "GET", "weather.noaa.gov");
    EXPECT_TRUE(!dropped.answered && dropped.closed);
    EXPECT_EQ(request("/radar/national.html", {}, "GET", "www.srh.noaa.gov").status, 200);
    EXPECT_EQ(request(kLatest, {}, "GET", "weather.noaa.gov").status, 200);
}

TEST_F(Faults, RepublishGivesNewerTimeWithTheSameSize) {
    const WireReply current = request(kLatest);
    admin("/_sim/fault?name=republish&match=SI.kmkx");
    admin("/_sim/advance?frames=1");
    const WireReply next = request(kLatest);
    EXPECT_EQ(next.header("last-modified"), "Fri, 12 Jun 2026 14:00:00 GMT");
    EXPECT_EQ(current.header("last-modified"), "Fri, 12 Jun 2026 13:55:00 GMT");
    EXPECT_EQ(next.contentLength(), current.contentLength());
    // Once cleared, the real new frame (a different size) is served.
    admin("/_sim/fault?name=none");
    EXPECT_NE(request(kLatest).contentLength(), current.contentLength());
}

TEST_F(Faults, LoopListFaults) {
    admin("/_sim/fault?name=crlf");
    QByteArray list = request(kList).body;
    EXPECT_EQ(list.count("\r\n"), 10);
    EXPECT_EQ(list.split('\n').first().size(), 50); // 49 characters and the CR

    admin("/_sim/fault?name=none");
    admin("/_sim/fault?name=nine-lines");
    list = request(kList).body;
    EXPECT_EQ(list.count('\n'), 9);
    // The oldest line (13:10) goes; the newest stays last.
    EXPECT_TRUE(list.startsWith("images/DS.p19r0/SI.kmkx/sn_20260612_at_131500.gif\n"));
    EXPECT_TRUE(list.endsWith("sn_20260612_at_135500.gif\n"));

    admin("/_sim/fault?name=none");
    admin("/_sim/fault?name=bad-date");
    const QByteArray first = request(kList).body.split('\n').first();
    bool yearIsNumber = true;
    first.mid(27, 4).toInt(&yearIsNumber);
    EXPECT_FALSE(yearIsNumber);
    EXPECT_EQ(first.size(), 49);
}

} // namespace
} // namespace nubivista::feed::sim::testing
