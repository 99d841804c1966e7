// Lexer of the local SQL dialect: statement text -> tokens. Positions are 1-based character
// offsets (UTF-8 code points) into the statement text; error messages use them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::tables::sql {

enum class TokenKind {
    Identifier,  // text as written ([A-Za-z_][A-Za-z0-9_]*); keywords are identifiers too
    Number,      // digits with optional '.' and decimals, text as written
    String,      // text between the quotes, exact; quote is '"' or '\''
    Param,       // :name, text is the name without ':'
    Symbol,      // + - * / = <> < > <= >= ( ) , . ; ("!=" is delivered as "<>")
    End,         // end of the text
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;
    char quote = 0;     // String only
    int position = 0;   // 1-based character offset of the first character
    size_t offset = 0;  // byte offset of the first character
    size_t length = 0;  // bytes in the source text
};

// Splits a statement into tokens, the last one being End. Throws EngineError
// "Syntax error: ... at position N" for an unterminated string, a malformed number or a
// character that starts no token.
std::vector<Token> tokenize(std::string_view text);

// True when the token is the identifier `word` (ASCII, case-insensitive; word upper case).
bool isWord(const Token& token, std::string_view word);
bool isSymbol(const Token& token, std::string_view symbol);

// How a token is quoted in an error message: its source text cut to a readable length, or
// "end of statement".
std::string describeToken(const Token& token, std::string_view text);

}  // namespace tvx::tables::sql
