#pragma once
// Work that must not hold up the thread that answers requests (decoding a
// fetched product, drawing a scan) runs on the thread pool; its result comes
// back to the main thread, and only while its owner still stands.
#include <QCoreApplication>
#include <QThreadPool>
#include <memory>
#include <utility>

namespace nubivista::feed::nws {

class OffThread {
public:
    // work runs on a pool thread and must touch nothing the owner holds;
    // done(result) runs later on the main thread, unless this is gone.
    template <typename Work, typename Done> void run(Work work, Done done) const {
        QThreadPool::globalInstance()->start([alive = std::weak_ptr<const int>(token_),
                                              work = std::move(work),
                                              done = std::move(done)]() mutable {
            auto result = work();
            // The application outlives the pool's work: it waits for it.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [alive, done = std::move(done), result = std::move(result)]() mutable {
                    if (!alive.expired())
                        done(std::move(result));
                },
                Qt::QueuedConnection);
        });
    }

private:
    std::shared_ptr<const int> token_ = std::make_shared<const int>(0);
};

} // namespace nubivista::feed::nws
