#include "sets/set_commands.h"

#include "core/app_identity.h"
#include "core/form1.h"
#include "core/message_service.h"
#include "core/settings.h"
#include "radar/site_table.h"
#include "sets/set_folders.h"

#include <QFileDialog>
#include <QFileInfo>
#include <utility>

namespace nubivista::sets {

SetFileChooser qtFileChooser(QWidget* parent) {
    return [parent](SetDialog dialog, const QString& initialFolder,
                    const QString& filter) -> std::optional<ChosenFile> {
        QFileDialog chooser(parent, QString(), initialFolder, filter);
        // Qt's own dialog: its context menu can delete a set folder.
        chooser.setOption(QFileDialog::DontUseNativeDialog, true);
        chooser.setAcceptMode(dialog == SetDialog::Save ? QFileDialog::AcceptSave
                                                        : QFileDialog::AcceptOpen);
        chooser.setFileMode(dialog == SetDialog::Save ? QFileDialog::AnyFile
                                                      : QFileDialog::ExistingFile);
        if (dialog == SetDialog::Save) {
            chooser.setOption(QFileDialog::DontConfirmOverwrite, true);
            chooser.setDefaultSuffix(QStringLiteral("sis"));
        }
        if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
            return std::nullopt;
        const QString path = chooser.selectedFiles().constFirst();
        return ChosenFile{path, QFileInfo(path).fileName()};
    };
}

SetCommands::SetCommands(core::Form1& shell, LoopSet& loop, SetFileChooser chooser,
                         SetCommandPeers peers)
    : QObject(&shell),
      shell_(shell),
      loop_(loop),
      chooser_(std::move(chooser)),
      peers_(std::move(peers)) {
    setObjectName(QStringLiteral("SetCommands"));
    shell_.attachMenuItem(QStringLiteral("mnuSaveSet"), [this] { mnuSaveSet_Click(); });
    shell_.attachMenuItem(QStringLiteral("mnuOpenSet"), [this] { mnuOpenSet_Click(); });
    shell_.attachMenuItem(QStringLiteral("mnuDeleteSet"), [this] { mnuDeleteSet_Click(); });
    shell_.attachMenuItem(QStringLiteral("mnuReOpenCurrSet"), [this] { mnuReOpenCurrSet_Click(); });
    shell_.attachMenuItem(QStringLiteral("mnuDelete"), [this] { mnuDelete_Click(); });
    shell_.attachMenuItem(QStringLiteral("mnuReset"), [this] { mnuReset_Click(); });
    shell_.registerDeferredAction(core::deferred::OpenSavedSet, [this] { OpenDeferredSet(); });
    shell_.registerDeferredAction(core::deferred::ReloadCurrentSet, [this] { ReloadCurrentSet(); });
}

core::Settings& SetCommands::settings() {
    return shell_.settings();
}

core::MessageService& SetCommands::messages() {
    return shell_.messages();
}

// ---- saving, opening, deleting and reloading sets ----

namespace {

const QString kBreak = QStringLiteral("\r\n");
const QString kLoadingHeader = QStringLiteral("An Error Occurred Loading Saved Image Set");
const QString kReloadingHeader = QStringLiteral("An Error Occurred Reoading The Image Set");

// The dialogs' filters in the form Qt's dialog reads.
const QString kSaveFilter = QStringLiteral("Saved Image Sets (*.sis)");
const QString kOpenFilter = QStringLiteral("Saved Image Sets (*.sis *.Sis *.SIS)");

constexpr int kSaveAdviceMsg = 13;
constexpr int kOpenAdviceMsg = 9;
constexpr int kReloadConfirmMsg = 10;
constexpr int kDeleteAdviceMsg = 8;

QString messageText(std::initializer_list<const char*> lines) {
    QStringList parts;
    for (const char* line : lines)
        parts << QString::fromLatin1(line);
    return kBreak + kBreak + parts.join(kBreak);
}

QString saveWhileRunningText() {
    return messageText({"Use The -Shut-Down- Button To Halt ",
                        "The Current Running Process, Temporarily, ", "To Avoid Errors.",
                        "Then, Save The Set."});
}

QString saveAdviceText() {
    return messageText({"After You Close This Message Window",
                        "And The Save-File Dialog Window Appears,",
                        "Enter A Name For The Set You Want To Save."});
}

QString overwriteQuestion(const QString& setName) {
    return kBreak + kBreak + QStringLiteral("The Set: ") + kBreak + setName + kBreak +
           QStringLiteral("Already Exists. . .Overwrite It?");
}

QString openAdviceText() {
    return messageText({"Select The Directory Name For The ", "Set You Want To Open. ",
                        "Then Choose The .sis File In That Directory."});
}

QString reloadQuestion() {
    return messageText({"Confirm:", "Do You Want To Reload", "The Last Current Set Of Images."});
}

QString deleteAdviceText() {
    return messageText({"Right-Click The Directory Name Of The Set You Want To Delete",
                        "And Then On The Pop-Up Menu, Click Delete.",
                        "Then, Just Close The Dialog Window."});
}

QString notRadarPageText() {
    return messageText({"The Current Web Page URL Is Not A  ",
                        "National Weather Service Radar Page.",
                        "Auto-Refresh Process Is Not Posible."});
}

QString extensionText() {
    return QStringLiteral("Filename extention should Be .sis");
}

void showSetError(core::MessageService& messages, const QString& header, const QString& detail) {
    messages.ShowMsgWind(1, kBreak + kBreak + kBreak + header + kBreak + detail, 0);
}

// A message the user switched off counts as answered with answer.
bool answeredWith(core::MessageService& messages, int kind, const QString& text, int msgId,
                  int answer) {
    return messages.isSuppressed(msgId) || messages.ShowMsgWind(kind, text, msgId) == answer;
}

std::optional<ChosenFile> choose(const SetFileChooser& chooser, SetDialog dialog,
                                 const QString& initialFolder, const QString& filter) {
    if (!chooser)
        return std::nullopt;
    std::optional<ChosenFile> chosen = chooser(dialog, initialFolder, filter);
    if (chosen && chosen->path.isEmpty())
        return std::nullopt;
    return chosen;
}

// Empties the slots in memory (the current set on disk stays for a reload)
// and blanks their pictures, stamp boxes and skip boxes, ending on tab 1.
void clearSlotDisplay(LoopSet& loop, const SetCommandPeers& peers) {
    if (peers.clearMeasurement)
        peers.clearMeasurement();
    for (int position = kSlotCount; position >= 1; --position) {
        loop.clearSlot(position);
        if (peers.selectTab)
            peers.selectTab(position);
        if (peers.setSkipBox)
            peers.setSkipBox(position, false, false);
    }
}

struct ReadRules {
    QString header;
    QString notRadarText;
    // The folder whose images are copied into the loop folder; empty when
    // the loop folder's own images are read (a reload).
    QString setFolder;
};

// Reads the record at path and makes it the current set. A record that is
// refused, or whose images are not all there, changes nothing but the
// already cleared display.
bool readSetRecordInto(core::Form1& shell, LoopSet& loop, const SetCommandPeers& peers,
                       const QString& path, const ReadRules& rules) {
    core::Settings& settings = shell.settings();
    core::MessageService& messages = shell.messages();
    const SetRecordLoad load =
        loadSetRecord(path, settings.NavsGoToPageUrl != 0, rules.notRadarText);
    if (load.failure == SetRecordLoad::Failure::UnknownProduct) {
        messages.ShowMsgWind(1, notRadarPageText(), 0);
        return false;
    }
    if (!load.ok()) {
        showSetError(messages, rules.header, load.detail);
        return false;
    }
    const FileWork images =
        rules.setFolder.isEmpty()
            ? checkSlotImages(load.model, loop.loopImgBase())
            : copySetImagesToLoop(load.model, rules.setFolder, loop.loopImgBase());
    if (!images.ok) {
        showSetError(messages, rules.header, images.detail);
        return false;
    }

    settings.RefreshIntervalMinutes = load.refreshIntervalMinutes;
    if (peers.showInterval)
        peers.showInterval(load.refreshIntervalMinutes);
    settings.LongRangeFlag = load.product.longRange ? 1 : 0;
    settings.MapScaleActive = load.product.mapScale == radar::MapScaleChoice::Long
                                  ? settings.MapScaleLong
                                  : settings.MapScale;
    if (peers.showProduct)
        peers.showProduct(load.product.productCode);

    // Decodes the pictures; the stamp boxes redraw themselves from them.
    loop.replaceModel(load.model);
    if (peers.setSkipBox)
        for (int slot = 1; slot <= kSlotCount; ++slot)
            peers.setSkipBox(loop.tabForSlot(slot), false, loop.filled(slot));
    const int newest = load.model.newestSlot;
    int tab = newest - load.model.ringOffset;
    if (tab < 1)
        tab += kSlotCount;
    if (peers.selectTab)
        peers.selectTab(tab);
    loop.save();
    if (peers.picturesLoaded)
        peers.picturesLoaded(newest);
    if (peers.setMapPaneAside)
        peers.setMapPaneAside();
    return true;
}

} // namespace

void SetCommands::mnuSaveSet_Click() {
    if (peers_.refreshState && peers_.refreshState() >= 1) {
        messages().ShowMsgWind(1, saveWhileRunningText(), 0);
        return;
    }
    if (loop_.filledCount() == 0)
        return;
    if (!answeredWith(messages(), 8, saveAdviceText(), kSaveAdviceMsg, core::MsgOkay))
        return;
    std::optional<ChosenFile> chosen =
        choose(chooser_, SetDialog::Save, shell_.paths().savedSetsDir, kSaveFilter);
    if (!chosen)
        return;
    if (const QString title = withDefaultSetExtension(chosen->title); title != chosen->title) {
        chosen->path += title.mid(chosen->title.size());
        chosen->title = title;
    }
    if (!hasSetExtension(chosen->path)) {
        showSetError(messages(), kLoadingHeader, extensionText());
        return;
    }
    const bool exists = QFileInfo::exists(chosen->path);
    const SaveTarget target = saveTargetFor(chosen->path, chosen->title, exists);
    if (exists && messages().ShowMsgWind(3, overwriteQuestion(target.setName), 0) != core::MsgYes)
        return;
    const FileWork saved = saveSetToFolder(loop_.model(), settings().RefreshIntervalMinutes,
                                           loop_.loopImgBase(), target);
    if (!saved.ok)
        showSetError(messages(), kLoadingHeader, saved.detail);
}

void SetCommands::mnuOpenSet_Click() {
    if (peers_.shutDownState)
        peers_.shutDownState();
    if (!answeredWith(messages(), 8, openAdviceText(), kOpenAdviceMsg, core::MsgOkay))
        return;
    const std::optional<ChosenFile> chosen =
        choose(chooser_, SetDialog::Open, shell_.paths().savedSetsDir, kOpenFilter);
    if (!chosen)
        return;
    if (!QFileInfo(chosen->path).isFile()) {
        showSetError(messages(), kLoadingHeader, fileMissingText(chosen->path));
        return;
    }
    if (!hasSetExtension(chosen->path)) {
        showSetError(messages(), kLoadingHeader, extensionText());
        return;
    }
    deferredSetPath_ = chosen->path;
    deferredSetName_ = chosen->title;
    clearSlotDisplay(loop_, peers_);
    shell_.armDeferredAction(core::deferred::OpenSavedSet, core::kSetActionDelayMs);
}

void SetCommands::mnuDeleteSet_Click() {
    if (!answeredWith(messages(), 8, deleteAdviceText(), kDeleteAdviceMsg, core::MsgOkay))
        return;
    // The user deletes a set folder in the dialog itself; its choice means nothing.
    choose(chooser_, SetDialog::Delete, shell_.paths().savedSetsDir, kOpenFilter);
}

void SetCommands::mnuReOpenCurrSet_Click() {
    if (peers_.shutDownState)
        peers_.shutDownState();
    if (!answeredWith(messages(), 4, reloadQuestion(), kReloadConfirmMsg, core::MsgYes))
        return;
    clearSlotDisplay(loop_, peers_);
    shell_.armDeferredAction(core::deferred::ReloadCurrentSet, core::kSetActionDelayMs);
}

void SetCommands::OpenDeferredSet() {
    if (deferredSetPath_.isEmpty())
        return;
    const QString path = std::exchange(deferredSetPath_, QString());
    const QString name = std::exchange(deferredSetName_, QString());
    if (peers_.shutDownState)
        peers_.shutDownState();
    if (peers_.resetMinutesCounted)
        peers_.resetMinutesCounted();
    const ReadRules rules{kLoadingHeader, QStringLiteral("URL Not NWS Radar Image Page"),
                          recordFolder(path)};
    if (!readSetRecordInto(shell_, loop_, peers_, path, rules))
        return;
    if (peers_.setCaption)
        peers_.setCaption(captionNameFromTitle(name) + QStringLiteral(" - ") +
                          radar::SiteDescriptionFor(loop_.model().siteCode) +
                          QStringLiteral(" - ") + core::kProgramTitle);
}

void SetCommands::ReloadCurrentSet() {
    const ReadRules rules{kReloadingHeader, QStringLiteral("URL Not NWS Radar Image"), QString()};
    if (!readSetRecordInto(shell_, loop_, peers_, shell_.paths().setRecPath, rules))
        return;
    if (peers_.setCaption)
        peers_.setCaption(radar::SiteDescriptionFor(loop_.model().siteCode) +
                          QStringLiteral(" - ") + core::kProgramTitle +
                          QStringLiteral(" - (reloaded last current set)"));
}

} // namespace nubivista::sets
