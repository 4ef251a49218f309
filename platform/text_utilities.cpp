#include "platform/text_utilities.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Byte offset of the 1-based character position (clamped to the text's end).
std::size_t byteOffsetOf(std::string_view text, std::int64_t position) {
    std::size_t offset = 0;
    for (std::int64_t skipped = 1; skipped < position && offset < text.size(); ++skipped) {
        ++offset;
        while (offset < text.size() && isUtf8ContinuationByte(text[offset])) ++offset;
    }
    return offset;
}

std::int64_t characterCount(std::string_view text) {
    return std::count_if(text.begin(), text.end(), [](char c) { return !isUtf8ContinuationByte(c); });
}

}  // namespace

std::size_t findIgnoringAsciiCase(std::string_view text, std::string_view pattern) {
    if (pattern.empty()) return std::string_view::npos;
    const auto found = std::search(text.begin(), text.end(), pattern.begin(), pattern.end(),
                                   [](char a, char b) { return foldAsciiCase(a) == foldAsciiCase(b); });
    return found == text.end() ? std::string_view::npos : static_cast<std::size_t>(found - text.begin());
}

std::string trimText(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::int64_t parseInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    unsigned base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i < text.size() && text[i] == '%') {
        base = 2;
        ++i;
    }
    // Unsigned arithmetic wraps where a signed overflow would be undefined.
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            break;
        }
        if (digit >= base) break;
        value = value * base + digit;
    }
    if (negative) value = ~value + 1;
    return static_cast<std::int64_t>(value);
}

std::string padLeft(std::string_view text, std::int64_t count, char pad) {
    if (count <= 0) return {};
    const std::int64_t length = characterCount(text);
    if (length >= count) return std::string(text.substr(0, byteOffsetOf(text, count + 1)));
    return std::string(static_cast<std::size_t>(count - length), pad) + std::string(text);
}

namespace {

std::int64_t saturatingInteger(double whole) {
    if (std::isnan(whole)) return 0;
    constexpr double limit = 9223372036854775808.0;  // 2^63
    if (whole >= limit) return std::numeric_limits<std::int64_t>::max();
    if (whole < -limit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(whole);
}

}  // namespace

std::int64_t roundHalfToEven(double real) {
    if (!std::isfinite(real)) return saturatingInteger(real);
    const double floor = std::floor(real);
    const double fraction = real - floor;
    double rounded = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) rounded = floor + 1.0;
    return saturatingInteger(rounded);
}

int progressBarValue(double percentage) {
    return static_cast<int>(std::clamp<std::int64_t>(roundHalfToEven(percentage), -1, 101));
}

namespace {

// Length of the sequence a lead byte starts, or 0 for a byte that cannot start a character.
int sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return lead >= 0xC2 ? 2 : 0;  // C0 and C1 only start overlong forms
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return lead <= 0xF4 ? 4 : 0;
    return 0;
}

// Whether the second byte keeps a 3- or 4-byte sequence short of overlong forms, surrogates and
// code points above U+10FFFF.
bool secondByteAllowed(unsigned char lead, unsigned char second) {
    if (lead == 0xE0) return second >= 0xA0;
    if (lead == 0xED) return second <= 0x9F;
    if (lead == 0xF0) return second >= 0x90;
    if (lead == 0xF4) return second <= 0x8F;
    return true;
}

}  // namespace

std::string validUtf8(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const auto length = static_cast<std::size_t>(sequenceLength(lead));
        if (length == 0) {
            result += '?';
            ++i;
            continue;
        }
        std::size_t taken = 1;
        while (taken < length && i + taken < text.size() && isUtf8ContinuationByte(text[i + taken]) &&
               (taken > 1 || secondByteAllowed(lead, static_cast<unsigned char>(text[i + 1])))) {
            ++taken;
        }
        // A sequence cut short stands for one "?"; the byte that interrupted it is read on its own.
        if (taken == length) {
            result.append(text.substr(i, length));
        } else {
            result += '?';
        }
        i += taken;
    }
    return result;
}

char32_t nextCodePoint(std::string_view text, std::size_t& offset) {
    const auto lead = static_cast<unsigned char>(text[offset++]);
    const int length = std::max(sequenceLength(lead), 1);
    char32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length && offset < text.size(); ++k)
        codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[offset++]) & 0x3F);
    return codePoint;
}

std::u16string utf16Text(std::string_view text) {
    std::u16string units;
    for (std::size_t offset = 0; offset < text.size();) {
        char32_t codePoint = nextCodePoint(text, offset);
        if (utf16UnitCount(codePoint) == 2) {
            codePoint -= 0x10000;
            units += static_cast<char16_t>(0xD800 + (codePoint >> 10));
            units += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
        } else {
            units += static_cast<char16_t>(codePoint);
        }
    }
    return units;
}

std::string printableText(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
        if (byte < 0x20 || byte == 0x7F) {
            shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
        } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {  // U+0080 to U+009F
            shown += {'\\', 'u', '0', '0', kHex[next >> 4], kHex[next & 15]};
            ++i;
        } else {
            shown += text[i];
        }
    }
    return shown;
}

std::string markupEscaped(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}
