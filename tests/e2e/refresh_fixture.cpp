#include "e2e/refresh_fixture.h"

#include "acquisition/platform/web_engine_setup.h"
#include "app/own_feed.h"
#include "core/ole_date.h"
#include "core/press_button.h"
#include "core/wait_ticks.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QWebEnginePage>
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
    // No desktop's notification service: alarms take the message window.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/nubivista-test-bus");
}

void RefreshE2eTest::SetUp() {
    ASSERT_TRUE(home.isValid());
    if (ownFeed) {
        layer = platform::testing::layerInHome(home, 0, true, paneFetchTimeoutMs);
        feed = app::startOwnFeed({acquisition::FeedSource::Demo, {}}, *layer,
                                 QStringLiteral(NUBIVISTA_APP_DIR "/nubivista-feed"),
                                 QStringList{"--admin", "--frame-interval", "300"} + simArguments);
        attachToOwnFeed();
        ASSERT_FALSE(HasFatalFailure());
    } else {
        sim = std::make_unique<RadarSimProcess>(simArguments);
        ASSERT_TRUE(sim->isRunning()) << "the feed did not start";
        layer =
            platform::testing::layerThroughSim(home, *sim, true, paneFetchTimeoutMs, layerOptions);
    }
    paths = core::derivePaths(QStringLiteral(NUBIVISTA_APP_DIR), home.path());
    ASSERT_TRUE(QFile::exists(paths.beginNav.path))
        << "the program's pages are not in " << paths.appDir.toStdString();
    ASSERT_TRUE(layer->isRunning()) << "the Internet layer did not start";
    QDir().mkpath(paths.loopImagesDir);
    QDir().mkpath(paths.savedSetsDir);
    messageService.setAnswerer([this](int kind, const QString& text, int id) {
        const Message message{kind, text, id};
        messages.append(message);
        if (kind == 1)
            return int(core::MsgOkay);
        return answer ? answer(message) : int(core::MsgYes);
    });
    profile = std::make_unique<platform::PaneProfile>(layer->credentials());

    acquisition::RelayLaunchers launchers;
    launchers.startProgram = [this](const QString& program, const QStringList& arguments) {
        relayed << program + ' ' + arguments.join(' ');
        return true;
    };
    launchers.openInDefaultBrowser = [this](const QUrl& address, const std::function<void()>&) {
        relayed << address.toString();
    };
    form5 = std::make_unique<acquisition::Form5>(paths, new platform::WebEnginePane(*profile),
                                                 launchers);
    form5->Form_Load();
    form5->hide();

    app::MainWindowServices services;
    services.settings = &settings;
    services.paths = paths;
    services.messages = &messageService;
    services.clock = &programClock();
    services.makePane = [this] { return new platform::WebEnginePane(*profile); };
    services.openInNewWindow = [this](const QString& address) { form5->OpenInNewWindow(address); };
    services.internet = layer.get();
    services.onlineSwitchDone = true;
    if (ownFeed) {
        services.feed = {acquisition::FeedSource::Demo, {}};
        services.feedProcess = feed.get();
    }
    services.takeMapPopup = [this] {
        form5->setPopupRequested(true);
        return form5->WebBrowser1;
    };
    window = std::make_unique<app::MainWindow>(services);
    messageService.setParentWindow(&form());
    window->refresh().setTimeScale(timeScale);
    QObject::connect(&loop(), &sets::LoopSet::imageStored, [this] { ++imagesStored_; });
    QObject::connect(&mapPane(), &platform::BrowserPane::documentComplete,
                     [this](const QUrl& address) {
                         if (address == QUrl(settings.NationalMapUrl.trimmed()))
                             ++mapLoads_;
                     });
    form().Form_Load();
    form().resize(1100, 900);
    form().show();
    form().Form_Activate();
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
    // The answer may come after a timed-out wait: it must not outlive its target.
    auto found = std::make_shared<std::optional<bool>>();
    mapPane().page()->runJavaScript(
        QStringLiteral("(function() {"
                       "  var spot = document.querySelector('area[href$=\"/si.%1.shtml\"]');"
                       "  if (!spot) return false;"
                       "  spot.click();"
                       "  return true;"
                       "})()")
            .arg(site),
        [found](const QVariant& result) { *found = result.toBool(); });
    QTRY_VERIFY_WITH_TIMEOUT(found->has_value(), kPageTimeoutMs) << "the map page did not answer";
    ASSERT_TRUE(found->value()) << "the map has no spot for " << site.toStdString();
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
