#include "support/fail_device.h"

#include <algorithm>

namespace nubivista::testing {

FailDevice::FailDevice(qint64 failAfterBytes) : remaining_(failAfterBytes) {}

qint64 FailDevice::writeData(const char* data, qint64 len) {
    if (remaining_ <= 0)
        return -1;
    const qint64 accepted = std::min(len, remaining_);
    remaining_ -= accepted;
    return QBuffer::writeData(data, accepted);
}

} // namespace nubivista::testing
