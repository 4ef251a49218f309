#include "platform/line_template.h"

#include <algorithm>
#include <cctype>

namespace {

bool placeholderName(std::string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
}

// A line of thousands of characters with the literals everywhere would otherwise try every split.
constexpr int kMostSteps = 4096;

struct Matcher {
    const LineTemplate& pattern;
    std::string_view line;
    const std::function<bool(const std::vector<std::string_view>&)>& found;
    std::vector<std::string_view> values;
    int steps = kMostSteps;

    bool consistent() const {
        for (std::size_t i = 0; i < values.size(); ++i) {
            for (std::size_t j = i + 1; j < values.size(); ++j)
                if (pattern.names[i] == pattern.names[j] && values[i] != values[j]) return false;
        }
        return true;
    }

    // The value of placeholder index starts at position; true once found accepted a reading.
    bool matchFrom(std::size_t index, std::size_t position) {
        if (--steps < 0) return false;
        const std::string_view next = pattern.literals[index + 1];
        if (index + 1 == pattern.names.size()) {
            if (line.size() < position + next.size() || !line.ends_with(next)) return false;
            values[index] = line.substr(position, line.size() - next.size() - position);
            return consistent() && found(values);
        }
        for (std::size_t at = line.find(next, position); at != std::string_view::npos;
             at = line.find(next, at + 1)) {
            values[index] = line.substr(position, at - position);
            if (matchFrom(index + 1, at + next.size())) return true;
            if (steps < 0) return false;
        }
        return false;
    }
};

}  // namespace

LineTemplate lineTemplateOf(std::string_view text) {
    LineTemplate pattern;
    std::string literal;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('{', at);
        if (open == std::string_view::npos) break;
        const std::size_t close = text.find_first_of("{}", open + 1);
        if (close == std::string_view::npos) break;
        const std::string_view name = text.substr(open + 1, close - open - 1);
        if (text[close] == '}' && placeholderName(name)) {
            literal.append(text.substr(at, open - at));
            pattern.literalSize += literal.size();
            pattern.literals.push_back(std::move(literal));
            literal.clear();
            pattern.names.emplace_back(name);
            at = close + 1;
        } else {
            literal.append(text.substr(at, close - at));
            at = close;
        }
    }
    literal.append(text.substr(at));
    pattern.literalSize += literal.size();
    pattern.literals.push_back(std::move(literal));
    return pattern;
}

bool matchLineTemplate(const LineTemplate& pattern, std::string_view line,
                       const std::function<bool(const std::vector<std::string_view>& values)>& found) {
    if (!line.starts_with(pattern.literals.front()) || !line.ends_with(pattern.literals.back())) return false;
    if (pattern.names.empty()) return line == pattern.literals.front() && found({});
    Matcher matcher{pattern, line, found, std::vector<std::string_view>(pattern.names.size())};
    return matcher.matchFrom(0, pattern.literals.front().size());
}

std::string filledTemplate(const LineTemplate& pattern, const std::vector<std::string>& values) {
    std::string text = pattern.literals.front();
    for (std::size_t i = 0; i < pattern.names.size(); ++i) text += values[i] + pattern.literals[i + 1];
    return text;
}
