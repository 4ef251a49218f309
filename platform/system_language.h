#pragma once

// The languages the user's system asks for, most wanted first, as codes for chooseLanguage.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using EnvironmentLookup = std::function<std::optional<std::string>(std::string_view name)>;

// As gettext reads them: LANGUAGE's list (unless the locale is "C"), then the first of LC_ALL, LC_MESSAGES
// and LANG that is set. Empty when none is set.
std::vector<std::string> environmentLanguages(const EnvironmentLookup& lookup);

// The process environment's languages; on Windows, where these are rarely set, the user's default
// user-interface language after them.
std::vector<std::string> systemLanguages();
