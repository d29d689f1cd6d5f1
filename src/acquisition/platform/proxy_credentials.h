#pragma once
// Per-run user name and password of the proxy front. They are made fresh for
// each run, so no other program on the machine can use the front.
#include <QByteArray>
#include <QString>

namespace nubivista::platform {

struct ProxyCredentials {
    QString user;
    QString password;

    static ProxyCredentials random();

    // The value of a Proxy-Authorization header that carries these credentials.
    QByteArray basicAuthorization() const;
    // True when a Proxy-Authorization header value carries exactly these.
    bool accepts(const QByteArray& proxyAuthorization) const;
};

} // namespace nubivista::platform
