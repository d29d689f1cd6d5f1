#include "app/gif_export_command.h"

#include "app/overlay_shelf.h"
#include "core/ole_date.h"
#include "core/preferences.h"
#include "core/settings.h"
#include "display/loop_gif.h"
#include "places/picture_position.h"
#include "places/places_text.h"
#include "places/places_window.h"
#include "radar/site_table.h"
#include "sets/companion_files.h"
#include "sets/current_set.h"
#include "sets/loop_set.h"
#include "sets/set_folders.h"

#include <QDir>
#include <QFileInfo>

namespace nubivista::app {

namespace {

struct SetFiles {
    QString record;
    QString imageBase; // ".../latest"
};

// The current loop, a saved set by name, or a saved set's record by path.
SetFiles setFilesFor(const GifExportRequest& request, const core::AppPaths& paths) {
    if (request.setName.isEmpty())
        return {paths.setRecPath, paths.loopImgBase};
    const QFileInfo asPath(request.setName);
    if (sets::hasSetExtension(request.setName) && asPath.isFile())
        return {asPath.absoluteFilePath(),
                sets::recordFolder(asPath.absoluteFilePath()) + QStringLiteral("latest")};
    const QString folder = paths.savedSetsDir + QLatin1Char('/') + request.setName;
    return {folder + QLatin1Char('/') + request.setName + QStringLiteral(".sis"),
            folder + QStringLiteral("/latest")};
}

QString plainLines(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

// What the window draws over each picture, as its switches were left: the
// storm cells kept beside the image and the places.
display::OverlayOfSlot overlayFor(const sets::SlotModel& model, const QString& imageBase,
                                  const core::Settings& settings, const core::AppPaths& paths) {
    const radar::SiteRow* site = radar::FindSite(model.siteCode);
    if (site == nullptr)
        return {};
    const radar::GeoPoint radar{site->latitude, site->longitude};
    const bool longRange = settings.LongRangeFlag != 0;
    const core::Preferences preferences(paths.preferencesPath);
    std::vector<display::PlaceMark> marks;
    QFile placesFile(paths.placesPath);
    if (preferences.flag(places::kShowPlacesKey, true) && placesFile.open(QIODevice::ReadOnly)) {
        for (const places::PlacesLine& line : places::readPlacesText(placesFile.readAll()).lines)
            if (line.place)
                if (const auto pixel = places::picturePixelOf(
                        radar, longRange, {line.place->latitude, line.place->longitude}))
                    marks.push_back({line.place->name, *pixel});
    }
    const bool tracks = preferences.flag(kStormTracksKey, true);
    const bool warnings = preferences.flag(kWarningsKey, true);
    const double stampAdjust = settings.StampAdjustMinutes;
    return [=](int slot) {
        display::PictureOverlay overlay;
        overlay.places = marks;
        const std::optional<QString> image = sets::SlotImageFile(imageBase, slot);
        if (!image)
            return overlay;
        if (tracks)
            if (const auto cells = readStormCellsFile(sets::stormCellsFileOf(*image)))
                overlay.storms = stormMarksFor(*cells, radar, longRange);
        const std::optional<core::OleDate> scan =
            core::oleAddMinutes(model.slotTime[slot], -stampAdjust);
        if (warnings && scan)
            if (const auto held = readWarningsFile(sets::warningsFileOf(*image)))
                overlay.warnings =
                    warningMarksFor(*held, core::oleToDateTime(*scan, Qt::UTC), radar, longRange);
        return overlay;
    };
}

int runGifExport(const GifExportRequest& request, const core::AppPaths& paths,
                 const core::Clock& clock, QTextStream& out, QTextStream& err) {
    const SetFiles files = setFilesFor(request, paths);
    const QString what = request.setName.isEmpty()
                             ? QStringLiteral("the current loop")
                             : QStringLiteral("the saved set \"%1\"").arg(request.setName);
    if (!QFileInfo(files.record).isFile()) {
        err << "nubivista: there is no " << what.mid(4) << " to export ("
            << QDir::toNativeSeparators(files.record) << " is missing)\n";
        return 1;
    }
    // The slots are all an export needs: a set whose stored address the
    // window would refuse still plays.
    const sets::SetRecordLoad load = sets::loadSetRecord(files.record, false, {});
    if (load.failure == sets::SetRecordLoad::Failure::BadRecord) {
        err << "nubivista: " << QDir::toNativeSeparators(files.record)
            << " is not a usable image set record: " << plainLines(load.detail).simplified()
            << '\n';
        return 1;
    }
    const sets::SlotModel& model = load.model;

    // The settings as the window would load them; a program never run here
    // plays with its defaults.
    core::Settings settings;
    if (QFileInfo(paths.iniPath).isFile()) {
        const core::SettingsLoadResult loaded = core::loadSettingsFile(paths.iniPath);
        if (loaded.settings)
            settings = *loaded.settings;
        else
            err << "nubivista: the settings could not be read (" << loaded.error
                << "); the default loop delays are used\n";
    }
    display::LoopGifLook look;
    look.delays = {settings.LoopDelayMs, settings.FirstExtraMs, settings.LastExtraMs};
    look.rockMode = settings.RockMode == 1;
    look.zoom = 1.0;
    look.timeDisplayMode = settings.TimeDisplayMode;

    const display::LoopGifJob job = display::loopGifJob(
        model,
        [&files](int slot) {
            const std::optional<QString> file = sets::SlotImageFile(files.imageBase, slot);
            return file ? sets::readPicture(*file) : QImage();
        },
        display::TabFlags{}, look, clock, overlayFor(model, files.imageBase, settings, paths));
    if (job.frames.size() < 2) {
        err << "nubivista: " << what
            << " holds fewer than two images; there is no loop to export\n";
        return 1;
    }
    const display::LoopGifOutcome outcome = display::writeLoopGif(job, request.file);
    if (outcome.status != display::LoopGifOutcome::Status::Written) {
        err << "nubivista: " << plainLines(outcome.error) << '\n';
        return 1;
    }
    out << "nubivista: wrote " << what << " (" << job.frames.size() << " frames, " << outcome.bytes
        << " bytes) to " << QDir::toNativeSeparators(request.file) << '\n';
    return 0;
}

} // namespace nubivista::app
