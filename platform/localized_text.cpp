#include "platform/localized_text.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <unordered_map>

#include "platform/embedded_catalogues.h"
#include "platform/line_template.h"
#include "platform/message_catalogue.h"

namespace {

// Fills the placeholders in one pass, so a value that holds braces is never filled in turn.
std::string fillText(std::string_view text, std::initializer_list<TextArgument> arguments,
                     const TextArgument* extra);

// A catalogue text with placeholders, as a pattern for the lines filled from it.
struct LinePattern {
    LineTemplate english;
    LineTemplate translation;
    std::vector<std::size_t> valueOf;  // for each placeholder of the translation, its index in the English
};

struct ChosenLanguage {
    std::string code = "en";
    MessageCatalogue catalogue;
    std::unordered_map<std::string_view, const TranslationEntry*> byEnglish;
    std::vector<LinePattern> linePatterns;
};

ChosenLanguage& chosenLanguage() {
    static ChosenLanguage language;
    return language;
}

bool samePlaceholders(std::string_view english, std::string_view translation) {
    std::vector<std::string> expected = placeholderNames(english);
    std::vector<std::string> found = placeholderNames(translation);
    std::sort(expected.begin(), expected.end());
    std::sort(found.begin(), found.end());
    expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return expected == found;
}

// An entry shown: translated in every form, reviewed, with the English text's placeholders.
bool usable(const TranslationEntry& entry, std::size_t formCount) {
    if (entry.fuzzy) return false;
    if (!entry.englishPlural.empty() && entry.translations.size() != formCount) return false;
    return std::all_of(entry.translations.begin(), entry.translations.end(), [&](const std::string& text) {
        return !text.empty() &&
               samePlaceholders(entry.englishPlural.empty() ? entry.english : entry.englishPlural, text);
    });
}

const TranslationEntry* findEntry(std::string_view english) {
    const ChosenLanguage& language = chosenLanguage();
    if (language.byEnglish.empty()) return nullptr;
    const auto found = language.byEnglish.find(english);
    return found == language.byEnglish.end() ? nullptr : found->second;
}

const EmbeddedCatalogue* embeddedCatalogue(std::string_view code) {
    for (const EmbeddedCatalogue& catalogue : embeddedCatalogues()) {
        if (catalogue.language == code) return &catalogue;
    }
    return nullptr;
}

void useCatalogue(std::string code, std::string_view text) {
    ChosenLanguage& language = chosenLanguage();
    language.code = std::move(code);
    language.catalogue = parseMessageCatalogue(text);
    language.byEnglish.clear();
    language.linePatterns.clear();
    for (const TranslationEntry& entry : language.catalogue.entries) {
        if (!usable(entry, language.catalogue.pluralRule.formCount())) continue;
        language.byEnglish.emplace(entry.english, &entry);
        if (!entry.englishPlural.empty()) continue;  // lines for the log have no plural forms
        LinePattern pattern{lineTemplateOf(entry.english), lineTemplateOf(entry.translations[0]), {}};
        if (pattern.english.names.empty()) continue;  // found by its whole text
        for (const std::string& name : pattern.translation.names) {
            const auto& names = pattern.english.names;
            pattern.valueOf.push_back(
                static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin()));
        }
        language.linePatterns.push_back(std::move(pattern));
    }
}

// A line in the chosen language, and how many of its bytes catalogue texts explained.
struct LineReading {
    std::string text;
    std::size_t explained = 0;
};

// A reason inside a reason inside a line is as deep as the program's lines go.
constexpr int kDeepestReason = 4;

LineReading readLine(std::string_view line, int depth) {
    if (const TranslationEntry* entry = findEntry(line); entry && entry->englishPlural.empty())
        return {entry->translations[0], line.size()};
    LineReading best{std::string(line), 0};
    if (depth <= 0) return best;
    for (const LinePattern& pattern : chosenLanguage().linePatterns) {
        matchLineTemplate(pattern.english, line, [&](const std::vector<std::string_view>& values) {
            std::size_t explained = pattern.english.literalSize;
            std::vector<std::string> shown(values.begin(), values.end());
            for (std::size_t i = 0; i < values.size(); ++i) {
                if (pattern.english.names[i] != "reason") continue;
                LineReading reason = readLine(values[i], depth - 1);
                explained += reason.explained;
                shown[i] = std::move(reason.text);
            }
            if (explained > best.explained) {
                std::vector<std::string> filled;
                for (const std::size_t index : pattern.valueOf) filled.push_back(shown[index]);
                best = {filledTemplate(pattern.translation, filled), explained};
            }
            return false;  // another split may explain more
        });
    }
    return best;
}

}  // namespace

std::string localized(std::string_view english, std::initializer_list<TextArgument> arguments) {
    const TranslationEntry* entry = findEntry(english);
    const std::string_view text =
        entry && entry->englishPlural.empty() ? std::string_view(entry->translations[0]) : english;
    return arguments.size() == 0 ? std::string(text) : fillPlaceholders(text, arguments);
}

std::string localizedPlural(std::int64_t count, std::string_view singular, std::string_view plural,
                            std::initializer_list<TextArgument> arguments) {
    const TranslationEntry* entry = findEntry(singular);
    std::string_view text = count == 1 ? singular : plural;
    if (entry && entry->englishPlural == plural) {
        const std::uint64_t magnitude =
            count < 0 ? static_cast<std::uint64_t>(-(count + 1)) + 1 : static_cast<std::uint64_t>(count);
        text = entry->translations[chosenLanguage().catalogue.pluralRule.formIndex(magnitude)];
    }
    const TextArgument countArgument("count", count);
    return fillText(text, arguments, &countArgument);
}

std::string fillPlaceholders(std::string_view text, std::initializer_list<TextArgument> arguments) {
    return fillText(text, arguments, nullptr);
}

std::string englishText(std::string_view english, std::initializer_list<TextArgument> arguments) {
    return fillText(english, arguments, nullptr);
}

std::string localizedLine(std::string_view line) {
    if (chosenLanguage().byEnglish.empty()) return std::string(line);
    return readLine(line, kDeepestReason).text;
}

namespace {

std::string fillText(std::string_view text, std::initializer_list<TextArgument> arguments,
                     const TextArgument* extra) {
    std::string filled;
    filled.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('{', at);
        if (open == std::string_view::npos) break;
        const std::size_t close = text.find('}', open + 1);
        if (close == std::string_view::npos) break;
        const std::string_view name = text.substr(open + 1, close - open - 1);
        const TextArgument* argument = extra && extra->name == name ? extra : nullptr;
        for (const TextArgument& candidate : arguments) {
            if (!argument && candidate.name == name) argument = &candidate;
        }
        filled.append(text.substr(at, open - at));
        if (!argument) {
            filled += '{';
            at = open + 1;
        } else {
            filled += argument->value;
            at = close + 1;
        }
    }
    filled.append(text.substr(at));
    return filled;
}

}  // namespace

std::vector<std::string> placeholderNames(std::string_view text) {
    std::vector<std::string> names;
    std::size_t at = 0;
    while ((at = text.find('{', at)) != std::string_view::npos) {
        const std::size_t close = text.find_first_of("{}", at + 1);
        if (close == std::string_view::npos) break;
        const std::string_view name = text.substr(at + 1, close - at - 1);
        if (text[close] == '}' && !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
                return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
            }))
            names.emplace_back(name);
        at = close;
    }
    return names;
}

std::string languageCode(std::string_view systemCode) {
    systemCode = systemCode.substr(0, systemCode.find_first_of(".@:"));
    if (systemCode.empty() || systemCode == "C" || systemCode == "POSIX") return "en";
    std::string code;
    bool region = false;
    for (const char c : systemCode) {
        if (c == '_' || c == '-') {
            if (region) break;  // a script or variant after the region ("sr_RS_latin") is left out
            region = true;
            code += '_';
        } else if (std::isalpha(static_cast<unsigned char>(c))) {
            code += static_cast<char>(region ? std::toupper(static_cast<unsigned char>(c))
                                             : std::tolower(static_cast<unsigned char>(c)));
        } else {
            return "en";
        }
    }
    if (code.ends_with('_')) code.pop_back();
    return code.empty() ? "en" : code;
}

std::vector<std::string> catalogueLanguages() {
    std::vector<std::string> languages;
    for (const EmbeddedCatalogue& catalogue : embeddedCatalogues())
        languages.emplace_back(catalogue.language);
    return languages;
}

std::optional<std::string> availableLanguage(std::string_view systemCode) {
    const std::string code = languageCode(systemCode);
    const std::string base = code.substr(0, code.find('_'));
    for (const std::string& candidate : {code, base}) {
        if (candidate == "en" || embeddedCatalogue(candidate)) return candidate;
    }
    return std::nullopt;
}

const std::vector<LanguageChoice>& choosableLanguages() {
    // Read once: the catalogues are built into the program.
    static const std::vector<LanguageChoice> languages = [] {
        std::vector<LanguageChoice> found{{"en", "English"}};
        for (const EmbeddedCatalogue& catalogue : embeddedCatalogues()) {
            std::string name = parseMessageCatalogue(catalogue.text).languageName;
            found.push_back({std::string(catalogue.language),
                             name.empty() ? std::string(catalogue.language) : std::move(name)});
        }
        std::sort(found.begin() + 1, found.end(),
                  [](const LanguageChoice& a, const LanguageChoice& b) { return a.code < b.code; });
        return found;
    }();
    return languages;
}

std::string chooseLanguage(const std::vector<std::string>& preferredCodes) {
    for (const std::string& preferred : preferredCodes) {
        if (const std::optional<std::string> language = availableLanguage(preferred)) {
            const EmbeddedCatalogue* catalogue = embeddedCatalogue(*language);
            useCatalogue(*language, catalogue ? catalogue->text : std::string_view());
            return *language;
        }
    }
    useCatalogue("en", {});
    return "en";
}

std::string currentLanguage() {
    return chosenLanguage().code;
}
