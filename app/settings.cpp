#include "app/settings.h"

#include <cmath>

#include "app/context.h"
#include "app/event_log.h"
#include "app/settings_json.h"
#include "platform/file_io.h"
#include "platform/localized_text.h"
#include "platform/text_utilities.h"

namespace {

using Json = nlohmann::ordered_json;

// Deeper documents are refused before parsing: writing them out again must not exhaust the stack.
constexpr int kMaximumNesting = 512;

bool nestedTooDeeply(std::string_view text) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaximumNesting) return true;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

// A number member cut toward zero and then to the field's width; true and false count as 1 and 0.
std::int64_t integerMember(const Json& value) {
    if (value.is_boolean()) return value.get<bool>() ? 1 : 0;
    if (value.is_number_integer() && !value.is_number_unsigned()) return value.get<std::int64_t>();
    if (value.is_number_unsigned()) return static_cast<std::int64_t>(value.get<std::uint64_t>());
    if (value.is_number_float()) {
        const double whole = std::trunc(value.get<double>());
        if (!std::isfinite(whole)) return 0;
        // Only the low 32 bits survive, so reduce huge values modulo 2^32 first.
        return static_cast<std::int64_t>(std::fmod(whole, 4294967296.0));
    }
    return 0;
}

template <typename Field>
void readIntegerField(const Json& document, std::string_view key, Field& field) {
    const auto member = document.find(std::string(key));
    if (member == document.end()) return;
    using Unsigned = std::make_unsigned_t<Field>;
    field = static_cast<Field>(static_cast<Unsigned>(static_cast<std::uint64_t>(integerMember(*member))));
}

void readTextField(const Json& document, std::string_view key, std::string& field) {
    const auto member = document.find(std::string(key));
    if (member != document.end() && member->is_string()) field = member->get<std::string>();
}

Json settingsDocument(const Settings& s) {
    Json document = Json::object();
    document["wotInstallDir"] = s.wotInstallDir;
    document["wotLastVersion"] = s.wotLastVersion;
    // Insertion order decides the order of keys that share a place in the file's layout, so it stays
    // as the file has always had it.
    for (const AtlasKind& kind : kAtlasKinds)
        document[std::string(kind.iconCountKey)] = s.atlas(kind).iconCount;
    document["acCurrentDir"] = s.acCurrentDir;
    document["acOriginalAtlasDir"] = s.acOriginalAtlasDir;
    document["acNewIconsDir"] = s.acNewIconsDir;
    document["acNewIconFiles"] = s.acNewIconFiles;
    for (const AtlasKind& kind : kAtlasKinds) {
        const AtlasRecord& atlas = s.atlas(kind);
        document[std::string(kind.iconDirectoryKey)] = atlas.iconDirectory;
        document[std::string(kind.atlasWidthKey)] = atlas.atlasWidth;
        document[std::string(kind.atlasHeightKey)] = atlas.atlasHeight;
    }
    document["acSaveInGamedir"] = static_cast<int>(s.acSaveInGamedir);
    if (s.acOverviewWidth != 0 || s.acOverviewHeight != 0 || s.acOverviewMaximized != 0) {
        document["acOverviewWidth"] = s.acOverviewWidth;
        document["acOverviewHeight"] = s.acOverviewHeight;
        document["acOverviewMaximized"] = static_cast<int>(s.acOverviewMaximized);
    }
    if (!s.language.empty()) document["language"] = s.language;
    return document;
}

}  // namespace

std::string settingsFileText(const Settings& settings) {
    return jsonDocumentText(settingsDocument(settings));
}

std::optional<ParsedSettings> parseSettingsText(std::string_view text) {
    // The JSON library would skip a byte-order mark; the file format has none, so it does not parse.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") return std::nullopt;
    if (nestedTooDeeply(text)) return std::nullopt;
    const Json document = Json::parse(text.begin(), text.end(), nullptr, false);
    if (document.is_discarded()) return std::nullopt;

    ParsedSettings parsed;
    if (document.is_object()) {
        Settings& s = parsed.settings;
        readTextField(document, "wotInstallDir", s.wotInstallDir);
        readTextField(document, "wotLastVersion", s.wotLastVersion);
        readTextField(document, "acCurrentDir", s.acCurrentDir);
        readTextField(document, "acOriginalAtlasDir", s.acOriginalAtlasDir);
        readTextField(document, "acNewIconsDir", s.acNewIconsDir);
        readIntegerField(document, "acNewIconFiles", s.acNewIconFiles);
        for (const AtlasKind& kind : kAtlasKinds) {
            AtlasRecord& atlas = s.atlas(kind);
            readIntegerField(document, kind.iconCountKey, atlas.iconCount);
            readTextField(document, kind.iconDirectoryKey, atlas.iconDirectory);
            readIntegerField(document, kind.atlasWidthKey, atlas.atlasWidth);
            readIntegerField(document, kind.atlasHeightKey, atlas.atlasHeight);
        }
        readIntegerField(document, "acSaveInGamedir", s.acSaveInGamedir);
        readIntegerField(document, "acOverviewWidth", s.acOverviewWidth);
        readIntegerField(document, "acOverviewHeight", s.acOverviewHeight);
        readIntegerField(document, "acOverviewMaximized", s.acOverviewMaximized);
        readTextField(document, "language", s.language);
    }
    parsed.documentText = jsonDocumentText(document);
    return parsed;
}

bool loadSettings(Context& context) {
    const std::optional<std::vector<std::uint8_t>> content = readWholeFile(std::string(kSettingsFileName));
    std::optional<ParsedSettings> parsed;
    // Read as every text file is: a malformed byte becomes "?" instead of making the file unreadable.
    if (content)
        parsed = parseSettingsText(
            validUtf8(std::string_view(reinterpret_cast<const char*>(content->data()), content->size())));
    if (!parsed) {
        context.log.logError(englishText("Can't open config file."));
        return false;
    }
    context.settings = parsed->settings;
    context.storedSettings = parsed->settings;
    context.log.logInfo("Loaded settings:");
    context.log.logInfo(parsed->documentText);
    return true;
}

namespace {

bool writeSettingsFile(Context& context, const std::string& text) {
    std::optional<OutputFile> file =
        OutputFile::open(std::string(kSettingsFileName), OutputFile::Mode::Replace);
    if (file) file->write(text);
    if (!file || !file->finish()) return false;
    context.storedSettings = context.settings;
    return true;
}

}  // namespace

void saveSettings(Context& context) {
    std::string text;
    try {
        text = settingsFileText(context.settings);
    } catch (const std::exception& error) {
        context.log.logError(error.what());
        return;
    }
    if (writeSettingsFile(context, text)) {
        context.log.logInfo("Saved settings.");
    } else {
        context.log.logError(englishText("Can't save config file."));
    }
}

void storeChangedSettings(Context& context) {
    if (context.storedSettings == context.settings) return;
    try {
        writeSettingsFile(context, settingsFileText(context.settings));
    } catch (const std::exception&) {
        // The exit's save reports it.
    }
}
