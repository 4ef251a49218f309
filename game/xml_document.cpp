#include "game/xml_document.h"

#include <cstdint>

#include "platform/localized_text.h"
#include "platform/text_utilities.h"

namespace {

constexpr int kDeepestNesting = 64;

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == ':' || static_cast<unsigned char>(c) >= 0x80;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void appendCodePoint(std::string& text, std::uint32_t code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (code >> 18));
        text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    XmlDocument parse() {
        XmlDocument document;
        if (text_.starts_with("\xEF\xBB\xBF")) position_ = 3;
        if (!skipMisc()) return refuse(document);
        if (atEnd() || text_[position_] != '<') {
            fault_ = translatable("no root element");
            return refuse(document);
        }
        XmlElement root;
        if (!element(root, 1) || !skipMisc()) return refuse(document);
        if (!atEnd()) {
            fault_ = translatable("content after the root element");
            return refuse(document);
        }
        document.root = std::move(root);
        return document;
    }

private:
    XmlDocument& refuse(XmlDocument& document) {
        document.fault =
            englishText("{reason} at byte {position}", {{"reason", fault_}, {"position", position_}});
        return document;
    }

    bool atEnd() const { return position_ >= text_.size(); }
    bool startsWith(std::string_view prefix) const { return text_.substr(position_).starts_with(prefix); }
    void skipBlanks() {
        while (!atEnd() && isBlank(text_[position_])) ++position_;
    }

    bool fail(std::string_view fault) {
        fault_ = fault;
        return false;
    }

    // Skips past the terminator; false when it never comes.
    bool skipPast(std::string_view terminator, std::string_view fault) {
        const std::size_t end = text_.find(terminator, position_);
        if (end == std::string_view::npos) return fail(fault);
        position_ = end + terminator.size();
        return true;
    }

    // Blanks, comments, processing instructions and declarations between elements.
    bool skipMisc() {
        for (;;) {
            skipBlanks();
            if (startsWith("<!--")) {
                if (!skipPast("-->", translatable("unterminated comment"))) return false;
            } else if (startsWith("<?")) {
                if (!skipPast("?>", translatable("unterminated processing instruction"))) return false;
            } else if (startsWith("<!")) {
                if (!skipPast(">", translatable("unterminated declaration"))) return false;
            } else {
                return true;
            }
        }
    }

    bool name(std::string& result) {
        const std::size_t start = position_;
        while (!atEnd() && isNameCharacter(text_[position_])) ++position_;
        if (position_ == start) return fail(translatable("a name is missing"));
        result = std::string(text_.substr(start, position_ - start));
        return true;
    }

    // Text up to the terminator character, with its references resolved.
    bool characterData(char terminator, std::string& result) {
        while (!atEnd() && text_[position_] != terminator) {
            const char c = text_[position_];
            if (c == '&') {
                if (!reference(result)) return false;
            } else if (c == '<') {
                return fail(translatable("'<' inside a value"));
            } else {
                result += c;
                ++position_;
            }
        }
        return true;
    }

    bool reference(std::string& result) {
        const std::size_t end = text_.find(';', position_);
        if (end == std::string_view::npos || end - position_ > 12)
            return fail(translatable("unterminated reference"));
        const std::string_view entity = text_.substr(position_ + 1, end - position_ - 1);
        static constexpr std::pair<std::string_view, char> kNamed[] = {
            {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
        bool known = false;
        for (const auto& [named, character] : kNamed) {
            if (entity == named) {
                result += character;
                known = true;
            }
        }
        if (!known) {
            if (entity.size() < 2 || entity[0] != '#') return fail(translatable("unknown entity"));
            const bool hexadecimal = entity[1] == 'x';
            const std::string_view digits = entity.substr(hexadecimal ? 2 : 1);
            std::uint32_t code = 0;
            if (digits.empty()) return fail(translatable("empty character reference"));
            for (const char digit : digits) {
                int value = -1;
                if (digit >= '0' && digit <= '9') value = digit - '0';
                if (hexadecimal && digit >= 'a' && digit <= 'f') value = digit - 'a' + 10;
                if (hexadecimal && digit >= 'A' && digit <= 'F') value = digit - 'A' + 10;
                if (value < 0) return fail(translatable("bad character reference"));
                code = code * (hexadecimal ? 16 : 10) + static_cast<std::uint32_t>(value);
            }
            if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                return fail(translatable("character reference out of range"));
            appendCodePoint(result, code);
        }
        position_ = end + 1;
        return true;
    }

    bool attribute(XmlElement& element) {
        std::string attributeName;
        if (!name(attributeName)) return false;
        skipBlanks();
        if (atEnd() || text_[position_] != '=') return fail(translatable("an attribute without value"));
        ++position_;
        skipBlanks();
        if (atEnd() || (text_[position_] != '"' && text_[position_] != '\''))
            return fail(translatable("an unquoted value"));
        const char quote = text_[position_++];
        std::string value;
        if (!characterData(quote, value)) return false;
        if (atEnd()) return fail(translatable("unterminated value"));
        ++position_;
        element.attributes.emplace_back(std::move(attributeName), validUtf8(value));
        return true;
    }

    // At "<" of a start tag: the element with everything inside it, up to its end tag.
    bool element(XmlElement& element, int depth) {
        if (depth > kDeepestNesting) return fail(translatable("elements nested too deeply"));
        ++position_;
        if (!name(element.name)) return false;
        for (;;) {
            const std::size_t before = position_;
            skipBlanks();
            if (atEnd()) return fail(translatable("unterminated start tag"));
            if (startsWith("/>")) {
                position_ += 2;
                return true;
            }
            if (text_[position_] == '>') {
                ++position_;
                break;
            }
            if (position_ == before) return fail(translatable("attributes must be separated by blanks"));
            if (!attribute(element)) return false;
        }
        return content(element, depth);
    }

    bool content(XmlElement& element, int depth) {
        std::string text;
        for (;;) {
            if (atEnd()) return fail(englishText("unclosed element <{name}>", {{"name", element.name}}));
            if (startsWith("</")) {
                position_ += 2;
                std::string closing;
                if (!name(closing)) return false;
                skipBlanks();
                if (closing != element.name || atEnd() || text_[position_] != '>')
                    return fail(translatable("mismatched end tag"));
                ++position_;
                element.text = validUtf8(text);
                return true;
            }
            if (startsWith("<![CDATA[")) {
                const std::size_t start = position_ + 9;
                if (!skipPast("]]>", translatable("unterminated CDATA section"))) return false;
                text += text_.substr(start, position_ - 3 - start);
            } else if (startsWith("<!--")) {
                if (!skipPast("-->", translatable("unterminated comment"))) return false;
            } else if (startsWith("<?")) {
                if (!skipPast("?>", translatable("unterminated processing instruction"))) return false;
            } else if (text_[position_] == '<') {
                element.children.emplace_back();
                if (!this->element(element.children.back(), depth + 1)) return false;
            } else if (!characterData('<', text)) {
                return false;
            }
        }
    }

    std::string_view text_;
    std::size_t position_ = 0;
    std::string fault_;
};

}  // namespace

const XmlElement* XmlElement::child(std::string_view childName) const {
    for (const XmlElement& candidate : children) {
        if (candidate.name == childName) return &candidate;
    }
    return nullptr;
}

const XmlElement* XmlElement::descendant(std::initializer_list<std::string_view> path) const {
    const XmlElement* element = this;
    for (const std::string_view step : path) {
        element = element->child(step);
        if (!element) return nullptr;
    }
    return element;
}

XmlDocument parseXmlDocument(std::string_view text) {
    return Parser(text).parse();
}
