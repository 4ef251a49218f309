#include "platform/date_format.h"

#include <array>
#include <ctime>

#include "platform/text_utilities.h"

namespace {

std::string twoDigits(int value) {
    const std::string digits = std::to_string(value);
    return digits.size() < 2 ? "0" + digits : digits;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view token) {
    if (text.size() < token.size()) return false;
    for (std::size_t i = 0; i < token.size(); ++i) {
        if (foldAsciiCase(text[i]) != token[i]) return false;
    }
    return true;
}

}  // namespace

DateTime currentDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                    local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string formatDate(std::string_view mask, const DateTime& date) {
    struct Token {
        std::string_view name;
        std::string value;
    };
    // "yyyy" is tried before "yy".
    const std::array<Token, 7> tokens{{
        {"yyyy", std::to_string(date.year)},
        {"yy", twoDigits(((date.year % 100) + 100) % 100)},
        {"mm", twoDigits(date.month)},
        {"dd", twoDigits(date.day)},
        {"hh", twoDigits(date.hour)},
        {"ii", twoDigits(date.minute)},
        {"ss", twoDigits(date.second)},
    }};
    std::string result;
    for (std::size_t i = 0; i < mask.size();) {
        bool replaced = false;
        if (mask[i] == '%') {
            for (const Token& token : tokens) {
                if (startsWithIgnoringCase(mask.substr(i + 1), token.name)) {
                    result += token.value;
                    i += 1 + token.name.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) result += mask[i++];
    }
    return result;
}
