#include "acquisition/platform/proxy_credentials.h"

#include <QRandomGenerator>
#include <algorithm>

namespace nubivista::platform {

namespace {

QString randomToken(int bytes) {
    QByteArray raw(bytes, Qt::Uninitialized);
    auto* generator = QRandomGenerator::system();
    for (char& c : raw)
        c = static_cast<char>(generator->bounded(256));
    return QString::fromLatin1(
        raw.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

// Length-independent comparison, so the time taken tells nothing of the secret.
bool sameBytes(const QByteArray& a, const QByteArray& b) {
    unsigned char difference = a.size() == b.size() ? 0 : 1;
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

} // namespace

ProxyCredentials ProxyCredentials::random() {
    return {QStringLiteral("nv-") + randomToken(6), randomToken(18)};
}

QByteArray ProxyCredentials::basicAuthorization() const {
    return "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64();
}

bool ProxyCredentials::accepts(const QByteArray& proxyAuthorization) const {
    const QByteArray value = proxyAuthorization.trimmed();
    const qsizetype space = value.indexOf(' ');
    if (space < 0 || value.left(space).toLower() != "basic")
        return false;
    const QByteArray given = QByteArray::fromBase64(value.mid(space + 1).trimmed());
    return sameBytes(given, (user + QLatin1Char(':') + password).toUtf8());
}

} // namespace nubivista::platform
