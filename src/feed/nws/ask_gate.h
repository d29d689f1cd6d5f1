#pragma once
// An upstream asked when asked, at most once an interval: whoever asks while
// an ask is under way, or too soon after the last, is told once its answer
// is in (at once when it is too soon).
#include <QDateTime>
#include <functional>
#include <vector>

namespace nubivista::feed::nws {

class AskGate {
public:
    // Queues done. True when the caller is to ask the upstream now; with
    // mayAsk false, or the last ask younger than intervalSeconds, every
    // waiter is told at once.
    bool enter(const QDateTime& now, qint64 intervalSeconds, std::function<void()> done,
               bool mayAsk = true) {
        waiting_.push_back(std::move(done));
        if (busy_)
            return false;
        if (!mayAsk || (lastAsked_.isValid() && lastAsked_.secsTo(now) < intervalSeconds)) {
            tellWaiting();
            return false;
        }
        busy_ = true;
        lastAsked_ = now;
        return true;
    }

    // The ask's answer is in: every waiter is told.
    void finish() {
        busy_ = false;
        tellWaiting();
    }

    bool busy() const { return busy_; }
    const QDateTime& lastAsked() const { return lastAsked_; }

private:
    void tellWaiting() {
        // A waiter may ask again: it queues anew.
        std::vector<std::function<void()>> waiting;
        waiting.swap(waiting_);
        for (auto& call : waiting)
            call();
    }

    bool busy_ = false;
    QDateTime lastAsked_;
    std::vector<std::function<void()>> waiting_;
};

} // namespace nubivista::feed::nws
