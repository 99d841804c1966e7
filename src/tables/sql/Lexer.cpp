// Lexer of the local SQL dialect. Works on bytes; only string contents may hold non-ASCII
// text, which passes through unchanged. Character positions count UTF-8 code points.
#include "tables/sql/Lexer.h"

#include <cstdio>

#include "tables/EngineError.h"

namespace tvx::tables::sql {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool isWordChar(char c) {
    return isLetter(c) || isDigit(c);
}
bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Length of the UTF-8 sequence starting at `at` when it is well formed, else 0.
size_t utf8Length(std::string_view text, size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    size_t n = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (lead >= 0xF5 || n == 0 || at + n > text.size()) return 0;
    for (size_t i = 1; i < n; ++i) {
        if (!isContinuationByte(text[at + i])) return 0;
    }
    return n;
}

// The character at `at` as it may be shown in a message: ASCII and well-formed UTF-8 as is,
// control characters and stray bytes as \xNN.
std::string showCharacter(std::string_view text, size_t at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte >= 0x20 && byte < 0x7F) return std::string(1, text[at]);
    if (size_t n = byte >= 0x80 ? utf8Length(text, at) : 0; n > 0) {
        return std::string(text.substr(at, n));
    }
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\x%02X", byte);
    return buf;
}

class Lexer {
  public:
    explicit Lexer(std::string_view text) : text_(text) {}

    std::vector<Token> run() {
        std::vector<Token> tokens;
        size_t at = 0;
        int position = 1;  // character position of byte `at`
        while (true) {
            while (at < text_.size() && isBlank(text_[at])) {
                ++at;
                ++position;
            }
            Token token;
            token.offset = at;
            token.position = position;
            if (at >= text_.size()) {
                tokens.push_back(std::move(token));
                return tokens;
            }
            scan(token);
            // Advance the character position over the token's bytes.
            for (size_t i = at; i < at + token.length; ++i) {
                if (!isContinuationByte(text_[i])) ++position;
            }
            at += token.length;
            tokens.push_back(std::move(token));
        }
    }

  private:
    [[noreturn]] void fail(const std::string& what, int position) {
        throw EngineError("Syntax error: " + what, "", position);
    }

    void scan(Token& token) {
        const size_t at = token.offset;
        const char c = text_[at];
        if (isLetter(c)) {
            size_t end = at + 1;
            while (end < text_.size() && isWordChar(text_[end])) ++end;
            set(token, TokenKind::Identifier, end, text_.substr(at, end - at));
        } else if (isDigit(c)) {
            scanNumber(token);
        } else if (c == '"' || c == '\'') {
            const size_t close = text_.find(c, at + 1);
            if (close == std::string_view::npos) fail("unterminated string", token.position);
            set(token, TokenKind::String, close + 1, text_.substr(at + 1, close - at - 1));
            token.quote = c;
        } else if (c == ':') {
            size_t end = at + 1;
            if (end >= text_.size() || !isLetter(text_[end])) {
                fail("expected a parameter name after ':'", token.position);
            }
            while (end < text_.size() && isWordChar(text_[end])) ++end;
            set(token, TokenKind::Param, end, text_.substr(at + 1, end - at - 1));
        } else {
            scanSymbol(token);
        }
    }

    void scanNumber(Token& token) {
        const size_t at = token.offset;
        size_t end = at;
        while (end < text_.size() && isDigit(text_[end])) ++end;
        if (end < text_.size() && text_[end] == '.') {
            ++end;
            while (end < text_.size() && isDigit(text_[end])) ++end;
        }
        // A number glued to letters or to a second '.' (12ab, 1.2.3) is one bad word.
        if (end < text_.size() && (isWordChar(text_[end]) || text_[end] == '.')) {
            while (end < text_.size() && (isWordChar(text_[end]) || text_[end] == '.')) ++end;
            fail("bad number '" + std::string(text_.substr(at, end - at)) + "'", token.position);
        }
        set(token, TokenKind::Number, end, text_.substr(at, end - at));
    }

    void scanSymbol(Token& token) {
        const size_t at = token.offset;
        const char c = text_[at];
        const char next = at + 1 < text_.size() ? text_[at + 1] : '\0';
        if ((c == '<' && (next == '>' || next == '=')) || (c == '>' && next == '=')) {
            set(token, TokenKind::Symbol, at + 2, text_.substr(at, 2));
        } else if (c == '!' && next == '=') {
            set(token, TokenKind::Symbol, at + 2, "<>");
        } else if (std::string_view("+-*/=<>(),.;").find(c) != std::string_view::npos) {
            set(token, TokenKind::Symbol, at + 1, text_.substr(at, 1));
        } else {
            fail("unexpected '" + showCharacter(text_, at) + "'", token.position);
        }
    }

    static void set(Token& token, TokenKind kind, size_t end, std::string_view text) {
        token.kind = kind;
        token.length = end - token.offset;
        token.text = std::string(text);
    }

    std::string_view text_;
};

}  // namespace

std::vector<Token> tokenize(std::string_view text) {
    return Lexer(text).run();
}

bool isWord(const Token& token, std::string_view word) {
    if (token.kind != TokenKind::Identifier || token.text.size() != word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
        char c = token.text[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != word[i]) return false;
    }
    return true;
}

bool isSymbol(const Token& token, std::string_view symbol) {
    return token.kind == TokenKind::Symbol && token.text == symbol;
}

std::string describeToken(const Token& token, std::string_view text) {
    if (token.kind == TokenKind::End) return "end of statement";
    constexpr size_t kShown = 40;
    std::string_view source = text.substr(token.offset, token.length);
    std::string shown;
    if (source.size() <= kShown) {
        shown = std::string(source);
    } else {
        size_t cut = kShown;  // do not split a UTF-8 character
        while (cut > 0 && isContinuationByte(source[cut])) --cut;
        shown = std::string(source.substr(0, cut)) + "...";
    }
    return "'" + shown + "'";
}

}  // namespace tvx::tables::sql
