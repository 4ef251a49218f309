#pragma once

// A small reader for the XML files launchers and the game keep (preferences.xml, game_info.xml): elements,
// attributes and text with the five named entities and character references; comments, processing
// instructions and declarations are skipped. A document that is not well-formed is refused with the reason.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct XmlElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string text;  // the element's own text, its children's left out, entities resolved
    std::vector<XmlElement> children;

    // The first child of that name, or none.
    const XmlElement* child(std::string_view childName) const;
    // The element at the end of a path of child names, or none.
    const XmlElement* descendant(std::initializer_list<std::string_view> path) const;
};

struct XmlDocument {
    std::optional<XmlElement> root;  // none when the text is not XML
    std::string fault;               // why not, when it is not
};

// Texts are valid UTF-8 afterwards (malformed bytes become "?"); nesting deeper than 64 levels is refused.
XmlDocument parseXmlDocument(std::string_view text);
