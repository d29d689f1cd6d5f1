#pragma once
// Sets TZ for one test and restores the previous zone afterwards.
#include <QByteArray>
#include <QtGlobal>
#include <ctime>

namespace nubivista::testing {

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        qputenv("TZ", zone);
        tzset();
    }
    ~ScopedTimeZone() {
        had_ ? qputenv("TZ", saved_) : qunsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    bool had_ = qEnvironmentVariableIsSet("TZ");
    QByteArray saved_ = qgetenv("TZ");
};

} // namespace nubivista::testing
