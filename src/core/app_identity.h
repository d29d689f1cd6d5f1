#pragma once
// The program's name and version, as the windows and the user folders use them.
#include <QString>

namespace nubivista::core {

// The program title: window captions, the user data folder, the help page name.
inline const QString kProgramTitle = QStringLiteral("Nubivista");

// "Vs." followed by major.minor.revision, as the About window shows it.
QString versionText();

} // namespace nubivista::core
