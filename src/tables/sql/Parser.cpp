// Recursive-descent parser of the local SQL dialect and the script splitter. Builds the tree
// of Ast.h; names are upper-cased here (bare table names and quoted paths keep their text),
// so the executor compares them directly. Nesting and tree height are bounded so that deep
// or long input is rejected with an error instead of exhausting the stack later.
#include "tables/sql/Parser.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <set>

#include "tables/EngineError.h"
#include "tables/Value.h"
#include "tables/sql/Lexer.h"

namespace tvx::tables::sql {

namespace {

// Recursion of the parser itself: parentheses, sub-selects, function arguments, NOT, sign.
constexpr int kMaxNesting = 100;
// Height of an expression tree, sub-selects included (long operator chains grow it).
constexpr int kMaxHeight = 1000;
constexpr long long kMaxCharWidth = 254;
constexpr long long kMaxDecimalWidth = 20;

// Words that end a clause: they are never taken as an alias or a column name.
const std::set<std::string, std::less<>> kReserved = {
    "ADD",      "ALTER",  "AND",  "AS",    "ASC",    "BY",     "CREATE", "CROSS", "DELETE", "DESC",
    "DISTINCT", "DROP",   "FROM", "FULL",  "GROUP",  "HAVING", "IN",     "INNER", "INSERT", "INTO",
    "IS",       "JOIN",   "LEFT", "LIKE",  "NOT",    "NULL",   "ON",     "OR",    "ORDER",  "OUTER",
    "RIGHT",    "SELECT", "SET",  "UNION", "UPDATE", "VALUES", "WHERE",
};

const std::array<std::string_view, 5> kAggregates = {"SUM", "MAX", "MIN", "AVG", "COUNT"};

bool isReserved(const Token& token) {
    return token.kind == TokenKind::Identifier && kReserved.contains(toUpperAscii(token.text));
}

bool isName(const Token& token) {
    return token.kind == TokenKind::Identifier && !isReserved(token);
}

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text), tokens_(tokenize(text)) {}

    Statement parse() {
        const Token& first = peek();
        if (first.kind == TokenKind::End || isSymbol(first, ";")) {
            fail("empty statement", first);
        }
        Statement statement = parseStatementBody();
        acceptSymbol(";");
        if (peek().kind != TokenKind::End) unexpected(peek());
        return statement;
    }

  private:
    // Counts one level of parser recursion for the lifetime of the guard.
    class Nesting {
      public:
        Nesting(Parser& parser, const Token& at) : parser_(parser) {
            if (++parser_.nesting_ > kMaxNesting) parser_.fail("statement nested too deeply", at);
        }
        ~Nesting() { --parser_.nesting_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

      private:
        Parser& parser_;
    };

    // ---- token access ----

    const Token& peek(size_t ahead = 0) const {
        return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)];
    }
    const Token& advance() {
        const Token& token = tokens_[pos_];
        if (pos_ + 1 < tokens_.size()) ++pos_;
        return token;
    }
    bool acceptWord(std::string_view word) {
        if (!isWord(peek(), word)) return false;
        advance();
        return true;
    }
    bool acceptSymbol(std::string_view symbol) {
        if (!isSymbol(peek(), symbol)) return false;
        advance();
        return true;
    }
    const Token& expectWord(std::string_view word) {
        if (!isWord(peek(), word)) fail("expected " + std::string(word), peek());
        return advance();
    }
    const Token& expectSymbol(std::string_view symbol) {
        if (!isSymbol(peek(), symbol)) fail("expected '" + std::string(symbol) + "'", peek());
        return advance();
    }
    // An identifier that is not a clause word, upper-cased.
    std::string expectName(std::string_view what) {
        if (!isName(peek())) fail("expected " + std::string(what), peek());
        return toUpperAscii(advance().text);
    }

    [[noreturn]] void fail(const std::string& what, const Token& at) const {
        throw EngineError("Syntax error: " + what, "", at.position);
    }
    [[noreturn]] void unexpected(const Token& at) const {
        fail("unexpected " + describeToken(at, text_), at);
    }

    // ---- statements ----

    Statement parseStatementBody() {
        const Token& first = peek();
        if (isWord(first, "SELECT")) return parseSelect();
        if (isWord(first, "INSERT")) return parseInsert();
        if (isWord(first, "UPDATE")) return parseUpdate();
        if (isWord(first, "DELETE")) return parseDelete();
        if (isWord(first, "CREATE")) return parseCreate();
        if (isWord(first, "ALTER")) return parseAlter();
        if (isWord(first, "DROP")) return parseDrop();
        if (acceptWord("BEGIN")) {
            if (!acceptWord("TRANSACTION")) acceptWord("WORK");
            return TransactionStmt{TransactionAction::Begin};
        }
        if (acceptWord("START")) {
            expectWord("TRANSACTION");
            return TransactionStmt{TransactionAction::Begin};
        }
        if (acceptWord("COMMIT")) {
            if (!acceptWord("WORK")) acceptWord("TRANSACTION");
            return TransactionStmt{TransactionAction::Commit};
        }
        if (acceptWord("ROLLBACK")) {
            if (!acceptWord("WORK")) acceptWord("TRANSACTION");
            return TransactionStmt{TransactionAction::Rollback};
        }
        unexpected(first);
    }

    // SELECT [DISTINCT] items FROM tables [WHERE] [GROUP BY] [HAVING] [ORDER BY].
    // `height` receives the largest expression height inside, for the enclosing tree.
    SelectStmt parseSelect(int* height = nullptr) {
        Nesting nesting(*this, peek());
        const int outerHeight = selectHeight_;
        selectHeight_ = 0;
        SelectStmt select;
        expectWord("SELECT");
        select.distinct = acceptWord("DISTINCT");
        do {
            select.items.push_back(parseSelectItem());
        } while (acceptSymbol(","));
        expectWord("FROM");
        parseFrom(select.from);
        if (acceptWord("WHERE")) select.where = expr();
        if (acceptWord("GROUP")) {
            expectWord("BY");
            do {
                select.groupBy.push_back(expr());
            } while (acceptSymbol(","));
        }
        if (acceptWord("HAVING")) select.having = expr();
        if (acceptWord("ORDER")) {
            expectWord("BY");
            do {
                OrderItem item;
                item.expr = expr();
                if (acceptWord("DESC")) {
                    item.descending = true;
                } else {
                    acceptWord("ASC");
                }
                select.orderBy.push_back(std::move(item));
            } while (acceptSymbol(","));
        }
        if (height != nullptr) *height = selectHeight_;
        selectHeight_ = outerHeight;
        return select;
    }

    SelectItem parseSelectItem() {
        SelectItem item;
        if (acceptSymbol("*")) {
            item.star = true;
            return item;
        }
        if (isName(peek()) && isSymbol(peek(1), ".") && isSymbol(peek(2), "*")) {
            item.star = true;
            item.starQualifier = toUpperAscii(advance().text);
            advance();
            advance();
            return item;
        }
        item.expr = expr();
        if (acceptWord("AS")) {
            item.alias = expectName("alias");
        } else if (isName(peek())) {
            item.alias = toUpperAscii(advance().text);
        }
        return item;
    }

    void parseFrom(std::vector<TableRef>& from) {
        from.push_back(parseTableRef(true));
        while (true) {
            JoinKind join;
            if (acceptSymbol(",")) {
                from.push_back(parseTableRef(true));
                from.back().join = JoinKind::Comma;
                continue;
            }
            if (acceptWord("JOIN")) {
                join = JoinKind::Inner;
            } else if (acceptWord("INNER")) {
                expectWord("JOIN");
                join = JoinKind::Inner;
            } else if (acceptWord("LEFT")) {
                acceptWord("OUTER");
                expectWord("JOIN");
                join = JoinKind::Left;
            } else {
                return;
            }
            TableRef table = parseTableRef(true);
            table.join = join;
            expectWord("ON");
            table.on = expr();
            from.push_back(std::move(table));
        }
    }

    // A quoted path or a bare name, optionally followed by [AS] alias.
    TableRef parseTableRef(bool allowAlias) {
        const Token& token = peek();
        TableRef table;
        table.position = token.position;
        if (token.kind == TokenKind::String) {
            if (token.text.empty()) fail("empty table path", token);
            table.quoted = true;
        } else if (!isName(token)) {
            fail("expected table name", token);
        }
        table.name = advance().text;
        if (allowAlias) {
            if (acceptWord("AS")) {
                table.alias = expectName("alias");
            } else if (isName(peek())) {
                table.alias = toUpperAscii(advance().text);
            }
        }
        return table;
    }

    InsertStmt parseInsert() {
        InsertStmt insert;
        expectWord("INSERT");
        expectWord("INTO");
        insert.table = parseTableRef(false);
        if (acceptSymbol("(")) {
            do {
                insert.columns.push_back(expectName("column name"));
            } while (acceptSymbol(","));
            expectSymbol(")");
        }
        if (isWord(peek(), "SELECT")) {
            insert.select = std::make_shared<SelectStmt>(parseSelect());
        } else if (acceptWord("VALUES")) {
            do {
                expectSymbol("(");
                std::vector<ExprPtr> row;
                do {
                    row.push_back(expr());
                } while (acceptSymbol(","));
                expectSymbol(")");
                insert.rows.push_back(std::move(row));
            } while (acceptSymbol(","));
        } else {
            fail("expected VALUES or SELECT", peek());
        }
        return insert;
    }

    UpdateStmt parseUpdate() {
        UpdateStmt update;
        expectWord("UPDATE");
        update.table = parseTableRef(true);
        expectWord("SET");
        do {
            Assignment assignment;
            assignment.position = peek().position;
            assignment.column = expectName("column name");
            if (acceptSymbol(".")) {  // T.COL: the table is the updated one
                if (peek().kind != TokenKind::Identifier) fail("expected column name", peek());
                assignment.column = toUpperAscii(advance().text);
            }
            expectSymbol("=");
            assignment.value = expr();
            update.assignments.push_back(std::move(assignment));
        } while (acceptSymbol(","));
        if (acceptWord("WHERE")) update.where = expr();
        return update;
    }

    DeleteStmt parseDelete() {
        DeleteStmt del;
        expectWord("DELETE");
        expectWord("FROM");
        del.table = parseTableRef(true);
        if (acceptWord("WHERE")) del.where = expr();
        return del;
    }

    CreateTableStmt parseCreate() {
        CreateTableStmt create;
        expectWord("CREATE");
        expectWord("TABLE");
        create.table = parseTableRef(false);
        expectSymbol("(");
        do {
            create.columns.push_back(parseColumnDef());
            const ColumnDef& added = create.columns.back();
            for (size_t i = 0; i + 1 < create.columns.size(); ++i) {
                if (create.columns[i].name == added.name) duplicateColumn(added, create.table);
            }
        } while (acceptSymbol(","));
        expectSymbol(")");
        return create;
    }

    AlterTableStmt parseAlter() {
        AlterTableStmt alter;
        expectWord("ALTER");
        expectWord("TABLE");
        alter.table = parseTableRef(false);
        do {
            AlterAction action;
            if (acceptWord("ADD")) {
                acceptWord("COLUMN");
                action.column = parseColumnDef();
                for (const AlterAction& other : alter.actions) {
                    if (other.add && other.column.name == action.column.name) {
                        duplicateColumn(action.column, alter.table);
                    }
                }
            } else if (acceptWord("DROP")) {
                acceptWord("COLUMN");
                action.add = false;
                action.column.position = peek().position;
                action.column.name = expectName("column name");
            } else {
                fail("expected ADD or DROP", peek());
            }
            alter.actions.push_back(std::move(action));
        } while (acceptSymbol(","));
        return alter;
    }

    Statement parseDrop() {
        expectWord("DROP");
        if (acceptWord("TABLE")) return DropTableStmt{parseTableRef(false)};
        if (acceptWord("INDEX")) {
            DropIndexStmt drop;
            drop.table = parseTableRef(false);
            expectSymbol(".");
            if (peek().kind != TokenKind::Identifier) fail("expected index name", peek());
            drop.indexName = toUpperAscii(advance().text);
            return drop;
        }
        fail("expected TABLE or INDEX", peek());
    }

    [[noreturn]] void duplicateColumn(const ColumnDef& column, const TableRef& table) const {
        throw EngineError("Duplicate column " + column.name, table.name, column.position);
    }

    ColumnDef parseColumnDef() {
        ColumnDef column;
        column.position = peek().position;
        column.name = expectName("column name");
        const Token& type = peek();
        if (type.kind != TokenKind::Identifier) fail("expected a column type", type);
        const std::string typeName = toUpperAscii(type.text);
        advance();
        if (typeName == "CHAR" || typeName == "VARCHAR" || typeName == "CHARACTER") {
            column.type = ColumnType::Char;
            expectSymbol("(");
            const long long width = parseWhole();
            expectSymbol(")");
            if (width < 1 || width > kMaxCharWidth) {
                fail("bad width " + typeName + "(" + std::to_string(width) + ")", type);
            }
            column.width = static_cast<int>(width);
        } else if (typeName == "DECIMAL" || typeName == "NUMERIC") {
            column.type = ColumnType::Decimal;
            expectSymbol("(");
            const long long width = parseWhole();
            const long long decimals = acceptSymbol(",") ? parseWhole() : 0;
            expectSymbol(")");
            if (width < 1 || width > kMaxDecimalWidth || decimals >= width) {
                fail("bad width " + typeName + "(" + std::to_string(width) + "," +
                         std::to_string(decimals) + ")",
                     type);
            }
            column.width = static_cast<int>(width);
            column.decimals = static_cast<int>(decimals);
        } else if (typeName == "DATE") {
            column.type = ColumnType::Date;
            column.width = 8;
        } else {
            fail("unknown type " + describeToken(type, text_), type);
        }
        return column;
    }

    // A whole number written without decimals (a width). Very large values saturate; the
    // caller's range check rejects them.
    long long parseWhole() {
        const Token& token = peek();
        if (token.kind != TokenKind::Number || token.text.find('.') != std::string::npos) {
            fail("expected a whole number", token);
        }
        long long value = 0;
        const char* begin = token.text.data();
        const auto [end, error] = std::from_chars(begin, begin + token.text.size(), value);
        if (error != std::errc() || end != begin + token.text.size()) value = 1'000'000'000;
        advance();
        return value;
    }

    // ---- expressions ----
    // Each parse function leaves the height of the tree it returns in height_.

    // A full expression at a clause position; records its height for the enclosing select.
    ExprPtr expr() {
        ExprPtr e = parseOr();
        selectHeight_ = std::max(selectHeight_, height_);
        return e;
    }

    ExprPtr makeNode(ExprKind kind, const Token& at) {
        auto e = std::make_unique<Expr>();
        e->kind = kind;
        e->position = at.position;
        return e;
    }

    // Sets height_ for a node whose tallest child is `childHeight` high.
    void grow(int childHeight, const Token& at) {
        height_ = childHeight + 1;
        if (height_ > kMaxHeight) fail("expression too complex", at);
    }

    ExprPtr makeBinary(std::string op, ExprPtr left, int leftHeight, ExprPtr right,
                       const Token& at) {
        const int rightHeight = height_;
        ExprPtr e = makeNode(ExprKind::Binary, at);
        e->op = std::move(op);
        e->args.push_back(std::move(left));
        e->args.push_back(std::move(right));
        grow(std::max(leftHeight, rightHeight), at);
        return e;
    }

    ExprPtr parseOr() {
        Nesting nesting(*this, peek());
        ExprPtr left = parseAnd();
        while (isWord(peek(), "OR")) {
            const int leftHeight = height_;
            const Token& op = advance();
            ExprPtr right = parseAnd();
            left = makeBinary("OR", std::move(left), leftHeight, std::move(right), op);
        }
        return left;
    }

    ExprPtr parseAnd() {
        ExprPtr left = parseNot();
        while (isWord(peek(), "AND")) {
            const int leftHeight = height_;
            const Token& op = advance();
            ExprPtr right = parseNot();
            left = makeBinary("AND", std::move(left), leftHeight, std::move(right), op);
        }
        return left;
    }

    ExprPtr parseNot() {
        if (!isWord(peek(), "NOT")) return parseComparison();
        const Token& op = advance();
        Nesting nesting(*this, op);
        ExprPtr e = makeNode(ExprKind::Unary, op);
        e->op = "NOT";
        e->args.push_back(parseNot());
        grow(height_, op);
        return e;
    }

    ExprPtr parseComparison() {
        ExprPtr left = parseAdditive();
        const int leftHeight = height_;
        const Token& op = peek();
        static constexpr std::array<std::string_view, 6> kComparisons = {"=", "<>", "<",
                                                                         ">", "<=", ">="};
        for (std::string_view comparison : kComparisons) {
            if (isSymbol(op, comparison)) {
                advance();
                ExprPtr right = parseAdditive();
                return makeBinary(std::string(comparison), std::move(left), leftHeight,
                                  std::move(right), op);
            }
        }
        const bool negated =
            isWord(op, "NOT") && (isWord(peek(1), "LIKE") || isWord(peek(1), "IN"));
        if (negated) advance();
        if (acceptWord("LIKE")) {
            ExprPtr e = makeNode(ExprKind::Like, op);
            e->negated = negated;
            e->args.push_back(std::move(left));
            e->args.push_back(parseAdditive());
            grow(std::max(leftHeight, height_), op);
            return e;
        }
        if (acceptWord("IN")) return parseInList(std::move(left), leftHeight, negated, op);
        if (acceptWord("IS")) {
            ExprPtr e = makeNode(ExprKind::IsNull, op);
            e->negated = acceptWord("NOT");
            expectWord("NULL");
            e->args.push_back(std::move(left));
            grow(leftHeight, op);
            return e;
        }
        return left;
    }

    ExprPtr parseInList(ExprPtr left, int leftHeight, bool negated, const Token& op) {
        ExprPtr e = makeNode(ExprKind::InList, op);
        e->negated = negated;
        e->args.push_back(std::move(left));
        expectSymbol("(");
        if (isWord(peek(), "SELECT")) fail("IN (SELECT ...) is not supported", peek());
        int tallest = leftHeight;
        do {
            e->args.push_back(parseOr());
            tallest = std::max(tallest, height_);
        } while (acceptSymbol(","));
        expectSymbol(")");
        grow(tallest, op);
        return e;
    }

    ExprPtr parseAdditive() {
        ExprPtr left = parseMultiplicative();
        while (isSymbol(peek(), "+") || isSymbol(peek(), "-")) {
            const int leftHeight = height_;
            const Token& op = advance();
            ExprPtr right = parseMultiplicative();
            left = makeBinary(op.text, std::move(left), leftHeight, std::move(right), op);
        }
        return left;
    }

    ExprPtr parseMultiplicative() {
        ExprPtr left = parseUnary();
        while (isSymbol(peek(), "*") || isSymbol(peek(), "/")) {
            const int leftHeight = height_;
            const Token& op = advance();
            ExprPtr right = parseUnary();
            left = makeBinary(op.text, std::move(left), leftHeight, std::move(right), op);
        }
        return left;
    }

    ExprPtr parseUnary() {
        if (isSymbol(peek(), "+")) {  // unary plus changes nothing
            Nesting nesting(*this, advance());
            return parseUnary();
        }
        if (!isSymbol(peek(), "-")) return parsePrimary();
        const Token& op = advance();
        Nesting nesting(*this, op);
        ExprPtr e = makeNode(ExprKind::Unary, op);
        e->op = "-";
        e->args.push_back(parseUnary());
        grow(height_, op);
        return e;
    }

    ExprPtr parsePrimary() {
        const Token& token = peek();
        height_ = 1;
        switch (token.kind) {
            case TokenKind::Number: {
                const std::optional<Decimal> number = Decimal::parse(token.text);
                if (!number) fail("bad number " + describeToken(token, text_), token);
                ExprPtr e = makeNode(ExprKind::Literal, advance());
                e->literal = Value(*number);
                return e;
            }
            case TokenKind::String: {
                ExprPtr e = makeNode(ExprKind::Literal, advance());
                e->literal = Value(token.text);
                return e;
            }
            case TokenKind::Param: {
                ExprPtr e = makeNode(ExprKind::Param, advance());
                e->name = toUpperAscii(token.text);
                return e;
            }
            case TokenKind::Identifier:
                return parseNamed();
            case TokenKind::End:
                fail("expected an expression", token);
            case TokenKind::Symbol:
                break;
        }
        if (!isSymbol(token, "(")) unexpected(token);
        advance();
        Nesting nesting(*this, token);
        if (isWord(peek(), "SELECT")) {
            int selectHeight = 0;
            ExprPtr e = makeNode(ExprKind::Subquery, token);
            e->subquery = std::make_shared<SelectStmt>(parseSelect(&selectHeight));
            expectSymbol(")");
            grow(selectHeight, token);
            return e;
        }
        ExprPtr e = parseOr();
        expectSymbol(")");
        return e;
    }

    // NULL, a function call, or a column (NAME or QUALIFIER.NAME).
    ExprPtr parseNamed() {
        const Token& token = advance();
        if (isWord(token, "NULL")) return makeNode(ExprKind::Literal, token);
        if (isReserved(token)) unexpected(token);
        const std::string name = toUpperAscii(token.text);
        if (isSymbol(peek(), "(")) {
            if (std::find(kAggregates.begin(), kAggregates.end(), name) != kAggregates.end()) {
                return parseAggregate(name, token);
            }
            if (name == "CAST") return parseCast(token);
            fail("unknown function " + describeToken(token, text_), token);
        }
        ExprPtr e = makeNode(ExprKind::Column, token);
        if (acceptSymbol(".")) {
            if (peek().kind != TokenKind::Identifier) fail("expected column name", peek());
            e->qualifier = name;
            e->name = toUpperAscii(advance().text);
        } else {
            e->name = name;
        }
        return e;
    }

    ExprPtr parseAggregate(const std::string& name, const Token& at) {
        Nesting nesting(*this, at);
        ExprPtr e = makeNode(ExprKind::Aggregate, at);
        e->name = name;
        expectSymbol("(");
        e->distinct = acceptWord("DISTINCT");
        if (name == "COUNT" && !e->distinct && acceptSymbol("*")) {
            expectSymbol(")");
            return e;  // COUNT(*): no argument
        }
        e->args.push_back(parseOr());
        expectSymbol(")");
        grow(height_, at);
        return e;
    }

    // CAST(expr AS CHAR(n)); VARCHAR and CHARACTER are the same type.
    ExprPtr parseCast(const Token& at) {
        Nesting nesting(*this, at);
        ExprPtr e = makeNode(ExprKind::Cast, at);
        expectSymbol("(");
        e->args.push_back(parseOr());
        const int argHeight = height_;
        expectWord("AS");
        const Token& type = peek();
        if (!isWord(type, "CHAR") && !isWord(type, "VARCHAR") && !isWord(type, "CHARACTER")) {
            fail("unsupported CAST type " + describeToken(type, text_), type);
        }
        advance();
        expectSymbol("(");
        const long long width = parseWhole();
        expectSymbol(")");
        if (width < 1 || width > kMaxCharWidth) {
            fail("bad width " + toUpperAscii(type.text) + "(" + std::to_string(width) + ")", type);
        }
        e->castWidth = static_cast<int>(width);
        expectSymbol(")");
        grow(argHeight, at);
        return e;
    }

    std::string_view text_;
    std::vector<Token> tokens_;
    size_t pos_ = 0;
    int nesting_ = 0;
    int height_ = 0;        // height of the expression returned last
    int selectHeight_ = 0;  // tallest expression of the select being parsed
};

bool isBlankChar(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool isBlankText(std::string_view s) {
    return std::all_of(s.begin(), s.end(), isBlankChar);
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlankChar(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlankChar(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

Statement parseStatement(std::string_view text) {
    return Parser(text).parse();
}

std::vector<std::string> splitScript(std::string_view script) {
    std::vector<std::string> statements;
    std::string current;
    char quote = 0;  // the open quote carried over from earlier lines, 0 outside quotes
    const auto flush = [&] {
        if (!isBlankText(current)) statements.emplace_back(trimBlanks(current));
        current.clear();
    };
    if (script.starts_with("\xEF\xBB\xBF")) script.remove_prefix(3);  // byte order mark
    size_t start = 0;
    while (start <= script.size()) {
        size_t end = script.find('\n', start);
        if (end == std::string_view::npos) end = script.size();
        std::string_view line = script.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        const std::string_view trimmed = trimBlanks(line);
        if (quote == 0 && isBlankText(current) && trimmed.starts_with("--")) continue;
        for (char c : line) {
            if (quote == 0 && (c == '"' || c == '\'')) {
                quote = c;
            } else if (c == quote) {
                quote = 0;
            }
        }
        // Outside quotes at the end of the line, a final ';' cannot be inside a string.
        if (quote == 0 && trimmed.ends_with(';')) {
            const size_t semicolon = line.find_last_of(';');
            current.append(line.substr(0, semicolon));
            flush();
        } else {
            current.append(line);
            current.push_back('\n');
        }
    }
    flush();
    return statements;
}

}  // namespace tvx::tables::sql
