#pragma once
// Small file and text checks that start-up and the set commands share.
#include <QString>

namespace nubivista::core {

// Returned by DirMissing when the path exists but is not a folder.
inline constexpr int kNotADirectory = 9909;
// Error numbers of the checks below (the old run-time error numbers).
inline constexpr int kPathNotFound = 76;
inline constexpr int kFileNotFound = 53;
inline constexpr int kPermissionDenied = 70;

// 0 when path is an existing folder; kNotADirectory when it is something else;
// another non-zero number when it cannot be examined (usually: it does not exist).
int DirMissing(const QString& path);

// 0 when the file can be opened for reading (it is opened and closed at once);
// otherwise a non-zero error number.
int FileMissing(const QString& path);

// The text before the first NUL character; the whole text when there is none.
QString CutAtNul(const QString& text);

} // namespace nubivista::core
