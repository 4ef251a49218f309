#pragma once

// A gettext catalogue (".po"): the translations of the program's English texts into one language. A pure
// reader: the catalogue's text in, its entries or the first fault out.

#include <string>
#include <string_view>
#include <vector>

#include "platform/plural_rule.h"

struct TranslationEntry {
    std::string english;        // msgid: the text as the program writes it
    std::string englishPlural;  // msgid_plural; empty for a text without plural forms
    // msgstr, or msgstr[0..]: one per plural form. An empty translation means "not translated yet".
    std::vector<std::string> translations;
    bool fuzzy = false;  // marked "#, fuzzy": a guess awaiting review, never shown
};

struct MessageCatalogue {
    std::vector<TranslationEntry> entries;  // in the file's order, the header left out
    std::string pluralForms;                // the header's Plural-Forms value, empty when it has none
    PluralRule pluralRule;                  // parsed from it; English's when it has none
    std::string languageName;               // the header's X-Language-Name: the language's own name
    std::string fault;                      // empty when the whole text was read
    int faultLine = 0;
};

MessageCatalogue parseMessageCatalogue(std::string_view text);
