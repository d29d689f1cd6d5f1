#include "auxiliary/feedback_mail.h"

#include "core/app_identity.h"

#include <QByteArray>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QSysInfo>
#include <array>

namespace nubivista::auxiliary {

namespace {

// The feedback address is kept only in this form, so that it does not stand in
// the program file as plain text: its bytes, each XORed with a repeating key
// and seven times its position, in base64.
constexpr char kEncodedAddress[] = "NF7/O4tHL/0DPrNv0DJ2sEkwrbce+55q3O1KiEC2yBiUrgXTcH4QzGxcxw0=";
constexpr std::array<unsigned char, 8> kAddressKey = {0x5a, 0x2c, 0x93, 0x47,
                                                      0xe1, 0x0d, 0x76, 0xb8};

const QString kCrLf = QStringLiteral("\r\n");

// Any mix of line breaks as CR LF, which mail bodies want.
QString withCrLf(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.replace(QLatin1Char('\n'), kCrLf);
}

// True when xdg-mime answers that no program handles mailto: addresses. No
// xdg-mime, or one that fails or hangs, tells nothing.
bool noMailHandlerRegistered(const QString& xdgMime) {
    const QString program =
        xdgMime.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("xdg-mime")) : xdgMime;
    if (program.isEmpty())
        return false;
    QProcess query;
    query.start(program, {QStringLiteral("query"), QStringLiteral("default"),
                          QStringLiteral("x-scheme-handler/mailto")});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return false;
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return false;
    return query.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace

QString feedbackAddress() {
    QByteArray bytes = QByteArray::fromBase64(QByteArray(kEncodedAddress));
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(static_cast<unsigned char>(bytes[i]) ^
                                     kAddressKey[static_cast<size_t>(i) % kAddressKey.size()] ^
                                     ((i * 7) & 0xff));
    return QString::fromUtf8(bytes);
}

QString platformDescription() {
    return QStringLiteral("%1; %2 %3; %4; Qt %5")
        .arg(QSysInfo::prettyProductName(), QSysInfo::kernelType(), QSysInfo::kernelVersion(),
             QSysInfo::currentCpuArchitecture(), QString::fromLatin1(qVersion()));
}

FeedbackOrigin thisOrigin() {
    return {core::versionText(), platformDescription()};
}

QString feedbackSubject(const FeedbackMessage& message) {
    const QString typed = message.subject.simplified();
    return core::kProgramTitle + QStringLiteral(": ") +
           (typed.isEmpty() ? QStringLiteral("Suggestions And Bugs") : typed);
}

QString feedbackBody(const FeedbackMessage& message, const FeedbackOrigin& origin) {
    QString body = withCrLf(message.text.trimmed()) + kCrLf + kCrLf;
    const QString contact = message.contact.simplified();
    if (!contact.isEmpty())
        body += QStringLiteral("Reply to: ") + contact + kCrLf + kCrLf;
    return body + QStringLiteral("--------") + kCrLf + core::kProgramTitle + QLatin1Char(' ') +
           origin.version + kCrLf + origin.platform + kCrLf;
}

QUrl feedbackMailUrl(const FeedbackMessage& message, const FeedbackOrigin& origin) {
    const QByteArray encoded =
        QByteArrayLiteral("mailto:") + QUrl::toPercentEncoding(feedbackAddress(), "@") +
        QByteArrayLiteral("?subject=") + QUrl::toPercentEncoding(feedbackSubject(message)) +
        QByteArrayLiteral("&body=") + QUrl::toPercentEncoding(feedbackBody(message, origin));
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

QString feedbackClipboardText(const FeedbackMessage& message, const FeedbackOrigin& origin) {
    return QStringLiteral("To: ") + feedbackAddress() + kCrLf + QStringLiteral("Subject: ") +
           feedbackSubject(message) + kCrLf + kCrLf + feedbackBody(message, origin);
}

bool openWithDesktop(const QUrl& url, const QString& xdgMime) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (url.scheme().compare(QStringLiteral("mailto"), Qt::CaseInsensitive) == 0 &&
        noMailHandlerRegistered(xdgMime))
        return false;
#else
    Q_UNUSED(xdgMime);
#endif
    return QDesktopServices::openUrl(url);
}

} // namespace nubivista::auxiliary
