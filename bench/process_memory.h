#pragma once
// The benchmarks' memory figure: a process's resident set, from /proc.
#include <QFile>

namespace nubivista::bench {

// A figure of /proc/<pid>/status in kB ("VmRSS:", "VmHWM:"); 0 when unread.
inline qint64 statusKb(const QString& pid, const QByteArray& field) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

inline qint64 residentKb(const QString& pid = QStringLiteral("self")) {
    return statusKb(pid, "VmRSS:");
}

// The most the process ever held resident.
inline qint64 peakResidentKb(const QString& pid = QStringLiteral("self")) {
    return statusKb(pid, "VmHWM:");
}

} // namespace nubivista::bench
