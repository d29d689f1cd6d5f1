#include "core/app_identity.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

TEST(AppIdentity, VersionTextHasThreeNumbersAfterVs) {
    EXPECT_TRUE(nubivista::core::versionText().contains(QRegularExpression(R"(^Vs\.\d+\.\d+\.\d+$)")));
}
