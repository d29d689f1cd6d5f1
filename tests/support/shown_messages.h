#pragma once
// The program's messages as a test sees them: each one recorded, and answered
// as a user would.
#include "core/message_service.h"

#include <QList>
#include <ostream>

namespace nubivista::testing {

struct ShownMessage {
    int kind = 0;
    QString text;
    int id = 0;
    bool operator==(const ShownMessage&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const ShownMessage& m) {
    return out << "{" << m.kind << ", " << m.id << ", " << m.text.toStdString() << "}";
}

// Okay to a notice; Yes (or Okay) to a question, or No (or Cancel) when declined.
inline int userAnswer(int kind, bool decline) {
    if (kind <= 2)
        return core::MsgOkay;
    if (kind <= 6)
        return decline ? core::MsgNo : core::MsgYes;
    return decline ? core::MsgCancel : core::MsgOkay;
}

inline void recordMessages(core::MessageService& service, QList<ShownMessage>& shown,
                           const bool& decline) {
    service.setAnswerer([&shown, &decline](int kind, const QString& text, int id) {
        shown.append({kind, text, id});
        return userAnswer(kind, decline);
    });
}

} // namespace nubivista::testing
