#include "display/loop_export.h"

#include "core/atomic_file.h"
#include "core/form1.h"
#include "core/message_service.h"
#include "display/loop_animation.h"
#include "display/loop_display.h"
#include "sets/loop_set.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>

namespace nubivista::display {

namespace {

const QString kMenuItem = QStringLiteral("mnuExportGif");
const QString kLastFolderFileName = QStringLiteral("LastExportFolder.txt");

QString suggestedFileName(const sets::SlotModel& model) {
    const QString site = model.siteCode.trimmed().toUpper();
    return (site.isEmpty() ? QStringLiteral("Radar") : site) + QStringLiteral(" loop.gif");
}

QString sizeText(qint64 bytes) {
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 KB").arg((bytes + 1023) / 1024);
    return QStringLiteral("%1 MB").arg(static_cast<double>(bytes) / (1024.0 * 1024.0), 0, 'f', 1);
}

} // namespace

GifFileChooser qtGifFileChooser(QWidget* parent) {
    return
        [parent](const QString& initialFolder, const QString& fileName) -> std::optional<QString> {
            QFileDialog chooser(parent, QStringLiteral("Export Loop As Animated GIF"),
                                initialFolder, QString::fromLatin1(kGifFilter));
            chooser.setOption(QFileDialog::DontUseNativeDialog, true);
            chooser.setAcceptMode(QFileDialog::AcceptSave);
            chooser.setFileMode(QFileDialog::AnyFile);
            chooser.setDefaultSuffix(QStringLiteral("gif"));
            chooser.selectFile(fileName);
            if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
                return std::nullopt;
            return chooser.selectedFiles().constFirst();
        };
}

LoopExport::LoopExport(LoopDisplay& display, GifFileChooser chooser)
    : display_(display), chooser_(std::move(chooser)) {
    core::Form1& shell = display_.shell();
    shell.attachMenuItem(kMenuItem, [this] { mnuExportGif_Click(); });

    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), shell.StatusBar1());
    cancelButton_->setObjectName(QStringLiteral("cmdCancelExport"));
    cancelButton_->setFlat(true);
    cancelButton_->setMaximumHeight(18);
    cancelButton_->hide();
    shell.StatusBar1()->addWidget(cancelButton_);
    shell.registerToolTip(cancelButton_, QStringLiteral("Stop The Export (no file is made)"));
    connect(cancelButton_, &QPushButton::clicked, this, &LoopExport::cancel);

    const sets::LoopSet& loop = display_.loop();
    connect(&loop, &sets::LoopSet::slotChanged, this, &LoopExport::updateMenuItem);
    connect(&loop, &sets::LoopSet::modelReset, this, &LoopExport::updateMenuItem);
    connect(&loop, &sets::LoopSet::picturesReloaded, this, &LoopExport::updateMenuItem);
    connect(&loop, &sets::LoopSet::imageStored, this, &LoopExport::updateMenuItem);
    updateMenuItem();
}

LoopExport::~LoopExport() {
    // A window that closes mid-export takes no half file with it.
    worker_.request_stop();
    if (worker_.joinable())
        worker_.join();
}

QString LoopExport::lastFolderFile() const {
    return display_.shell().paths().userDir + QLatin1Char('/') + kLastFolderFileName;
}

QString LoopExport::initialFolder() const {
    QFile file(lastFolderFile());
    if (file.open(QIODevice::ReadOnly)) {
        const QString folder = QString::fromUtf8(file.read(4096)).trimmed();
        if (!folder.isEmpty() && QDir(folder).exists())
            return folder;
    }
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return !pictures.isEmpty() && QDir(pictures).exists() ? pictures : QDir::homePath();
}

void LoopExport::updateMenuItem() {
    if (QAction* item = display_.shell().menuItem(kMenuItem))
        item->setEnabled(!running_ && display_.loop().filledCount() >= 2);
}

void LoopExport::mnuExportGif_Click() {
    if (running_ || !chooser_)
        return;
    const sets::LoopSet& loop = display_.loop();
    std::optional<QString> chosen = chooser_(initialFolder(), suggestedFileName(loop.model()));
    if (!chosen || chosen->isEmpty())
        return;
    QString path = *chosen;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".gif");
    // Remembering the folder is a convenience; a failure to is not worth a word.
    core::writeFileAtomically(lastFolderFile(), QFileInfo(path).absolutePath().toUtf8());

    const core::Settings& s = display_.settings();
    LoopGifLook look;
    look.delays = {s.LoopDelayMs, s.FirstExtraMs, s.LastExtraMs};
    look.rockMode = s.RockMode == 1;
    look.zoom = s.ZoomFactor;
    look.timeDisplayMode = s.TimeDisplayMode;
    LoopGifJob job = loopGifJob(
        loop.model(), [&loop](int slot) { return loop.picture(slot); },
        display_.animation().readSkipBoxes(), look, display_.clock(), display_.peers().overlayOf);
    if (job.frames.size() < 2) {
        display_.shell().messages().ShowMsgWind(
            1,
            QStringLiteral("At least two images must be in the loop (not checked to skip) "
                           "to export it."),
            0);
        return;
    }
    start(std::move(job), path);
}

void LoopExport::start(LoopGifJob job, const QString& path) {
    running_ = true;
    updateMenuItem();
    const int frames = static_cast<int>(job.frames.size());
    showProgress(0, frames);
    cancelButton_->show();
    worker_ = std::jthread([this, job = std::move(job), path, frames](std::stop_token stop) {
        const LoopGifOutcome outcome = writeLoopGif(job, path, [this, &stop](int done, int total) {
            QMetaObject::invokeMethod(
                this, [this, done, total] { showProgress(done, total); }, Qt::QueuedConnection);
            return !stop.stop_requested();
        });
        QMetaObject::invokeMethod(
            this, [this, outcome, path, frames] { end(outcome, path, frames); },
            Qt::QueuedConnection);
    });
}

void LoopExport::cancel() {
    if (running_)
        worker_.request_stop();
}

void LoopExport::showProgress(int done, int total) {
    if (!running_)
        return;
    core::Form1& shell = display_.shell();
    QProgressBar* bar = shell.ProgressBar1();
    bar->setMaximum(std::max(1, total));
    bar->setValue(std::min(done, total));
    bar->show();
    shell.statusPanel(1)->setText(
        QStringLiteral("Exporting the loop: %1 of %2 frames written").arg(done).arg(total));
}

void LoopExport::end(const LoopGifOutcome& outcome, const QString& path, int frames) {
    if (worker_.joinable())
        worker_.join();
    running_ = false;
    core::Form1& shell = display_.shell();
    cancelButton_->hide();
    shell.ProgressBar1()->hide();
    shell.ProgressBar1()->setValue(0);
    QLabel* panel = shell.statusPanel(1);
    switch (outcome.status) {
    case LoopGifOutcome::Status::Written:
        panel->setText(QStringLiteral("Loop exported: %1 frames, %2, %3")
                           .arg(frames)
                           .arg(sizeText(outcome.bytes), QDir::toNativeSeparators(path)));
        break;
    case LoopGifOutcome::Status::Cancelled:
        panel->setText(QStringLiteral("Loop export cancelled; no file was made."));
        break;
    case LoopGifOutcome::Status::Failed:
        panel->clear();
        shell.messages().ShowMsgWind(1, outcome.error, 0);
        break;
    }
    updateMenuItem();
}

} // namespace nubivista::display
