#pragma once
// The reason phrase of an HTTP status, for a status line or an error page.
#include <QByteArray>

namespace nubivista::net {

QByteArray reasonPhrase(int status); // "Not Found"; "Unknown" for a status not listed

} // namespace nubivista::net
