#include "platform/date_format.h"

#include <gtest/gtest.h>

TEST(DateFormat, ReplacesTokensIgnoringCase) {
    const DateTime date{2009, 3, 5, 13, 2, 3};
    EXPECT_EQ(formatDate("%yy/%MM", date), "09/03");
    EXPECT_EQ(formatDate("%YYYY-%mm-%dd, %hh:%ii:%ss", date), "2009-03-05, 13:02:03");
    EXPECT_EQ(formatDate("100% %x %", date), "100% %x %");
}
