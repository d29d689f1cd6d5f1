#pragma once
// Included before every test source. Qt's QTRY_ macros report through Qt
// Test's own runner; under GoogleTest a failed QTRY_ would only return from
// the test body and let it pass. These versions wait the same way (events
// keep running) and fail the GoogleTest case.
#include <QTest>
#include <gtest/gtest.h>

#undef QTRY_VERIFY_WITH_TIMEOUT
#undef QTRY_VERIFY
#undef QTRY_COMPARE_WITH_TIMEOUT
#undef QTRY_COMPARE

#define QTRY_VERIFY_WITH_TIMEOUT(expr, timeout)                                                    \
    ASSERT_TRUE(QTest::qWaitFor([&]() -> bool { return static_cast<bool>(expr); }, timeout))       \
        << "waited " << (timeout) << " ms for " #expr
#define QTRY_VERIFY(expr) QTRY_VERIFY_WITH_TIMEOUT(expr, 5000)
#define QTRY_COMPARE_WITH_TIMEOUT(actual, expected, timeout)                                       \
    do {                                                                                           \
        (void)QTest::qWaitFor([&]() -> bool { return (actual) == (expected); }, timeout);          \
        ASSERT_EQ(actual, expected) << "after waiting " << (timeout) << " ms";                     \
    } while (false)
#define QTRY_COMPARE(actual, expected) QTRY_COMPARE_WITH_TIMEOUT(actual, expected, 5000)
