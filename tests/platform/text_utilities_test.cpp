#include "platform/text_utilities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(TextUtilities, FindIgnoringAsciiCase) {
    EXPECT_EQ(findIgnoringAsciiCase("é<Client_Ver>1", "<client_ver>"), 2u);  // a byte offset
    EXPECT_EQ(findIgnoringAsciiCase("abc", "x"), std::string_view::npos);
    EXPECT_EQ(findIgnoringAsciiCase("abc", ""), std::string_view::npos);
}

TEST(TextUtilities, Utf16UnitsOfValidText) {
    EXPECT_EQ(utf16Text("aé€😀"), u"aé€😀");
    std::size_t offset = 1;
    EXPECT_EQ(nextCodePoint("a😀", offset), U'😀');
    EXPECT_EQ(offset, 5u);
}

TEST(TextUtilities, TrimRemovesBlanksOnly) {
    EXPECT_EQ(trimText("  a b  "), "a b");
    EXPECT_EQ(trimText("\ta\t"), "\ta\t");
    EXPECT_EQ(trimText("    "), "");
}

TEST(TextUtilities, ParseIntegerForms) {
    struct Case {
        const char* text;
        std::int64_t expected;
    };
    const Case cases[] = {
        {" -12px", -12},
        {"$1F", 31},
        {"%101", 5},
        {"px", 0},
        {"\t +7", 7},
        {"$", 0},
        {"-$1a", -26},
        {"12 34", 12},
        {"%102", 2},
        {"", 0},
        {"-0", 0},
        {"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
        {"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
        // Overflow wraps instead of being undefined.
        {"18446744073709551617", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseInteger(c.text), c.expected);
    }
}

TEST(TextUtilities, PadLeftFillsOrCuts) {
    EXPECT_EQ(padLeft("7", 2, '0'), "07");
    EXPECT_EQ(padLeft("123", 2, '0'), "12");
    EXPECT_EQ(padLeft("ab", 4), "  ab");
    EXPECT_EQ(padLeft("ab", 0), "");
}

TEST(TextUtilities, NumbersAndRounding) {
    EXPECT_EQ(roundHalfToEven(std::nan("")), 0);
    EXPECT_EQ(roundHalfToEven(2.5), 2);
    EXPECT_EQ(roundHalfToEven(3.5), 4);
    EXPECT_EQ(roundHalfToEven(-2.5), -2);
    EXPECT_EQ(roundHalfToEven(2.51), 3);
    EXPECT_EQ(roundHalfToEven(INFINITY), std::numeric_limits<std::int64_t>::max());
}

TEST(TextUtilities, MalformedUtf8BecomesOneQuestionMarkPerBrokenSequence) {
    const struct {
        const char* bytes;
        const char* text;
    } cases[] = {
        {"plain \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", "plain \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
        {"\x80x\xFFy", "?x?y"},  // bytes that cannot start a character
        {"\xE2\x82"
         "A",
         "?A"},                             // cut short: one "?", the interrupting byte on its own
        {"\xC0\xAF\xED\xA0\x80", "?????"},  // overlong form and surrogate: every byte stands alone
        {"end\xF0\x9F\x98", "end?"},        // cut off by the end
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(validUtf8(c.bytes), c.text);
    }
}
