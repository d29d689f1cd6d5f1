#include "sets/set_commands.h"

#include "core/form1.h"
#include "core/message_service.h"

#include <QFileDialog>

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
        if (dialog == SetDialog::Save)
            chooser.setOption(QFileDialog::DontConfirmOverwrite, true);
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

void SetCommands::mnuSaveSet_Click() {}
void SetCommands::mnuOpenSet_Click() {}
void SetCommands::mnuDeleteSet_Click() {}
void SetCommands::mnuReOpenCurrSet_Click() {}
void SetCommands::OpenDeferredSet() {}
void SetCommands::ReloadCurrentSet() {}

} // namespace nubivista::sets
