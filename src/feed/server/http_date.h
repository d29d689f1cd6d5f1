#pragma once

#include <QByteArray>
#include <optional>

namespace nubivista::feed::server {

// "Fri, 12 Jun 2026 13:55:00 GMT" (RFC 9110 IMF-fixdate).
QByteArray httpDate(qint64 utcSeconds);
// Reads an IMF-fixdate; empty for anything else.
std::optional<qint64> parseHttpDate(const QByteArray& text);

} // namespace nubivista::feed::server
