#pragma once
// A device that accepts a given number of bytes and then fails every write,
// so the error path of a writer can be proven (a full disk, a pulled drive).
#include <QBuffer>

namespace nubivista::testing {

class FailDevice : public QBuffer {
public:
    explicit FailDevice(qint64 failAfterBytes);

protected:
    qint64 writeData(const char* data, qint64 len) override;

private:
    qint64 remaining_;
};

} // namespace nubivista::testing
