#include "app/demo_window.h"

#include "acquisition/platform/null_browser_pane.h"
#include "display/tab_display.h"
#include "display/zoom_scroll.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>

namespace nubivista::app {

namespace {
constexpr int kSampleImages = 11;
constexpr double kOneMinute = 1.0 / 1440.0;
constexpr sets::OleDate kFirstImageTime = 46362.5; // 6 December 2026, 12:00 UTC
} // namespace

DemoWindow::DemoWindow(const QString& appDir, int images, QSize sizePx) {
    const core::AppPaths paths = core::derivePaths(appDir, home_.path());
    QDir().mkpath(paths.loopImagesDir);
    MainWindowServices services;
    services.settings = &settings_;
    services.paths = paths;
    services.messages = &messages_;
    services.clock = &clock_;
    services.makePane = [] { return new platform::NullBrowserPane; };
    services.openInNewWindow = [](const QString&) {};
    window_ = std::make_unique<MainWindow>(services);

    core::Form1& form = window_->form1();
    form.Form_Load();
    form.resize(sizePx);
    form.show();
    form.Form_Activate();

    sets::LoopSet& loop = window_->loop();
    // The sample loop is of the Milwaukee radar.
    loop.updateModel([](sets::SlotModel& model) { model.siteCode = QStringLiteral("kmkx"); });
    const QString sampleDir = QDir(appDir).filePath(QStringLiteral("Sample Loop Images"));
    QSize natural;
    for (int slot = 1; slot <= images && slot <= sets::kSlotCount; ++slot) {
        const QString sample = QDir(sampleDir).filePath(
            QStringLiteral("latest%1.gif").arg(1 + (slot - 1) % kSampleImages));
        QFile::remove(loop.slotFile(slot));
        QFile::copy(sample, loop.slotFile(slot));
        loop.storeImage(slot, kFirstImageTime + (slot - 1) * kOneMinute);
        natural = QImageReader(sample).size();
    }
    ok_ = loop.filledCount() == images && natural.isValid();
    if (natural.isValid()) {
        display::ZoomScroll& zoom = window_->display().zoom();
        zoom.setNaturalSize(display::toTwips(natural.width()), display::toTwips(natural.height()));
        zoom.UpdateScrollRanges();
        zoom.SyncScrollBars(false, false);
        zoom.placeScrollBars();
    }
    window_->display().tabs().selectTab(1);
    QCoreApplication::processEvents();
}

} // namespace nubivista::app
