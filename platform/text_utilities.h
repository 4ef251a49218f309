#pragma once

// Small text helpers. Text is UTF-8; a character is one code point. Letter case is folded for ASCII only:
// every marker and pattern the program matches is ASCII.

#include <cstdint>
#include <string>
#include <string_view>

inline bool isUtf8ContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}
inline char foldAsciiCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Byte offset of the first occurrence of pattern, ASCII letter case ignored, or npos.
std::size_t findIgnoringAsciiCase(std::string_view text, std::string_view pattern);
// Removes blanks (U+0020 only) from both ends.
std::string trimText(std::string_view text);
// Blanks and tabs, an optional sign, then $hex, %binary or decimal digits; wraps instead of overflowing.
std::int64_t parseInteger(std::string_view text);
// Exactly count characters: right-aligned and filled with pad, or cut to the first count characters.
std::string padLeft(std::string_view text, std::int64_t count, char pad = ' ');
// Rounds to the nearest integer, a half to the even neighbour; not-a-number gives 0, huge values saturate.
std::int64_t roundHalfToEven(double real);

// A percentage for a progress bar: rounded half to even and held to a range the bar then clamps.
int progressBarValue(double percentage);

// The text with every malformed UTF-8 sequence replaced by "?", the one rule for all text read from
// outside (text files, package entries): a byte that cannot start a character is one "?", and so is a
// sequence cut short, whose interrupting byte is then read on its own.
std::string validUtf8(std::string_view text);

// The code point that starts at offset of valid UTF-8 text; offset moves past it.
char32_t nextCodePoint(std::string_view text, std::size_t& offset);
// How many UTF-16 code units a code point takes: two beyond the basic plane (a surrogate pair).
inline int utf16UnitCount(char32_t codePoint) {
    return codePoint >= 0x10000 ? 2 : 1;
}
// Valid UTF-8 text as UTF-16, as Windows and JSON's ordering count it.
std::u16string utf16Text(std::string_view text);

// The text as a terminal may show it: control characters (C0, DEL and C1) written as "\xNN" or
// "\u00NN", so that text from game files cannot move the cursor, clear the screen or retitle the window.
std::string printableText(std::string_view text);

// The text as the content of an XML or HTML element: "&", "<" and ">" written as entities.
std::string markupEscaped(std::string_view text);
