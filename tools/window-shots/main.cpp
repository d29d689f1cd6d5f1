// Saves pictures of the main window with the sample loop in its slots, so a
// change of the window can be looked at without a radar feed:
//   xvfb-run -a build/release/tools/window-shots /tmp/shots
//   QT_SCALE_FACTOR=2 xvfb-run -a build/release/tools/window-shots /tmp/shots-2x
// One PNG per state: zoom 1 with the panel shown, zoom 2.5 scrolled, the
// panel hidden, a narrow window, the Options window's two tabs, places on the
// picture and the Places window, the storm tracks the simulator gives the
// sample loop's scans with two warnings (zoom 1 and 2), the About window and the feedback window.
#include "app/demo_window.h"
#include "auxiliary/form3.h"
#include "auxiliary/form6.h"
#include "display/tab_display.h"
#include "display/window_layout.h"
#include "display/zoom_math.h"
#include "display/zoom_scroll.h"
#include "feed/sim/sim_storms.h"
#include "options/form4.h"
#include "sets/companion_files.h"
#include "sets/set_record.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTextStream>
#include <QTimer>
#include <cstdio>

using namespace nubivista;

namespace {

void settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

bool save(QWidget& form, const QDir& out, const QString& name) {
    settle();
    const QString path = out.filePath(name + QStringLiteral(".png"));
    const bool saved = form.grab().save(path);
    QTextStream(stdout) << (saved ? "wrote " : "could not write ") << path << Qt::endl;
    return saved;
}

void zoomTo(app::DemoWindow& demo, float factor) {
    demo.settings().ZoomFactor = factor;
    display::ZoomScroll& zoom = demo.window().display().zoom();
    zoom.setNaturalSize(9000, 8250);
    zoom.UpdateScrollRanges();
    zoom.SyncScrollBars(false, false);
    zoom.placeScrollBars();
    demo.window().display().controls().Text12->setText(display::zoomFactorText(factor));
}

// Keeps beside each sample image the storm cells the simulator gives its scan
// (the time the sample set's record gives it) and two warnings, as a live
// process keeps the feed's.
void keepSampleStormCells(app::DemoWindow& demo) {
    sets::LoopSet& loop = demo.window().loop();
    const std::optional<feed::sim::Site> site = feed::sim::findSite(QStringLiteral("kmkx"));
    const sets::SetRecordRead sample =
        sets::readSetRecordFile(QDir(QStringLiteral(NUBIVISTA_APP_DIR))
                                    .filePath(QStringLiteral("Sample Loop Images/CurrSetRec.sis")));
    if (!site || !sample.record)
        return;
    for (int slot = 1; slot <= sets::kSlotCount; ++slot) {
        if (!loop.filled(slot) || sample.record->slotFilled[slot] != 1)
            continue;
        // The images under their own scan times, which the warnings go by.
        loop.setSlotTime(slot, sample.record->slotTime[slot]);
        const QDateTime scan = core::oleToDateTime(sample.record->slotTime[slot], Qt::UTC);
        QFile file(sets::stormCellsFileOf(loop.slotFile(slot)));
        if (file.open(QIODevice::WriteOnly))
            file.write(feed::sim::stormCellsJson(*site, scan.toSecsSinceEpoch()));
    }
    // Two warnings over the whole loop: a tornado warning about the cell near
    // Milwaukee and a severe thunderstorm warning south of it.
    const QByteArray warnings = R"({"site": "kmkx", "fetched": "2026-06-12T14:00:00Z",
      "warnings": [
        {"id": "KMKX.TO.W.0007", "event": "Tornado Warning", "expires": "2026-06-12T14:30:00Z",
         "issued": "2026-06-12T12:30:00Z", "headline": "Tornado Warning for Milwaukee County",
         "polygon": [[43.15, -88.1], [43.15, -87.7], [42.85, -87.7], [42.85, -88.1]]},
        {"id": "KMKX.SV.W.0031", "event": "Severe Thunderstorm Warning",
         "issued": "2026-06-12T12:30:00Z", "expires": "2026-06-12T14:45:00Z",
         "headline": "Severe Thunderstorm Warning for Rock County",
         "polygon": [[42.6, -89.4], [42.7, -88.9], [42.35, -88.8], [42.25, -89.3]]}]})";
    for (int slot = 1; slot <= sets::kSlotCount; ++slot) {
        QFile file(sets::warningsFileOf(loop.slotFile(slot)));
        if (loop.filled(slot) && file.open(QIODevice::WriteOnly))
            file.write(warnings);
    }
    loop.replaceModel(loop.model());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(out.path()));
        return 1;
    }
    app::DemoWindow demo(QStringLiteral(NUBIVISTA_APP_DIR), 11, {1000, 760});
    if (!demo.ok()) {
        std::fprintf(stderr, "the sample set is missing from %s\n", NUBIVISTA_APP_DIR);
        return 1;
    }
    core::Form1& form = demo.window().form1();
    display::LoopDisplay& display = demo.window().display();
    display.tabs().selectTab(7);
    bool ok = save(form, out, QStringLiteral("zoom1-panel-shown"));

    zoomTo(demo, 2.5f);
    display.controls().HScroll1->setValue(display.controls().HScroll1->maximum() / 2);
    display.controls().VScroll1->setValue(display.controls().VScroll1->maximum() / 3);
    ok = save(form, out, QStringLiteral("zoom2.5-scrolled")) && ok;

    zoomTo(demo, 1.0f);
    display.layout().Command13_MouseDown(Qt::LeftButton);
    ok = save(form, out, QStringLiteral("panel-hidden")) && ok;
    display.layout().Command13_MouseDown(Qt::LeftButton);

    form.resize(460, 520);
    ok = save(form, out, QStringLiteral("narrow")) && ok;

    form.menuItem(QStringLiteral("mnuOptionsSett"))->trigger();
    options::Form4& optionsWindow = demo.window().form4();
    ok = save(optionsWindow, out, QStringLiteral("options-general")) && ok;
    optionsWindow.TabStrip1->setCurrentIndex(1);
    ok = save(optionsWindow, out, QStringLiteral("options-dist-dir-speed-eta")) && ok;
    optionsWindow.Option1[1]->click();
    ok = save(optionsWindow, out, QStringLiteral("options-kilometers")) && ok;
    optionsWindow.close();

    // Two places by the sample loop's radar, one of them watched.
    demo.window().places().add({QStringLiteral("Home"), 43.0389, -87.9065, 10, true});
    demo.window().places().add({QStringLiteral("Madison"), 43.0731, -89.4012, 10, false});
    ok = save(form, out, QStringLiteral("places-marks")) && ok;
    form.menuItem(QStringLiteral("mnuPlaces"))->trigger();
    ok = save(demo.window().placesWindow(), out, QStringLiteral("places-window")) && ok;
    demo.window().placesWindow().close();

    keepSampleStormCells(demo);
    form.resize(1000, 760);
    display.tabs().selectTab(7);
    ok = save(form, out, QStringLiteral("storm-tracks")) && ok;
    zoomTo(demo, 2.0f);
    display.controls().HScroll1->setValue(display.controls().HScroll1->maximum() / 2);
    display.controls().VScroll1->setValue(display.controls().VScroll1->maximum() / 2);
    ok = save(form, out, QStringLiteral("storm-tracks-zoom2")) && ok;
    zoomTo(demo, 1.0f);

    form.menuItem(QStringLiteral("mnuAbout"))->trigger();
    ok = save(demo.window().form3(), out, QStringLiteral("about")) && ok;
    demo.window().form3().close();
    form.menuItem(QStringLiteral("mnuBugsSuggest"))->trigger();
    ok = save(demo.window().form6(), out, QStringLiteral("feedback")) && ok;
    return ok ? 0 : 1;
}
