#include "app/settings_json.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "platform/text_utilities.h"

namespace {

std::uint32_t keyBucket(std::string_view key) {
    std::uint32_t hash = 0;
    for (const std::uint16_t unit : utf16Text(key)) hash = hash * 65599u + unit;
    return hash % 64u;
}

void appendValue(std::string& out, const nlohmann::ordered_json& value, int indent);

void appendObject(std::string& out, const nlohmann::ordered_json& object, int indent) {
    // Each bucket lists its members newest first.
    std::array<std::vector<std::pair<std::string_view, const nlohmann::ordered_json*>>, 64> lists;
    std::size_t longestKey = 0;
    for (auto member = object.begin(); member != object.end(); ++member) {
        auto& list = lists[keyBucket(member.key())];
        list.insert(list.begin(), {member.key(), &member.value()});
        longestKey = std::max(longestKey, utf16Text(member.key()).size());
    }
    const std::string margin(static_cast<std::size_t>(indent) + 2, ' ');
    out += "{";
    bool first = true;
    for (const auto& list : lists) {
        for (const auto& [key, value] : list) {
            out += first ? "\r\n" : ",\r\n";
            first = false;
            out +=
                margin + jsonStringLiteral(key) + std::string(longestKey - utf16Text(key).size(), ' ') + ": ";
            appendValue(out, *value, indent + 2);
        }
    }
    out += "\r\n" + std::string(static_cast<std::size_t>(indent), ' ') + "}";
}

void appendValue(std::string& out, const nlohmann::ordered_json& value, int indent) {
    if (value.is_object()) {
        appendObject(out, value, indent);
    } else if (value.is_array()) {
        out += "[";
        bool first = true;
        for (const auto& element : value) {
            if (!first) out += ", ";
            first = false;
            appendValue(out, element, indent);
        }
        out += "]";
    } else if (value.is_string()) {
        out += jsonStringLiteral(value.get_ref<const std::string&>());
    } else {
        out += value.dump();
    }
}

}  // namespace

std::string jsonStringLiteral(std::string_view text) {
    static constexpr char kHexDigits[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    out += "\\u00";
                    out += kHexDigits[static_cast<unsigned char>(c) >> 4];
                    out += kHexDigits[static_cast<unsigned char>(c) & 0x0F];
                } else {
                    out += c;  // the slash and every non-ASCII byte unchanged
                }
        }
    }
    return out + "\"";
}

std::string jsonDocumentText(const nlohmann::ordered_json& document) {
    std::string out;
    appendValue(out, document, 0);
    return out;
}
