#pragma once
// What the process's files share: the dial-up question and how an address a
// pane reports is matched with one the process keeps.
#include <QString>
#include <QUrl>

namespace nubivista::acquisition {

inline QString dialQuestionText() {
    return QStringLiteral("You Are NOT CONNECTED To The Internet\n"
                          "Do You Want An iNet Dial-Up Window?");
}

// Compared as text and in the normal form a pane reports, ignoring case.
inline bool sameAddress(const QUrl& reported, const QString& kept) {
    if (kept.isEmpty())
        return false;
    const QString text = reported.toString();
    return text.compare(kept, Qt::CaseInsensitive) == 0 ||
           text.compare(QUrl(kept).toString(), Qt::CaseInsensitive) == 0;
}

} // namespace nubivista::acquisition
