#include "runtime/format.h"

#include <gtest/gtest.h>

TEST(Format, GroupedPattern) {
    EXPECT_EQ(runtime::Format(27598.896044, "## ###.00"), "27 598.90");
}
