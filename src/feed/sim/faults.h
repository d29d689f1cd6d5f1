#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace nubivista::feed::sim {

enum class FaultKind {
    NotFound,    // "404"
    ServerError, // "500"
    Delay,       // "delay", then serve
    Hang,        // "hang": never answer
    Truncate,    // "truncate": half the body, then close
    Corrupt,     // "corrupt": a damaged GIF
    Republish,   // "republish": newer time, same bytes
    Crlf,        // "crlf": loop lists with CR LF ends
    NineLines,   // "nine-lines"
    BadDate,     // "bad-date"
    Close,       // "close": drop the connection at once
    NoLength,    // "no-length": no Content-Length; the body ends when the connection closes
};

std::optional<FaultKind> faultKindFromName(const QString& name);

struct Fault {
    FaultKind kind;
    QString match;               // substring of the path; empty matches every path
    QString host;                // lower-case host name; empty matches every host
    int delayMs = 0;             // for Delay
    qint64 frozenFrameIndex = 0; // for Republish: the frame whose bytes stay
};

// The faults in force. One fault per kind; setting a kind again replaces it.
class FaultSet {
public:
    void set(const Fault& fault);
    void clear() { m_faults.clear(); }
    bool empty() const { return m_faults.empty(); }

    // The fault of this kind that applies to a request for the path on the host
    // (lower case), if any.
    std::optional<Fault> find(FaultKind kind, const QString& host, const QString& path) const;

private:
    std::vector<Fault> m_faults;
};

} // namespace nubivista::feed::sim
