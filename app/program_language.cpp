#include "app/program_language.h"

#include <cstdint>
#include <string_view>

#include "app/settings.h"
#include "platform/file_io.h"
#include "platform/localized_text.h"
#include "platform/text_utilities.h"

std::optional<std::string> languageOption(int argc, char** argv) {
    std::optional<std::string> code;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--lang" && i + 1 < argc)
            code = argv[++i];
        else if (word.starts_with("--lang="))
            code = std::string(word.substr(7));
    }
    return code;
}

std::string chooseProgramLanguage(const std::optional<std::string>& option,
                                  const std::vector<std::string>& systemLanguages) {
    if (option) return chooseLanguage({*option});
    // Read here without a log line: the settings are loaded and logged by the flow that follows.
    const std::optional<std::vector<std::uint8_t>> content = readWholeFile(std::string(kSettingsFileName));
    if (content) {
        const std::optional<ParsedSettings> parsed = parseSettingsText(
            validUtf8(std::string_view(reinterpret_cast<const char*>(content->data()), content->size())));
        if (parsed && !parsed->settings.language.empty()) return chooseLanguage({parsed->settings.language});
    }
    return chooseLanguage(systemLanguages);
}
