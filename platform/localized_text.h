#pragma once

// The texts a person reads, in the language chosen at start. Each is looked up by its English text in the
// chosen language's catalogue (translations/<language>.po, built into the programs); English is shown when
// the language is English, has no catalogue, or the catalogue lacks the text. Log lines, settings and file
// names never go through here: they stay English.
//
// Placeholders are written {name} in the English text and in every translation; the arguments fill them.
// The language is chosen before any window opens or thread starts; the desktop program changes it only
// between its steps, when no other thread of its runs.
//
// scripts/update-pot collects the texts from the calls of localized, localizedPlural, translatable and
// englishText.

#include <charconv>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TextArgument {
    TextArgument(std::string_view name, std::string_view value) : name(name), value(value) {}
    TextArgument(std::string_view name, const std::string& value) : name(name), value(value) {}
    TextArgument(std::string_view name, const char* value) : name(name), value(value) {}
    template <std::integral Number>
    TextArgument(std::string_view name, Number number) : name(name), value(std::to_string(number)) {}

    std::string_view name;
    std::string value;
};

// Marks an English text for the catalogues where it is written (a table of captions) and looked up later
// with localized().
constexpr std::string_view translatable(std::string_view english) {
    return english;
}

std::string localized(std::string_view english, std::initializer_list<TextArgument> arguments = {});
// The form of the text for count in the language's plural rule; {count} is filled with count.
std::string localizedPlural(std::int64_t count, std::string_view singular, std::string_view plural,
                            std::initializer_list<TextArgument> arguments = {});

// A line for the log that a person may read too (an error that a box or ravelin-cli shows): the English text
// with its placeholders filled, the text marked for the catalogues. The log keeps the line as it is; where
// the line is shown, localizedLine() puts it into the chosen language.
std::string englishText(std::string_view english, std::initializer_list<TextArgument> arguments = {});
// A finished English line, as englishText() makes it, in the chosen language. It is read as the catalogue's
// texts whose placeholders the line fills, and the reading that explains most of the line wins; the values
// stay as they are, except a {reason}, which is a line of its own and is put into the language in turn. A
// line no catalogue text explains stays as it is, and so does every line when the language is English.
std::string localizedLine(std::string_view line);

// The text with each {name} of the arguments replaced by its value; other braces stay as they are.
std::string fillPlaceholders(std::string_view text, std::initializer_list<TextArgument> arguments);
// The placeholder names of a text in order of appearance, for checking catalogues.
std::vector<std::string> placeholderNames(std::string_view text);

// A language code as systems write it, made plain: "ru_RU.UTF-8" and "ru-ru" give "ru_RU", "de@euro"
// gives "de", "C" and "POSIX" give "en".
std::string languageCode(std::string_view systemCode);
// The languages with a catalogue, besides English ("en"), which needs none.
std::vector<std::string> catalogueLanguages();
// The language chooseLanguage takes for one code ("de_AT" gives "de", "en_GB" "en"); none when it is
// neither English nor has a catalogue.
std::optional<std::string> availableLanguage(std::string_view code);

// A language the user can choose, by its own name ("Deutsch").
struct LanguageChoice {
    std::string code;  // as chooseLanguage takes it: "de"
    std::string name;
    friend bool operator==(const LanguageChoice&, const LanguageChoice&) = default;
};
// English, then each language with a catalogue in the order of their codes, named by the catalogue's
// X-Language-Name header (by its code where the header names none), so that a new catalogue is offered
// by itself.
const std::vector<LanguageChoice>& choosableLanguages();

// Chooses the first of the codes that is English or has a catalogue, a regional one ("pt_BR") before the
// language's own ("pt"); English when none is. Returns the language chosen ("en" for English).
std::string chooseLanguage(const std::vector<std::string>& preferredCodes);
// The language in use: "en" until another is chosen.
std::string currentLanguage();
