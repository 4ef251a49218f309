#pragma once

// An English text with {placeholders} read as a pattern for finished lines: which values, put into its
// placeholders, give the line. So a line the lower layers made for the log can be traced back to the
// catalogue's text it was filled from.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct LineTemplate {
    std::vector<std::string> literals;  // the text around the placeholders: one more than the names
    std::vector<std::string> names;     // the placeholders in order of appearance
    std::size_t literalSize = 0;        // the bytes of the literals together
};

// Placeholders as placeholderNames() finds them; other braces are literal text.
LineTemplate lineTemplateOf(std::string_view text);

// Calls found with each way the line reads as the template (a value per name, in the names' order; a
// name given twice has the same value both times), the leftmost split first, until found returns true.
// A line with many ways to split it stops after a bounded number of tries. True when found accepted one.
bool matchLineTemplate(const LineTemplate& pattern, std::string_view line,
                       const std::function<bool(const std::vector<std::string_view>& values)>& found);

// The template's text with the values put in, one per name in the names' order.
std::string filledTemplate(const LineTemplate& pattern, const std::vector<std::string>& values);
