#pragma once
// The assembled main window on a fake Internet layer, loaded and shown, with
// every message recorded and answered (OK, or the test's answer to a
// question). Helpers start a process by a site click on the map pane and
// publish numbered radar images in the fake cache.
#include "display/window_fixture.h"
#include "platform/fake_internet_service.h"
#include "support/qstring_print.h"
#include "support/scoped_time_zone.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTimeZone>

namespace nubivista::testing {

inline const QString kSiteLink =
    QStringLiteral("http://weather.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml");
// A navigation error that is not resource-not-found (a time-out).
inline constexpr quint32 kTimeOutStatus = 0x800C000Bu;

inline const QString kNavigateErrorText =
    QStringLiteral("\r\n\r\nBrowser Navigate Error or Time-Out...\r\nProcess Will Be Shut-Down.\r\n"
                   "Then, You Can Use The Map To Navigate\r\nAnd Start A New Process.");

inline QString tickFailureText(const QString& status) {
    return QStringLiteral("\r\n") + status +
           QStringLiteral("...Error...Process Will Be Shut-Down.\r\nThen, You Can Use The Map To "
                          "Navigate\r\nAnd Start A New Process.");
}

// Days since 30 December 1899, worked out here on its own.
inline double oleOf(const QDateTime& utc) {
    const QDateTime t = utc.toUTC();
    return QDate(1899, 12, 30).daysTo(t.date()) + t.time().msecsSinceStartOfDay() / 86400000.0;
}

class RefreshTest : public MainWindowTest {
protected:
    void SetUp() override {
        internet = &net;
        MainWindowTest::SetUp();
        messages.setAnswerer([this](int kind, const QString& text, int id) {
            shown.append({kind, text, id});
            if (onMessage)
                onMessage(kind, text, id);
            return kind == 1 ? int(core::MsgOkay) : answer;
        });
        showWindow();
    }
    void TearDown() override { window.reset(); }

    void remakeWindow() {
        window.reset();
        panes.clear();
        makeWindow();
        showWindow();
    }

    acquisition::RefreshProcess& refresh() { return window->refresh(); }
    const acquisition::ProcessState& state() { return refresh().state(); }
    int refreshState() { return refresh().RefreshState(); }
    const sets::SlotModel& model() { return loop().model(); }

    // The deferred half of a map click runs.
    void turn() {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    void clickSite(const QString& link = kSiteLink) {
        mapPane()->navigate(QUrl(link));
        turn();
    }
    // A confirmed site click whose image page has loaded: Timer3 is armed.
    void startProcess() {
        clickSite();
        ASSERT_EQ(refreshState(), acquisition::refresh_state::Running);
        emit imagePane()->downloadComplete();
    }

    // Image n is published a minute after image n-1, with size 1000 + n.
    static QDateTime imageTime(int n) {
        return QDateTime(QDate(2024, 6, 15), QTime(16, 0), QTimeZone::utc()).addSecs(60 * n);
    }
    QString imageKey() { return QUrl(refresh().imageAddress()).toString(); }
    void publishImage(int n, const QString& body = {}, qint64 size = 0) {
        net.publish(imageKey(), imageTime(n), size ? size : 1000 + n,
                    body.isEmpty() ? samplePicture(n) : body);
    }
    void poll() { refresh().Timer3_Timer(); }
    void storeImages(int count) {
        startProcess();
        shown.clear();
        for (int n = 1; n <= count; ++n) {
            publishImage(n);
            poll();
        }
        ASSERT_TRUE(shown.isEmpty()) << shown.last().text.toStdString();
    }

    int timesAsked(int id) const {
        return static_cast<int>(std::count_if(shown.begin(), shown.end(),
                                              [id](const ShownMessage& s) { return s.id == id; }));
    }
    QStringList texts() const {
        QStringList all;
        for (const ShownMessage& s : shown)
            all << s.text;
        return all;
    }
    bool offersShutDown() { return controls().Command7->text() == QLatin1String("Shut-Down"); }
    QString text2() { return controls().Text2->text(); }

    platform::testing::FakeInternetService net;
    // Five hours behind UTC in June: a stamp kept in local time shows.
    ScopedTimeZone zone{"America/Chicago"};
    int answer = core::MsgYes;
    std::function<void(int kind, const QString& text, int id)> onMessage;
};

} // namespace nubivista::testing
