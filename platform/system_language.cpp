#include "platform/system_language.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

std::vector<std::string> environmentLanguages(const EnvironmentLookup& lookup) {
    std::vector<std::string> languages;
    std::optional<std::string> locale;
    for (const std::string_view name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = lookup(name);
        if (locale && !locale->empty()) break;
        locale.reset();
    }
    const bool plainLocale = locale && (*locale == "C" || *locale == "POSIX");
    if (const std::optional<std::string> list = lookup("LANGUAGE"); list && !plainLocale) {
        std::size_t start = 0;
        while (start <= list->size()) {
            const std::size_t end = std::min(list->find(':', start), list->size());
            if (end > start) languages.push_back(list->substr(start, end - start));
            start = end + 1;
        }
    }
    if (locale) languages.push_back(*locale);
    return languages;
}

std::vector<std::string> systemLanguages() {
    std::vector<std::string> languages =
        environmentLanguages([](std::string_view name) -> std::optional<std::string> {
            const char* value = std::getenv(std::string(name).c_str());
            return value ? std::optional<std::string>(value) : std::nullopt;
        });
#ifdef _WIN32
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH,
                         0) > 0) {
        std::string code;
        for (const wchar_t* c = name; *c != 0; ++c) code += static_cast<char>(*c < 128 ? *c : '?');
        languages.push_back(code);
    }
#endif
    return languages;
}
