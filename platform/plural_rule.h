#pragma once

// A language's plural rule as gettext writes it in a catalogue's header ("nplurals=3; plural=(n%10==1 &&
// n%100!=11 ? 0 : ...);"): which of the language's forms a count takes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

class PluralRule {
public:
    // English's: one form for 1, the other for every other count.
    PluralRule();

    // The rule of a Plural-Forms value; none when it does not parse (an unknown operator, unbalanced
    // parentheses, nplurals outside 1..6).
    static std::optional<PluralRule> parse(std::string_view pluralForms);

    std::size_t formCount() const { return formCount_; }
    // The form for a count, always below formCount().
    std::size_t formIndex(std::uint64_t count) const;

    struct Node {
        enum class Kind { Count, Number, Not, Binary, Choice } kind = Kind::Number;
        char op = 0;  // Binary: one of + - * / % < > l(<=) g(>=) = (==) ! (!=) & (&&) | (||)
        std::uint64_t value = 0;
        int left = -1;  // indexes into the rule's nodes
        int right = -1;
        int third = -1;  // Choice: condition ? right : third, with the condition in left
    };

private:
    std::size_t formCount_ = 2;
    std::vector<Node> nodes_;  // the expression, its root last
};
