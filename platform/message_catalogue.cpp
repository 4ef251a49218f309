#include "platform/message_catalogue.h"

#include <optional>

namespace {

// The text of a quoted C string with its escapes resolved; none when it is not one.
std::optional<std::string> quotedText(std::string_view line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
        line.remove_suffix(1);
    if (line.size() < 2 || line.front() != '"' || line.back() != '"') return std::nullopt;
    std::string text;
    for (std::size_t i = 1; i + 1 < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') return std::nullopt;
        if (c != '\\') {
            text += c;
            continue;
        }
        if (++i + 1 >= line.size()) return std::nullopt;
        switch (line[i]) {
            case 'n':
                text += '\n';
                break;
            case 't':
                text += '\t';
                break;
            case 'r':
                text += '\r';
                break;
            case '"':
                text += '"';
                break;
            case '\\':
                text += '\\';
                break;
            default:
                return std::nullopt;
        }
    }
    return text;
}

std::string_view trimmedStart(std::string_view line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    return line;
}

// The header's value of a field ("Plural-Forms: ...\n").
std::string headerField(const std::string& header, std::string_view name) {
    std::size_t start = 0;
    while (start < header.size()) {
        const std::size_t end = std::min(header.find('\n', start), header.size());
        const std::string_view line = std::string_view(header).substr(start, end - start);
        if (line.starts_with(name) && line.substr(name.size()).starts_with(":"))
            return std::string(trimmedStart(line.substr(name.size() + 1)));
        start = end + 1;
    }
    return {};
}

}  // namespace

MessageCatalogue parseMessageCatalogue(std::string_view text) {
    MessageCatalogue catalogue;
    TranslationEntry entry;
    bool inEntry = false;
    bool fuzzyNext = false;
    std::string* continued = nullptr;  // the field a line of only a quoted string adds to
    int lineNumber = 0;

    auto fail = [&](std::string fault) {
        catalogue.fault = std::move(fault);
        catalogue.faultLine = lineNumber;
        catalogue.entries.clear();
        return catalogue;
    };
    auto finishEntry = [&]() {
        if (!inEntry) return;
        if (entry.english.empty() && entry.englishPlural.empty()) {
            const std::string header = entry.translations.empty() ? std::string() : entry.translations[0];
            catalogue.pluralForms = headerField(header, "Plural-Forms");
            catalogue.languageName = headerField(header, "X-Language-Name");
        } else {
            catalogue.entries.push_back(std::move(entry));
        }
        entry = {};
        inEntry = false;
        continued = nullptr;
    };

    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = trimmedStart(text.substr(start, end - start));
        start = end + 1;
        ++lineNumber;
        if (line.empty() || line == "\r") {
            continue;
        } else if (line.starts_with("#")) {
            // Comments, and "#~" for entries no longer in the program; only the fuzzy flag matters.
            if (line.starts_with("#,") && line.find("fuzzy") != std::string_view::npos) {
                finishEntry();
                fuzzyNext = true;
            }
            continue;
        }
        const std::size_t space = line.find_first_of(" \t");
        const std::string_view keyword = line.substr(0, space);
        const std::optional<std::string> value = quotedText(
            space == std::string_view::npos ? std::string_view() : trimmedStart(line.substr(space)));
        if (line.starts_with("\"")) {
            const std::optional<std::string> more = quotedText(line);
            if (!more) return fail("a malformed string");
            if (!continued) return fail("a string outside an entry");
            *continued += *more;
            continue;
        }
        if (!value) return fail("a malformed string after " + std::string(keyword));
        if (keyword == "msgctxt") {
            return fail("msgctxt is not used by this program");
        } else if (keyword == "msgid") {
            finishEntry();
            inEntry = true;
            entry.fuzzy = fuzzyNext;
            fuzzyNext = false;
            entry.english = *value;
            continued = &entry.english;
        } else if (keyword == "msgid_plural") {
            if (!inEntry || !entry.translations.empty()) return fail("msgid_plural out of place");
            entry.englishPlural = *value;
            continued = &entry.englishPlural;
        } else if (keyword == "msgstr" || keyword.starts_with("msgstr[")) {
            if (!inEntry) return fail("msgstr without msgid");
            const bool indexed = keyword != "msgstr";
            if (indexed != !entry.englishPlural.empty()) return fail("msgstr's form does not match msgid's");
            if (indexed && keyword != "msgstr[" + std::to_string(entry.translations.size()) + "]")
                return fail("plural forms out of order");
            if (!indexed && !entry.translations.empty()) return fail("a second msgstr");
            entry.translations.push_back(*value);
            continued = &entry.translations.back();
        } else {
            return fail("unknown keyword " + std::string(keyword));
        }
    }
    finishEntry();
    // The template's header holds the placeholder "nplurals=INTEGER" each language fills in.
    if (!catalogue.pluralForms.empty() && catalogue.pluralForms.find("INTEGER") == std::string::npos) {
        const std::optional<PluralRule> rule = PluralRule::parse(catalogue.pluralForms);
        if (!rule) return fail("the Plural-Forms header does not parse");
        catalogue.pluralRule = *rule;
    }
    return catalogue;
}
