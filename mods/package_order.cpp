#include "mods/package_order.h"

#include <algorithm>

#include "game/xml_document.h"
#include "platform/text_utilities.h"

namespace {

// Blanks, tabs and line ends off both ends: the files are written by hand as often as by tools.
std::string trimmedSpace(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

bool endsWithIgnoringCase(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           findIgnoringAsciiCase(text.substr(text.size() - ending.size()), ending) == 0;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return foldAsciiCase(x) == foldAsciiCase(y);
           });
}

void collectPackages(const XmlElement& element, std::vector<std::string>& packages) {
    if (element.children.empty()) {
        std::string name = trimmedSpace(element.text);
        std::replace(name.begin(), name.end(), '\\', '/');
        if (endsWithIgnoringCase(name, ".wotmod") || endsWithIgnoringCase(name, ".mtmod"))
            packages.push_back(std::move(name));
        return;
    }
    for (const XmlElement& child : element.children) collectPackages(child, packages);
}

}  // namespace

std::optional<std::string> packageIdInMetaXml(std::string_view text) {
    const XmlDocument document = parseXmlDocument(text);
    if (!document.root) return std::nullopt;
    const XmlElement* id = document.root->child("id");
    if (!id) return std::nullopt;
    std::string value = trimmedSpace(id->text);
    const bool control = std::any_of(
        value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
    if (value.empty() || control) return std::nullopt;
    return value;
}

LoadOrderReading readLoadOrderXml(std::string_view text) {
    LoadOrderReading reading;
    const XmlDocument document = parseXmlDocument(text);
    if (!document.root) {
        reading.fault = document.fault;
        return reading;
    }
    reading.readable = true;
    collectPackages(*document.root, reading.packages);
    return reading;
}

bool loadOrderEntryNames(std::string_view entry, std::string_view relativePath) {
    std::string_view wanted = entry;
    if (wanted.starts_with("./")) wanted.remove_prefix(2);
    if (wanted.find('/') == std::string_view::npos) {
        const std::size_t slash = relativePath.rfind('/');
        if (slash != std::string_view::npos) relativePath.remove_prefix(slash + 1);
    }
    return sameIgnoringCase(wanted, relativePath);
}
