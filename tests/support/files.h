#pragma once
// File helpers that many tests share: whole-file reads and writes, and a
// python3 runner for fixtures packed independently of the program's codecs.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <map>
#include <optional>

namespace nubivista::testing {

// The file's bytes; empty when it cannot be read.
inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A real Level III product from tests/data/level3; empty when it cannot be read.
inline QByteArray productFile(const char* name) {
    return readBytes(QStringLiteral(NUBIVISTA_SOURCE_DIR "/tests/data/level3/") +
                     QLatin1String(name));
}

// Writes the whole file, making its folder first; false on any failure.
inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Writes a shell script its owner may run, as a new file: a copy of the old
// one still running keeps reading its own.
inline bool writeScript(const QString& path, const QByteArray& body) {
    QFile::remove(path);
    return writeBytes(path, "#!/bin/sh\n" + body) &&
           QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
}

// Runs a python3 script (typically struct.pack calls) and returns what it
// wrote to standard output; nullopt when python3 is missing or the script fails.
inline std::optional<QByteArray> runPython(const char* script) {
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(python, {QStringLiteral("-c"), QString::fromUtf8(script)});
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput();
}

// Every file of a folder (names starting with "." too) with its bytes.
inline std::map<QString, QByteArray> folderContents(const QString& folder) {
    std::map<QString, QByteArray> contents;
    for (const QFileInfo& file :
         QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot))
        contents[file.fileName()] = readBytes(file.filePath());
    return contents;
}

#ifdef NUBIVISTA_APP_DIR
// Picture n of the eleven sample pictures the program ships, counting round.
inline QString samplePicture(int n) {
    return QStringLiteral(NUBIVISTA_APP_DIR "/Sample Loop Images/latest%1.gif")
        .arg(1 + (n - 1) % 11);
}
#endif

} // namespace nubivista::testing
