#pragma once
// Refuses a second running instance of the program.
#include <QLockFile>
#include <QString>
#include <memory>

namespace nubivista::core {

class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;
    // False only when another instance is known to run; the claim lasts as
    // long as the guard object.
    virtual bool claim() = 0;
};

// A lock file in the user's runtime folder. A lock left behind by a crashed
// instance is taken over, because its process no longer exists.
class LockFileInstanceGuard final : public InstanceGuard {
public:
    explicit LockFileInstanceGuard(QString lockPath);
    bool claim() override;

    // <runtime folder>/nubivista.lock
    static QString defaultLockPath();

private:
    QString lockPath_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace nubivista::core
