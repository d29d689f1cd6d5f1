#pragma once
// The About window: the program's title and version, what it does, where it
// keeps the user's data and the downloaded pages and images, and a link to the
// help page. Closing it only hides it.
#include <QString>
#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;

namespace nubivista::auxiliary {

// What the About window points to besides the user folder.
struct AboutPlaces {
    // The Internet cache; empty: QStandardPaths::CacheLocation + "/internet".
    QString cacheDir;
    // The local help page; empty: NubivistaHelp.htm in the program folder.
    QString helpPagePath;
    // Opens the help page; empty: the desktop opens helpPagePath's file address.
    std::function<void()> openHelpPage;
    // Where the radar pictures come from (the feed in use); empty: not shown.
    QString feedDescription;
};

class Form3 : public QWidget {
    Q_OBJECT
public:
    // userDir: the folder of the settings, the loop and the saved sets.
    explicit Form3(const QString& userDir, QWidget* parent = nullptr, AboutPlaces places = {});

    // The window's text as plain text: what the program does, and the
    // folders of the user's data and of the cache.
    QString aboutText() const;
    QString cacheDir() const { return places_.cacheDir; }
    QString helpPagePath() const { return places_.helpPagePath; }

    // The help link: opens the help page.
    void Label6_LinkActivated();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    static QString descriptionText();
    QLineEdit* folderBox(const QString& name, const QString& path);

    QString userDir_;
    AboutPlaces places_;
};

} // namespace nubivista::auxiliary
