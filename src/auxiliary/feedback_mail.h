#pragma once
// The feedback mail: the address it goes to, and the mailto: address that a
// mail program opens with the subject and the body filled in.
#include <QString>
#include <QUrl>
#include <functional>

namespace nubivista::auxiliary {

// What the user wrote in the feedback window.
struct FeedbackMessage {
    QString subject;
    QString text;
    QString contact; // optional: a name or an address for a reply
};

// The program's version and the system it runs on, added to every mail.
struct FeedbackOrigin {
    QString version;  // "Vs.0.1.0"
    QString platform; // platformDescription()
};

// The feedback address, decoded from the form the program keeps it in.
QString feedbackAddress();

// The system in one line: product name, kernel, processor architecture, Qt.
QString platformDescription();

// The origin of this build on this system.
FeedbackOrigin thisOrigin();

// The mail's subject: the program title, then what the user typed.
QString feedbackSubject(const FeedbackMessage& message);

// The mail's body with CR LF line breaks: the user's text, the contact when
// given, and below a separator the version and the platform.
QString feedbackBody(const FeedbackMessage& message, const FeedbackOrigin& origin);

// mailto:<address>?subject=...&body=..., every character of the subject and
// the body percent-encoded as UTF-8.
QUrl feedbackMailUrl(const FeedbackMessage& message, const FeedbackOrigin& origin);

// The whole mail as text, for pasting into a mail of one's own: To, Subject,
// a blank line and the body.
QString feedbackClipboardText(const FeedbackMessage& message, const FeedbackOrigin& origin);

// Hands an address to the desktop; false when nothing could open it.
using UrlOpener = std::function<bool(const QUrl&)>;

// The desktop's opener. On desktops that keep their URL handlers with
// xdg-mime (xdgMime names that program; empty: looked up on the PATH), a
// mailto: address without a registered mail program counts as not opened.
bool openWithDesktop(const QUrl& url, const QString& xdgMime = {});

} // namespace nubivista::auxiliary
