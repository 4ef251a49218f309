#include "platform/localized_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/embedded_catalogues.h"
#include "platform/message_catalogue.h"
#include "platform/system_language.h"

namespace {

// The suites read the programs' English texts whatever the machine's language: a ravelin-cli they start
// follows the environment. The tests that want another language set it themselves.
const bool kEnglishForStartedPrograms = [] {
#ifdef _WIN32
    return _putenv("LANGUAGE=en") == 0;
#else
    return setenv("LANGUAGE", "en", 1) == 0;
#endif
}();

// Back to English whatever a test chose.
struct ScopedLanguage {
    explicit ScopedLanguage(const std::string& code) { chooseLanguage({code}); }
    ~ScopedLanguage() { chooseLanguage({"en"}); }
};

MessageCatalogue embedded(std::string_view language) {
    for (const EmbeddedCatalogue& catalogue : embeddedCatalogues()) {
        if (catalogue.language == language) return parseMessageCatalogue(catalogue.text);
    }
    ADD_FAILURE() << "no catalogue " << language;
    return {};
}

}  // namespace

TEST(MessageCatalogue, ReadsEntriesFormsAndFlags) {
    const MessageCatalogue catalogue = parseMessageCatalogue(
        "# comment\n"
        "msgid \"\"\nmsgstr \"\"\n\"Language: ru\\n\"\n\"Plural-Forms: nplurals=3; plural=(n%10==1 && "
        "n%100!=11 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);\\n\"\n\n"
        "#: app/x.cpp\nmsgid \"\"\n\"Two\\n\"\n\"lines \\\"quoted\\\"\"\nmsgstr \"Две\\nстроки\"\n\n"
        "#, fuzzy\nmsgid \"Guess\"\nmsgstr \"Догадка\"\n\n"
        "msgid \"{count} icon\"\nmsgid_plural \"{count} icons\"\nmsgstr[0] \"{count} иконка\"\n"
        "msgstr[1] \"{count} иконки\"\nmsgstr[2] \"{count} иконок\"\n\n"
        "#~ msgid \"Old\"\n#~ msgstr \"Старое\"\n");
    ASSERT_EQ(catalogue.fault, "");
    ASSERT_EQ(catalogue.entries.size(), 3u);
    EXPECT_EQ(catalogue.entries[0].english, "Two\nlines \"quoted\"");
    EXPECT_EQ(catalogue.entries[0].translations, std::vector<std::string>{"Две\nстроки"});
    EXPECT_TRUE(catalogue.entries[1].fuzzy);
    EXPECT_FALSE(catalogue.entries[2].fuzzy);
    EXPECT_EQ(catalogue.entries[2].translations.size(), 3u);
    EXPECT_EQ(catalogue.pluralRule.formCount(), 3u);

    for (const char* broken :
         {"msgstr \"x\"\n", "msgid \"a\nmsgstr \"\"\n", "msgid \"a\"\nmsgstr[0] \"b\"\n",
          "msgid \"a\"\nmsgid_plural \"b\"\nmsgstr[1] \"c\"\n", "msgid \"a\\q\"\nmsgstr \"\"\n",
          "msgid \"\"\nmsgstr \"Plural-Forms: nplurals=2; plural=n>;\\n\"\n", "\"lost\"\n"}) {
        SCOPED_TRACE(broken);
        EXPECT_NE(parseMessageCatalogue(broken).fault, "");
    }
}

TEST(PluralRule, EachShippedLanguageChoosesItsForms) {
    // The form index for 1, 2, 5, 21, 22, 25, 11, 111, 0.
    const std::map<std::string, std::vector<std::size_t>> expected = {
        {"ru", {0, 1, 2, 0, 1, 2, 2, 2, 2}},
        {"pl", {0, 1, 2, 2, 1, 2, 2, 2, 2}},
        {"de", {0, 1, 1, 1, 1, 1, 1, 1, 1}},
    };
    const std::uint64_t counts[] = {1, 2, 5, 21, 22, 25, 11, 111, 0};
    for (const auto& [language, forms] : expected) {
        SCOPED_TRACE(language);
        const MessageCatalogue catalogue = embedded(language);
        ASSERT_EQ(catalogue.fault, "");
        for (std::size_t i = 0; i < forms.size(); ++i)
            EXPECT_EQ(catalogue.pluralRule.formIndex(counts[i]), forms[i]) << counts[i];
    }
    for (const char* broken :
         {"nplurals=2;", "plural=n!=1;", "nplurals=0; plural=0;", "nplurals=2; plural=(n;",
          "nplurals=2; plural=n ? 1;", "nplurals=2; plural=m;"})
        EXPECT_FALSE(PluralRule::parse(broken)) << broken;
    std::string deep = "nplurals=2; plural=";
    for (int i = 0; i < 10000; ++i) deep += "(";
    EXPECT_FALSE(PluralRule::parse(deep));
}

// Every catalogue names its language, translates every text of the template, keeps its placeholders and
// has every plural form.
TEST(MessageCatalogue, EveryCatalogueTranslatesEveryText) {
    std::ifstream file(RAVELIN_TRANSLATIONS_DIR "/ravelin.pot", std::ios::binary);
    if (!file) GTEST_SKIP() << "the sources' template is not readable here";
    std::stringstream text;
    text << file.rdbuf();
    const MessageCatalogue pot = parseMessageCatalogue(text.str());
    ASSERT_EQ(pot.fault, "");
    ASSERT_FALSE(embeddedCatalogues().empty());
    for (const EmbeddedCatalogue& embeddedCatalogue : embeddedCatalogues()) {
        SCOPED_TRACE(embeddedCatalogue.language);
        const MessageCatalogue catalogue = parseMessageCatalogue(embeddedCatalogue.text);
        ASSERT_EQ(catalogue.fault, "") << "line " << catalogue.faultLine;
        EXPECT_NE(catalogue.languageName, "") << "the Language menu lists it by its X-Language-Name";
        std::map<std::string, const TranslationEntry*> byEnglish;
        for (const TranslationEntry& entry : catalogue.entries) byEnglish[entry.english] = &entry;
        for (const TranslationEntry& wanted : pot.entries) {
            SCOPED_TRACE(wanted.english);
            const auto found = byEnglish.find(wanted.english);
            ASSERT_NE(found, byEnglish.end()) << "missing; run scripts/update-pot";
            const TranslationEntry& entry = *found->second;
            EXPECT_FALSE(entry.fuzzy);
            EXPECT_EQ(entry.englishPlural, wanted.englishPlural);
            EXPECT_EQ(entry.translations.size(),
                      wanted.englishPlural.empty() ? 1u : catalogue.pluralRule.formCount());
            std::vector<std::string> names =
                placeholderNames(wanted.englishPlural.empty() ? wanted.english : wanted.englishPlural);
            std::sort(names.begin(), names.end());
            names.erase(std::unique(names.begin(), names.end()), names.end());
            for (const std::string& translation : entry.translations) {
                std::vector<std::string> found = placeholderNames(translation);
                std::sort(found.begin(), found.end());
                found.erase(std::unique(found.begin(), found.end()), found.end());
                EXPECT_FALSE(translation.empty());
                EXPECT_EQ(found, names) << translation;
            }
        }
    }
}

TEST(LocalizedText, LooksUpFillsAndFallsBack) {
    EXPECT_EQ(fillPlaceholders("{a} and {b}, {a}; {c} {", {{"a", "x{b}"}, {"b", 2}}),
              "x{b} and 2, x{b}; {c} {");
    EXPECT_EQ(placeholderNames("{a} {not it} {b_2} {}"), (std::vector<std::string>{"a", "b_2"}));
    EXPECT_EQ(localized("Error"), "Error");
    EXPECT_EQ(localizedPlural(1, "{count} icon", "{count} icons"), "1 icon");
    EXPECT_EQ(localizedPlural(21, "{count} icon", "{count} icons"), "21 icons");
    {
        const ScopedLanguage russian("ru_RU.UTF-8");
        EXPECT_EQ(currentLanguage(), "ru");
        EXPECT_EQ(localized("Error"), "Ошибка");
        EXPECT_EQ(localized("A text no catalogue has {x}", {{"x", "1"}}), "A text no catalogue has 1");
    }
    EXPECT_EQ(chooseLanguage({"xx_YY", "de_AT.UTF-8@euro", "ru"}), "de");
    EXPECT_EQ(chooseLanguage({"en_GB", "ru"}), "en");
    EXPECT_EQ(chooseLanguage({"xx"}), "en");
    EXPECT_EQ(localized("Error"), "Error");
}

// The lower layers' English lines, as a box or ravelin-cli shows them: read as the catalogue's texts they
// were filled from, a reason inside put into the language in turn, every other value kept as it is.
TEST(LocalizedText, PutsFinishedEnglishLinesIntoTheLanguage) {
    const std::pair<std::string, std::string> cases[] = {
        {"Can't create atlas XML file.", "Не удаётся создать XML-файл атласа."},
        {"Can't load icon: /i/{a}: b.png", "Не удаётся загрузить иконку: /i/{a}: b.png"},
        // A value that reads as a known text is still a value.
        {"Can't load icon: truncated", "Не удаётся загрузить иконку: truncated"},
        {"Unsupported atlas image: a.dds (truncated)",
         "Неподдерживаемое изображение атласа: a.dds (обрезан)"},
        // An unknown reason stays as it is inside the translated line.
        {"Unsupported atlas image: a (b).dds (DXGI 71)",
         "Неподдерживаемое изображение атласа: a (b).dds (DXGI 71)"},
        // Two reasons deep; the reading that explains most of the line wins over "Can't load icon: {file}".
        {"Can't install the new atlases: can't write /g/a.xml (the folder /g is read-only); the game's files "
         "are as they were.",
         "Не удаётся установить новые атласы: не удаётся записать /g/a.xml (папка /g только для чтения); "
         "файлы игры остались прежними."},
        {"Can't load icon: a.png, in p.zip", "Не удаётся загрузить иконку: a.png, в p.zip"},
        {"The icons don't fit into an atlas of 16384x16384", "Иконки не помещаются в атлас 16384x16384"},
        {"The icons don't fit into an atlas of 16384x8192",
         "The icons don't fit into an atlas of 16384x8192"},
        {"No catalogue knows this line: x", "No catalogue knows this line: x"},
        {"", ""},
    };
    for (const auto& [english, russian] : cases) EXPECT_EQ(localizedLine(english), english);
    const ScopedLanguage language("ru");
    for (const auto& [english, russian] : cases) EXPECT_EQ(localizedLine(english), russian) << english;
}

TEST(SystemLanguage, ReadsTheEnvironmentAsGettextDoes) {
    struct Case {
        std::map<std::string, std::string> environment;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {{{"LANG", "ru_RU.UTF-8"}}, {"ru_RU.UTF-8"}},
        {{{"LANG", "ru_RU.UTF-8"}, {"LC_MESSAGES", "de_DE"}}, {"de_DE"}},
        {{{"LANG", "ru_RU"}, {"LC_MESSAGES", "de_DE"}, {"LC_ALL", "pl_PL"}}, {"pl_PL"}},
        {{{"LANG", "ru_RU"}, {"LANGUAGE", "de:pl"}}, {"de", "pl", "ru_RU"}},
        {{{"LC_ALL", "C"}, {"LANGUAGE", "de"}}, {"C"}},
        {{{"LANG", ""}}, {}},
    };
    for (const Case& c : cases) {
        const auto lookup = [&](std::string_view name) -> std::optional<std::string> {
            const auto found = c.environment.find(std::string(name));
            return found == c.environment.end() ? std::nullopt : std::optional<std::string>(found->second);
        };
        EXPECT_EQ(environmentLanguages(lookup), c.expected);
    }
    for (const auto& [code, expected] : std::map<std::string, std::string>{{"ru_RU.UTF-8", "ru_RU"},
                                                                           {"pt-br", "pt_BR"},
                                                                           {"de@euro", "de"},
                                                                           {"C", "en"},
                                                                           {"POSIX", "en"},
                                                                           {"", "en"},
                                                                           {"r1", "en"},
                                                                           {"sr_RS_latin", "sr_RS"}})
        EXPECT_EQ(languageCode(code), expected) << code;
}
