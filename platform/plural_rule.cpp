#include "platform/plural_rule.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace {

// A recursive-descent reader of the C expressions gettext allows in plural rules.
class ExpressionReader {
public:
    ExpressionReader(std::string_view text, std::vector<PluralRule::Node>& nodes)
        : text_(text), nodes_(nodes) {}

    // The root node's index, or -1 when the text is not one whole expression.
    int read() {
        const int root = choice();
        skipBlanks();
        return failed_ || position_ != text_.size() ? -1 : root;
    }

private:
    static constexpr int kDeepest = 64;  // a hostile header cannot exhaust the stack

    void skipBlanks() {
        while (position_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[position_])))
            ++position_;
    }
    bool take(std::string_view token) {
        skipBlanks();
        if (text_.substr(position_, token.size()) != token) return false;
        position_ += token.size();
        return true;
    }
    int add(PluralRule::Node node) {
        nodes_.push_back(node);
        return static_cast<int>(nodes_.size()) - 1;
    }
    int binary(char op, int left, int right) {
        if (left < 0 || right < 0) return fail();
        return add({PluralRule::Node::Kind::Binary, op, 0, left, right, -1});
    }
    int fail() {
        failed_ = true;
        return -1;
    }

    int choice() {
        if (++depth_ > kDeepest) return fail();
        const int condition = logicalOr();
        int result = condition;
        if (take("?")) {
            const int whenTrue = choice();
            if (!take(":")) return fail();
            const int whenFalse = choice();
            if (condition < 0 || whenTrue < 0 || whenFalse < 0) return fail();
            result = add({PluralRule::Node::Kind::Choice, 0, 0, condition, whenTrue, whenFalse});
        }
        --depth_;
        return result;
    }
    int logicalOr() {
        int left = logicalAnd();
        while (!failed_ && take("||")) left = binary('|', left, logicalAnd());
        return left;
    }
    int logicalAnd() {
        int left = equality();
        while (!failed_ && take("&&")) left = binary('&', left, equality());
        return left;
    }
    int equality() {
        int left = relation();
        while (!failed_) {
            if (take("=="))
                left = binary('=', left, relation());
            else if (take("!="))
                left = binary('!', left, relation());
            else
                break;
        }
        return left;
    }
    int relation() {
        int left = sum();
        while (!failed_) {
            if (take("<="))
                left = binary('l', left, sum());
            else if (take(">="))
                left = binary('g', left, sum());
            else if (take("<"))
                left = binary('<', left, sum());
            else if (take(">"))
                left = binary('>', left, sum());
            else
                break;
        }
        return left;
    }
    int sum() {
        int left = product();
        while (!failed_) {
            if (take("+"))
                left = binary('+', left, product());
            else if (take("-"))
                left = binary('-', left, product());
            else
                break;
        }
        return left;
    }
    int product() {
        int left = unary();
        while (!failed_) {
            if (take("*"))
                left = binary('*', left, unary());
            else if (take("/"))
                left = binary('/', left, unary());
            else if (take("%"))
                left = binary('%', left, unary());
            else
                break;
        }
        return left;
    }
    int unary() {
        if (take("!")) {
            if (++depth_ > kDeepest) return fail();
            const int operand = unary();
            --depth_;
            if (operand < 0) return fail();
            return add({PluralRule::Node::Kind::Not, 0, 0, operand, -1, -1});
        }
        return primary();
    }
    int primary() {
        if (take("(")) {
            const int inner = choice();
            if (!take(")")) return fail();
            return inner;
        }
        if (take("n")) return add({PluralRule::Node::Kind::Count, 0, 0, -1, -1, -1});
        skipBlanks();
        std::uint64_t value = 0;
        const std::size_t start = position_;
        while (position_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[position_])) &&
               position_ - start < 9)
            value = value * 10 + static_cast<std::uint64_t>(text_[position_++] - '0');
        if (position_ == start) return fail();
        return add({PluralRule::Node::Kind::Number, 0, value, -1, -1, -1});
    }

    std::string_view text_;
    std::vector<PluralRule::Node>& nodes_;
    std::size_t position_ = 0;
    int depth_ = 0;
    bool failed_ = false;
};

std::uint64_t evaluate(const std::vector<PluralRule::Node>& nodes, int index, std::uint64_t n) {
    const PluralRule::Node& node = nodes[static_cast<std::size_t>(index)];
    switch (node.kind) {
        case PluralRule::Node::Kind::Count:
            return n;
        case PluralRule::Node::Kind::Number:
            return node.value;
        case PluralRule::Node::Kind::Not:
            return evaluate(nodes, node.left, n) == 0 ? 1 : 0;
        case PluralRule::Node::Kind::Choice:
            return evaluate(nodes, evaluate(nodes, node.left, n) != 0 ? node.right : node.third, n);
        case PluralRule::Node::Kind::Binary:
            break;
    }
    const std::uint64_t a = evaluate(nodes, node.left, n);
    if (node.op == '&') return a != 0 && evaluate(nodes, node.right, n) != 0;
    if (node.op == '|') return a != 0 || evaluate(nodes, node.right, n) != 0;
    const std::uint64_t b = evaluate(nodes, node.right, n);
    switch (node.op) {
        case '+':
            return a + b;
        case '-':
            return a - b;
        case '*':
            return a * b;
        case '/':
            return b == 0 ? 0 : a / b;
        case '%':
            return b == 0 ? 0 : a % b;
        case '<':
            return a < b;
        case '>':
            return a > b;
        case 'l':
            return a <= b;
        case 'g':
            return a >= b;
        case '=':
            return a == b;
        default:
            return a != b;
    }
}

// The text after "name=" up to the next ";" (or the end).
std::optional<std::string_view> fieldValue(std::string_view text, std::string_view name) {
    std::size_t at = 0;
    while ((at = text.find(name, at)) != std::string_view::npos) {
        std::size_t after = at + name.size();
        const bool startsField =
            at == 0 || text[at - 1] == ';' || std::isspace(static_cast<unsigned char>(text[at - 1]));
        while (after < text.size() && text[after] == ' ') ++after;
        if (startsField && after < text.size() && text[after] == '=') {
            const std::size_t end = text.find(';', after + 1);
            return text.substr(after + 1,
                               end == std::string_view::npos ? std::string_view::npos : end - after - 1);
        }
        at = after;
    }
    return std::nullopt;
}

}  // namespace

PluralRule::PluralRule() {
    // n != 1
    nodes_ = {{Node::Kind::Count, 0, 0, -1, -1, -1},
              {Node::Kind::Number, 0, 1, -1, -1, -1},
              {Node::Kind::Binary, '!', 0, 0, 1, -1}};
}

std::optional<PluralRule> PluralRule::parse(std::string_view pluralForms) {
    const std::optional<std::string_view> count = fieldValue(pluralForms, "nplurals");
    const std::optional<std::string_view> expression = fieldValue(pluralForms, "plural");
    if (!count || !expression) return std::nullopt;
    const std::string countText(*count);
    if (countText.find_first_not_of(" 0123456789") != std::string::npos) return std::nullopt;
    const int forms = std::atoi(countText.c_str());
    if (forms < 1 || forms > 6) return std::nullopt;
    PluralRule rule;
    rule.formCount_ = static_cast<std::size_t>(forms);
    rule.nodes_.clear();
    const int root = ExpressionReader(*expression, rule.nodes_).read();
    if (root < 0 || root != static_cast<int>(rule.nodes_.size()) - 1) return std::nullopt;
    return rule;
}

std::size_t PluralRule::formIndex(std::uint64_t count) const {
    const std::uint64_t form = evaluate(nodes_, static_cast<int>(nodes_.size()) - 1, count);
    return form < formCount_ ? static_cast<std::size_t>(form) : 0;
}
