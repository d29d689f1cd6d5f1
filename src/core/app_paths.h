#pragma once
// The folders and files the program uses, derived once at start-up and passed
// to whoever needs them.
#include <QString>
#include <QUrl>

namespace nubivista::core {

// One of the program's own local pages: its file path and its file address.
struct LocalPage {
    QString path;
    QUrl url;
};

struct AppPaths {
    QString appDir;          // the program folder (shipped material beside the executable)
    QString profileDir;      // the per-user writable folder standing in for the profile folder
    QString userDir;         // profileDir/Application Data/Nubivista
    QString iniPath;         // userDir/Nubivista.ini
    QString loopImagesDir;   // userDir/Loop Images
    QString savedSetsDir;    // userDir/Saved Image Sets
    QString loopImgBase;     // userDir/Loop Images/latest
    QString loopImgExt;      // ".gif"
    QString setRecPath;      // userDir/Loop Images/CurrSetRec.sis
    QString placesPath;      // userDir/Places.tsv
    QString preferencesPath; // userDir/Preferences.ini (settings beyond the record)
    LocalPage beginNav;
    LocalPage beginLoopNav;
    LocalPage startBlank;
    LocalPage appClose;
    // Written when the feed cannot start, so it lives with the user's data.
    LocalPage feedProblem; // userDir/FeedNotStarted.htm
    QString helpPagePath;  // appDir/NubivistaHelp.htm
};

// The program folder as the rest of the program joins names to it: a root
// folder loses its trailing separator so that appDir + "/" + name stays valid.
QString appDirFrom(const QString& executableDir);

// Every path of AppPaths from the program folder and the profile folder.
AppPaths derivePaths(const QString& appDir, const QString& profileDir);

// A real file: URL for a local path (spaces and case kept as they are).
QUrl localPageUrl(const QString& path);

// Addresses compared the way the program compares page addresses: without
// regard to case.
bool sameAddress(const QString& a, const QString& b);

} // namespace nubivista::core
