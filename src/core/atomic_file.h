#pragma once
// Whole-file writes that never leave a half-written file behind: the bytes go
// to a temporary file in the same folder, which replaces the target only when
// every byte is on disk. A crash or a full disk keeps the previous file.
#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace nubivista::core {

struct WriteOutcome {
    bool ok = false;
    QString error; // user-readable reason when !ok
};

// Writes all of bytes to an open device; false when the device takes fewer.
bool writeAll(QIODevice& device, const QByteArray& bytes);

// Replaces the file at path with bytes, atomically.
WriteOutcome writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace nubivista::core
