#pragma once

// Writing JSON in the settings file's layout: "{", one member per line with two blanks before the key
// and the colons aligned, "}"; CR LF between lines and none after the last. Members appear in the order
// of a 64-bucket hash table (h = h * 65599 + c over the key's UTF-16 code units, each member inserted at
// the head of its bucket), the order the file has always had.

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

std::string jsonStringLiteral(std::string_view text);
std::string jsonDocumentText(const nlohmann::ordered_json& document);
