#include "game/vdf_document.h"

#include "platform/localized_text.h"
#include "platform/text_utilities.h"

namespace {

constexpr int kDeepestNesting = 64;

enum class TokenKind { End, Text, Open, Close, Fault };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;
};

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {
        if (text_.starts_with("\xEF\xBB\xBF")) position_ = 3;
    }

    VdfDocument parse() {
        VdfDocument document;
        VdfNode root;
        root.isBlock = true;
        if (!block(root, 0, false)) {
            document.fault =
                englishText("{reason} at byte {position}", {{"reason", fault_}, {"position", position_}});
            return document;
        }
        document.root = std::move(root);
        return document;
    }

private:
    bool fail(std::string_view fault) {
        fault_ = fault;
        return false;
    }

    void skipBlanksAndComments() {
        while (position_ < text_.size()) {
            const char c = text_[position_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++position_;
            } else if (text_.substr(position_).starts_with("//")) {
                const std::size_t end = text_.find('\n', position_);
                position_ = end == std::string_view::npos ? text_.size() : end;
            } else {
                return;
            }
        }
    }

    Token next() {
        skipBlanksAndComments();
        if (position_ >= text_.size()) return {TokenKind::End, {}};
        const char c = text_[position_];
        if (c == '{' || c == '}') {
            ++position_;
            return {c == '{' ? TokenKind::Open : TokenKind::Close, {}};
        }
        Token token{TokenKind::Text, {}};
        if (c == '"') {
            for (++position_;; ++position_) {
                if (position_ >= text_.size()) {
                    fault_ = translatable("unterminated quote");
                    return {TokenKind::Fault, {}};
                }
                const char d = text_[position_];
                if (d == '"') break;
                if (d == '\\' && position_ + 1 < text_.size()) {
                    const char escaped = text_[++position_];
                    token.text += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
                } else {
                    token.text += d;
                }
            }
            ++position_;
        } else {
            while (position_ < text_.size() &&
                   std::string_view(" \t\r\n{}\"").find(text_[position_]) == std::string_view::npos)
                token.text += text_[position_++];
        }
        token.text = validUtf8(token.text);
        return token;
    }

    // A condition such as [$WIN32] may follow a value on its line.
    void skipCondition() {
        skipBlanksAndComments();
        if (position_ < text_.size() && text_[position_] == '[') {
            const std::size_t end = text_.find(']', position_);
            position_ = end == std::string_view::npos ? text_.size() : end + 1;
        }
    }

    // The keys of a block up to its closing brace, or up to the end for the file's top level.
    bool block(VdfNode& parent, int depth, bool closed) {
        if (depth > kDeepestNesting) return fail(translatable("blocks nested too deeply"));
        for (;;) {
            Token key = next();
            switch (key.kind) {
                case TokenKind::Fault:
                    return false;
                case TokenKind::End:
                    return closed ? fail(translatable("unclosed block")) : true;
                case TokenKind::Close:
                    return closed ? true : fail(translatable("a closing brace without block"));
                case TokenKind::Open:
                    return fail(translatable("a block without key"));
                case TokenKind::Text:
                    break;
            }
            skipCondition();
            Token value = next();
            VdfNode node;
            node.key = std::move(key.text);
            if (value.kind == TokenKind::Text) {
                node.text = std::move(value.text);
                skipCondition();
            } else if (value.kind == TokenKind::Open) {
                node.isBlock = true;
                if (!block(node, depth + 1, true)) return false;
            } else {
                return value.kind == TokenKind::Fault ? false : fail(translatable("a key without value"));
            }
            parent.children.push_back(std::move(node));
        }
    }

    std::string_view text_;
    std::size_t position_ = 0;
    std::string fault_;
};

}  // namespace

const VdfNode* VdfNode::child(std::string_view childKey) const {
    for (const VdfNode& candidate : children) {
        if (candidate.key.size() != childKey.size()) continue;
        bool same = true;
        for (std::size_t i = 0; same && i < childKey.size(); ++i)
            same = foldAsciiCase(candidate.key[i]) == foldAsciiCase(childKey[i]);
        if (same) return &candidate;
    }
    return nullptr;
}

VdfDocument parseVdfDocument(std::string_view text) {
    return Parser(text).parse();
}
