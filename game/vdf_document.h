#pragma once

// Valve's text key-value files (libraryfolders.vdf, appmanifest_<id>.acf): a key followed by either a
// text or a block of further keys in braces. Keys and texts are quoted (with \\, \", \n and \t escapes)
// or bare words; "//" starts a comment; a condition such as [$WIN32] after a value is skipped.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct VdfNode {
    std::string key;
    std::string text;  // a text's value; empty for a block
    bool isBlock = false;
    std::vector<VdfNode> children;

    // The first child whose key matches ignoring ASCII case (the files are written either way), or none.
    const VdfNode* child(std::string_view childKey) const;
};

struct VdfDocument {
    std::optional<VdfNode> root;  // a block holding the file's top-level keys; none when damaged
    std::string fault;
};

// Refuses an unterminated quote, unbalanced braces, a key without value and nesting deeper than 64.
VdfDocument parseVdfDocument(std::string_view text);
