#include "e2e/refresh_fixture.h"

#include "acquisition/platform/web_engine_setup.h"
#include "app/own_feed.h"
#include "core/ole_date.h"
#include "core/press_button.h"
#include "core/wait_ticks.h"

#include <QImage>
#include <memory>

namespace nubivista::e2e {

using platform::testing::RadarSimProcess;

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    return core::WaitUntil(done, timeoutMs);
}

int demoMarkPixels(const QByteArray& gif) {
    const QImage image = QImage::fromData(gif).convertToFormat(QImage::Format_RGB32);
    int yellow = 0;
    for (int y = 11; y < 20 && y < image.height(); ++y)
        for (int x = image.width() - 120; x < image.width(); ++x)
            yellow += image.pixel(x, y) == qRgb(255, 255, 0);
    return yellow;
}

void RefreshE2eTest::SetUpTestSuite() {
    platform::prepareWebEngineEnvironment();
}

void RefreshE2eTest::SetUp() {
    ASSERT_TRUE(home.isValid());
    if (ownFeed) {
        layer = platform::testing::layerInHome(home, 0, true, paneFetchTimeoutMs);
        feed = app::startOwnFeed({acquisition::FeedSource::Demo, {}}, *layer,
                                 QStringLiteral(NUBIVISTA_APP_DIR "/nubivista-feed"),
                                 QStringList{"--frame-interval", "300"} + simArguments);
        attachToOwnFeed();
        ASSERT_FALSE(HasFatalFailure());
    } else {
        sim = std::make_unique<RadarSimProcess>(simArguments);
        ASSERT_TRUE(sim->isRunning()) << "the feed did not start";
        layer = platform::testing::layerThroughSim(home, *sim, true, paneFetchTimeoutMs);
    }
    const std::optional<QString> missing = program.assemble(
        programClock(),
        [this](int kind, const QString& text, int id) {
            const Message message{kind, text, id};
            messages.append(message);
            if (kind == 1)
                return int(core::MsgOkay);
            return answer ? answer(message) : int(core::MsgYes);
        },
        [this](app::MainWindowServices& services) {
            if (ownFeed) {
                services.feed = {acquisition::FeedSource::Demo, {}};
                services.feedProcess = feed.get();
            }
        });
    ASSERT_FALSE(missing) << missing->toStdString();
    window->refresh().setTimeScale(timeScale);
    QObject::connect(&loop(), &sets::LoopSet::imageStored, [this] { ++imagesStored_; });
    QObject::connect(&mapPane(), &platform::BrowserPane::documentComplete,
                     [this](const QUrl& address) {
                         if (address == QUrl(settings.NationalMapUrl.trimmed()))
                             ++mapLoads_;
                     });
    program.show();
    // The national map comes a second after the first activation.
    QTRY_VERIFY_WITH_TIMEOUT(mapLoads_ > 0, kPageTimeoutMs);
}

void RefreshE2eTest::attachToOwnFeed() {
    QTRY_VERIFY_WITH_TIMEOUT(feed->state() == acquisition::FeedProcess::State::Ready,
                             kPageTimeoutMs)
        << feed->problem().toStdString();
    sim = RadarSimProcess::attachedTo(static_cast<quint16>(feed->address().port()));
}

void RefreshE2eTest::TearDown() {
    if (sim && sim->isRunning())
        sim->clearFaults();
}

void RefreshE2eTest::showMap() {
    if (!window->panes().mapPaneAside())
        return;
    const int before = mapLoads_;
    window->panes().Command1_Click();
    QTRY_VERIFY_WITH_TIMEOUT(mapLoads_ > before, kPageTimeoutMs);
}

void RefreshE2eTest::clickSite(const QString& site) {
    const std::optional<bool> found = program.clickSite(site, kPageTimeoutMs);
    ASSERT_TRUE(found) << "the map page did not answer";
    ASSERT_TRUE(*found) << "the map has no spot for " << site.toStdString();
}

void RefreshE2eTest::startProcessOn(const QString& site) {
    const int before = imagesStored_;
    clickSite(site);
    if (HasFatalFailure())
        return;
    QTRY_VERIFY_WITH_TIMEOUT(imagesStored_ > before, kPageTimeoutMs) << messageLog().toStdString();
}

void RefreshE2eTest::publishAndRefresh() {
    ASSERT_TRUE(sim->advance());
    const int before = imagesStored_;
    refresh().mnuRefresh_Click();
    QTRY_VERIFY_WITH_TIMEOUT(imagesStored_ > before, kPageTimeoutMs) << messageLog().toStdString();
}

bool RefreshE2eTest::shutDown() {
    return refresh().RefreshState() == acquisition::refresh_state::Stopped &&
           controls().Command7->text() == QLatin1String("Restart");
}

QString RefreshE2eTest::messageLog() const {
    QStringList lines;
    for (const Message& message : messages)
        lines << QStringLiteral("[%1/%2] %3").arg(message.kind).arg(message.id).arg(message.text);
    return lines.isEmpty() ? QStringLiteral("no messages") : lines.join(QLatin1Char('\n'));
}

QDateTime RefreshE2eTest::slotTimeUtc(int slot) const {
    return core::oleToDateTime(window->loop().model().slotTime[slot], Qt::UTC);
}

QByteArray RefreshE2eTest::slotBytes(int slot) const {
    return platform::testing::readBytes(window->loop().slotFile(slot));
}

QMap<int, QByteArray> RefreshE2eTest::storedImages() const {
    QMap<int, QByteArray> images;
    for (int slot = 1; slot <= sets::kSlotCount; ++slot)
        if (window->loop().filled(slot))
            images.insert(slot, slotBytes(slot));
    return images;
}

} // namespace nubivista::e2e
