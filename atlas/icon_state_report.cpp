#include "atlas/icon_state_report.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "atlas/atlas_kind.h"
#include "atlas/icon_state_summary.h"
#include "atlas/icon_states.h"
#include "image/png_codec.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/text_utilities.h"

namespace {

constexpr std::string_view kStyle =
    "body{font-family:sans-serif;margin:1.5em;color:#222}h2{margin-top:1.5em}"
    ".grid{display:flex;flex-wrap:wrap;gap:8px}"
    "figure{margin:0;padding:6px;border:1px solid #ccc;border-radius:4px;background:#f7f7f7}"
    "figure img{max-width:160px;max-height:96px;margin-right:4px;vertical-align:middle;"
    "background:repeating-conic-gradient(#ddd 0 25%,#fff 0 50%) 0 0/12px 12px}"
    "figcaption{font-size:0.85em;margin-top:4px}.mark{font-weight:bold;margin-left:0.4em}"
    ".Replaced .mark{color:#1a7f37}.OtherSize .mark{color:#b35900}"
    ".UnreadableReplacement .mark,.EmptyReplacement .mark{color:#c00}"
    ".new{color:#0550ae;margin-left:0.4em}td,th{padding:2px 10px;text-align:left}";

std::string base64(const std::vector<std::uint8_t>& bytes) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::uint32_t group = std::uint32_t{bytes[i]} << 16 |
                                    (i + 1 < bytes.size() ? std::uint32_t{bytes[i + 1]} << 8 : 0) |
                                    (i + 2 < bytes.size() ? std::uint32_t{bytes[i + 2]} : 0);
        text += kDigits[group >> 18 & 63];
        text += kDigits[group >> 12 & 63];
        text += i + 1 < bytes.size() ? kDigits[group >> 6 & 63] : '=';
        text += i + 2 < bytes.size() ? kDigits[group & 63] : '=';
    }
    return text;
}

// The PNG file as an embedded picture, or nothing when it is not one the program reads; a file the
// icon states have decoded already is not decoded again.
std::string picture(const std::string& path, std::string_view role, bool knownReadable = false) {
    const std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(path);
    if (!bytes || (!knownReadable && !decodePng(bytes->data(), bytes->size()))) return {};
    return "<img alt=\"" + std::string(role) + "\" src=\"data:image/png;base64," + base64(*bytes) + "\">";
}

const char* stateName(IconState state) {
    switch (state) {
        case IconState::Default:
            return "Default";
        case IconState::EmptyReplacement:
            return "EmptyReplacement";
        case IconState::Replaced:
            return "Replaced";
        case IconState::OtherSize:
            return "OtherSize";
        case IconState::UnreadableReplacement:
            return "UnreadableReplacement";
    }
    return "";
}

std::string markText(const IconStateEntry& icon) {
    switch (icon.state) {
        case IconState::Default:
            return localized("default");
        case IconState::EmptyReplacement:
            return localized("empty file, the default icon is used");
        case IconState::Replaced:
            return localized("replaced");
        case IconState::OtherSize:
            return localized("other size: {sizes}", {{"sizes", sizeChangeText(icon)}});
        case IconState::UnreadableReplacement:
            return localized("unreadable replacement, default used");
    }
    return "";
}

std::string figure(const IconStateEntry& icon) {
    std::string html = std::string("<figure class=\"") + stateName(icon.state) + "\">" +
                       picture(icon.defaultPath, "default");
    if (icon.hasReplacement()) html += picture(icon.replacementPath, "replacement", true);
    html += "<figcaption>" + markupEscaped(icon.name) + "<span class=\"mark\">" +
            markupEscaped(markText(icon)) + "</span>";
    if (icon.isNew) html += "<span class=\"new\">" + localized("new") + "</span>";
    return html + "</figcaption></figure>\n";
}

std::string atlasSection(const AtlasIconStates& atlas) {
    const std::string name = markupEscaped(atlas.kind->atlasName);
    std::string html = "<section id=\"" + name + "\"><h2>" + name + "</h2>\n";
    if (!atlas.catalogueFound)
        return html + "<p>" + localized("No icon list: take the game's atlases apart first.") +
               "</p></section>\n";
    html += "<p class=\"counts\">" + iconStateCountsText(atlas.counts) + "</p>\n<div class=\"grid\">\n";
    std::string defaults;
    std::size_t defaultCount = 0;
    for (const IconStateEntry& icon : atlas.icons) {
        if (icon.state != IconState::Default || icon.isNew) {
            html += figure(icon);
        } else {
            defaults += (defaultCount++ ? ", " : "") + markupEscaped(icon.name);
        }
    }
    html += "</div>\n";
    if (defaultCount > 0) {
        html +=
            "<details><summary>" +
            localizedPlural(defaultCount, "{count} icon at its default", "{count} icons at their default") +
            "</summary><p>" + defaults + "</p></details>\n";
    }
    return html + "</section>\n";
}

std::string unmatchedSection(const IconStateModel& model) {
    std::string html = "<section id=\"unmatched\"><h2>" + localized("Files that match no icon") + "</h2>\n";
    if (model.unmatched.empty())
        return html + "<p>" + localized("Every file in the replacement folder matches an icon.") +
               "</p></section>\n";
    html += "<table><tr><th>" + localized("File") + "</th><th>" + localized("Nearest icon") +
            "</th><th></th></tr>\n";
    for (const UnmatchedIconFile& file : model.unmatched) {
        html += "<tr><td>" + markupEscaped(file.fileName) + "</td><td>" + markupEscaped(file.suggestion) +
                "</td><td>" + picture(model.replacementDirectory + file.fileName, "file") + "</td></tr>\n";
    }
    return html + "</table></section>\n";
}

// The page's language as HTML names it ("pt-BR" for the catalogue "pt_BR").
std::string htmlLanguage() {
    std::string language = currentLanguage();
    std::replace(language.begin(), language.end(), '_', '-');
    return language;
}

}  // namespace

std::string iconStateReportHtml(const IconStateModel& model, const std::string& gameVersion,
                                const std::string& workingDirectory, const std::string& homeDirectory) {
    const std::string replacementDirectory =
        pathShownToOthers(model.replacementDirectory, workingDirectory, homeDirectory);
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"" + htmlLanguage() + "\"><head><meta charset=\"utf-8\"><title>" +
        localized("Ravelin report") + "</title><style>" + std::string(kStyle) +
        "</style></head>\n<body>\n<h1>" + localized("Ravelin report") + "</h1>\n<p>" +
        localized(
            "Game version {version}, replacement icons from {directory}",
            {{"version", markupEscaped(gameVersion)}, {"directory", markupEscaped(replacementDirectory)}}) +
        "</p>\n";
    for (const AtlasIconStates& atlas : model.atlases) html += atlasSection(atlas);
    return html + unmatchedSection(model) + "</body></html>\n";
}
