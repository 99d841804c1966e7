// Result sets: field access by name, the cursor, the in-memory row filter, locate and the
// grid's column sort. The filter is evaluated once, when it is set, over all rows; the
// rows that pass are kept as a list in display order, so walking and sorting never meet
// an error that setFilter did not report.
//
// Filter text: terms FIELD op literal, each optionally in parentheses, joined by AND.
// Literals: 'text', "text" (the quote doubled inside), a bare number, or NULL (only with =
// and <>). A text ending in '*' compared with = (or <>) is a prefix test on the field's
// display text. Text matching is case-sensitive, as everywhere in the engine: the windows
// that search by prefix type their text in upper case, as the stored names are.
#include "tables/ResultSet.h"

#include <algorithm>

#include "tables/EngineError.h"

namespace tvx::tables {

namespace {

enum class Op { Eq, Ne, Lt, Gt, Le, Ge };

struct Term {
    int column = -1;
    Op op = Op::Eq;
    enum Kind { Compare, Prefix, IsNull } kind = Compare;
    Value literal;        // Compare: the literal in the column's type where it has one
    std::string prefix;   // Prefix: the text before the '*'
    bool negate = false;  // Prefix / IsNull with <>
};

bool isBlankText(const Value& v) {
    return v.isText() && rtrim(v.text()).empty();
}

// True when the text of `v`, padded with blanks as a CHAR field is, begins with `prefix`.
bool hasPrefix(const Value& v, const std::string& prefix) {
    if (v.isNull()) return false;
    const std::string text = v.toString();
    for (size_t i = 0; i < prefix.size(); ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        if (c != prefix[i]) return false;
    }
    return true;
}

bool applyOp(Op op, int c) {
    switch (op) {
        case Op::Eq:
            return c == 0;
        case Op::Ne:
            return c != 0;
        case Op::Lt:
            return c < 0;
        case Op::Gt:
            return c > 0;
        case Op::Le:
            return c <= 0;
        case Op::Ge:
            return c >= 0;
    }
    return false;
}

// Whether one row's value passes a term. NULL (and a blank text compared with a number
// or a date) is unknown and never passes a comparison. Incomparable values throw.
bool passes(const Term& term, const Value& v) {
    switch (term.kind) {
        case Term::IsNull:
            return (v.isNull() || isBlankText(v)) != term.negate;
        case Term::Prefix:
            return !v.isNull() && hasPrefix(v, term.prefix) != term.negate;
        case Term::Compare:
            if (v.isNull()) return false;
            if (isBlankText(v) && !term.literal.isText()) return false;
            return applyOp(term.op, compareValues(v, term.literal));
    }
    return false;
}

// Reads the filter text into terms. Positions in messages are 1-based byte offsets.
class FilterParser {
  public:
    FilterParser(std::string_view text, const ResultSet& rows) : text_(text), rows_(rows) {}

    std::vector<Term> parse() {
        std::vector<Term> terms;
        conjunction(terms);
        skipBlanks();
        if (at_ < text_.size()) fail(unexpected());
        return terms;
    }

  private:
    [[noreturn]] void fail(const std::string& what) const {
        throw EngineError("Bad filter: " + what + " in " + std::string(text_));
    }
    [[noreturn]] void failAt(const std::string& what, size_t offset) const {
        fail(what + " at position " + std::to_string(offset + 1));
    }
    std::string unexpected() const {
        if (at_ >= text_.size()) return "unexpected end";
        return "unexpected '" + std::string(text_.substr(at_, 1)) + "' at position " +
               std::to_string(at_ + 1);
    }

    void skipBlanks() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                      text_[at_] == '\r' || text_[at_] == '\n'))
            ++at_;
    }
    static bool isLetter(char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    std::string_view word() {
        skipBlanks();
        const size_t start = at_;
        if (at_ < text_.size() && isLetter(text_[at_])) {
            while (at_ < text_.size() && (isLetter(text_[at_]) || isDigit(text_[at_]))) ++at_;
        }
        return text_.substr(start, at_ - start);
    }
    bool take(char c) {
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    // term (AND term)*
    void conjunction(std::vector<Term>& terms) {
        primary(terms);
        while (true) {
            const size_t save = at_;
            const std::string_view w = word();
            if (w.empty()) return;
            if (!equalsIgnoreCase(w, "AND")) {
                at_ = save;
                skipBlanks();
                fail(unexpected());
            }
            primary(terms);
        }
    }

    // '(' conjunction ')' | comparison
    void primary(std::vector<Term>& terms) {
        if (take('(')) {
            conjunction(terms);
            if (!take(')')) fail(at_ < text_.size() ? unexpected() : "missing ')'");
            return;
        }
        terms.push_back(comparison());
    }

    Op op() {
        skipBlanks();
        const size_t start = at_;
        const auto next = [&](char c) { return at_ < text_.size() && text_[at_] == c; };
        if (next('=')) {
            ++at_;
            return Op::Eq;
        }
        if (next('<')) {
            ++at_;
            if (next('>')) return ++at_, Op::Ne;
            if (next('=')) return ++at_, Op::Le;
            return Op::Lt;
        }
        if (next('>')) {
            ++at_;
            if (next('=')) return ++at_, Op::Ge;
            return Op::Gt;
        }
        failAt("expected an operator (= <> < > <= >=)", start);
    }

    Term comparison() {
        skipBlanks();
        const size_t fieldAt = at_;
        const std::string field(word());
        if (field.empty()) {
            if (at_ >= text_.size()) fail("expected a field name at the end");
            failAt("expected a field name", fieldAt);
        }
        Term term;
        term.column = rows_.findField(field);
        if (term.column < 0) fail("unknown field " + field);
        term.op = op();

        skipBlanks();
        const size_t litAt = at_;
        if (at_ >= text_.size()) fail("expected a value after " + field);
        const char c = text_[at_];
        if (c == '\'' || c == '"') {
            // The quote itself is written twice inside the text.
            std::string text;
            size_t from = at_ + 1;
            for (;;) {
                const size_t close = text_.find(c, from);
                if (close == std::string_view::npos) failAt("unterminated text", litAt);
                text.append(text_.substr(from, close - from));
                if (close + 1 < text_.size() && text_[close + 1] == c) {
                    text += c;
                    from = close + 2;
                    continue;
                }
                at_ = close + 1;
                break;
            }
            if (!text.empty() && text.back() == '*' && (term.op == Op::Eq || term.op == Op::Ne)) {
                term.kind = Term::Prefix;
                term.negate = term.op == Op::Ne;
                term.prefix = text.substr(0, text.size() - 1);
                return term;
            }
            term.literal = typedLiteral(term.column, Value(std::move(text)), field);
            return term;
        }
        if (isDigit(c) || c == '-' || c == '+' || c == '.') {
            size_t end = at_ + 1;
            while (end < text_.size() && (isDigit(text_[end]) || text_[end] == '.')) ++end;
            const auto number = Decimal::parse(text_.substr(at_, end - at_));
            if (!number) failAt("malformed number", litAt);
            at_ = end;
            term.literal = typedLiteral(term.column, Value(*number), field);
            return term;
        }
        const std::string_view w = word();
        if (equalsIgnoreCase(w, "NULL")) {
            if (term.op != Op::Eq && term.op != Op::Ne) failAt("NULL needs = or <>", litAt);
            term.kind = Term::IsNull;
            term.negate = term.op == Op::Ne;
            return term;
        }
        failAt("expected a value after " + field, litAt);
    }

    // The literal converted to the column's type, so that a value the column can never be
    // compared with is reported now, even when there are no rows.
    Value typedLiteral(int column, Value literal, const std::string& field) const {
        const char type = rows_.columns()[static_cast<size_t>(column)].type;
        const auto mismatch = [&](const char* kind) -> Value {
            fail(field + " is " + kind + " and cannot be compared with " +
                 (literal.isText() ? "'" + literal.text() + "'" : literal.toString()));
        };
        if (type == 'D') {
            if (!literal.isText()) return mismatch("a date");
            const auto date = Date::parseDayFirst(literal.text());
            return date ? Value(*date) : mismatch("a date");
        }
        if (type == 'N') {
            if (literal.isNumber()) return literal;
            const auto number = Decimal::parse(literal.text());
            return number ? Value(*number) : mismatch("a number");
        }
        if (type == 'L') {
            if (!literal.isText()) return mismatch("a logical");
            const std::string t = toUpperAscii(rtrim(literal.text()));
            if (t == "T" || t == "Y" || t == "TRUE") return Value::logical(true);
            if (t == "F" || t == "N" || t == "FALSE") return Value::logical(false);
            return mismatch("a logical");
        }
        return literal;
    }

    std::string_view text_;
    const ResultSet& rows_;
    size_t at_ = 0;
};

}  // namespace

namespace {

// Rows whose values were all computed when the statement ran (row-major).
class ValueRows : public RowSource {
  public:
    ValueRows(std::vector<Value> cells, size_t width) : cells_(std::move(cells)), width_(width) {}
    size_t rowCount() const override { return width_ == 0 ? 0 : cells_.size() / width_; }
    Value cell(size_t row, int column) const override {
        return cells_[row * width_ + static_cast<size_t>(column)];
    }

  private:
    std::vector<Value> cells_;
    size_t width_;
};

}  // namespace

ResultSet::ResultSet(std::vector<ColumnInfo> columns, std::vector<Value> cells)
    : columns_(std::move(columns)) {
    if (columns_.empty() ? !cells.empty() : cells.size() % columns_.size() != 0) {
        throw EngineError("Result set: " + std::to_string(cells.size()) +
                          " cells do not fill rows of " + std::to_string(columns_.size()) +
                          " columns");
    }
    rows_ = std::make_shared<ValueRows>(std::move(cells), columns_.size());
    showAllRows();
}

ResultSet::ResultSet(std::vector<ColumnInfo> columns, std::shared_ptr<const RowSource> rows)
    : columns_(std::move(columns)), rows_(std::move(rows)) {
    showAllRows();
}

void ResultSet::showAllRows() {
    const size_t rows = rows_ ? rows_->rowCount() : 0;
    order_.resize(rows);
    for (size_t i = 0; i < rows; ++i) order_[i] = i;
    visible_ = order_;
}

int ResultSet::findField(std::string_view name) const {
    for (size_t i = 0; i < columns_.size(); ++i)
        if (equalsIgnoreCase(columns_[i].name, name)) return static_cast<int>(i);
    return -1;
}

int ResultSet::fieldIndex(std::string_view name) const {
    const int i = findField(name);
    if (i < 0) throw EngineError("Field " + std::string(name) + " not found in the result");
    return i;
}

Value ResultSet::at(size_t row, int column) const {
    if (row >= visible_.size() || column < 0 || column >= columnCount()) {
        throw EngineError("Result cell (" + std::to_string(row) + ", " + std::to_string(column) +
                          ") out of range");
    }
    return cell(visible_[row], column);
}

Value ResultSet::value(int column) const {
    if (eof()) throw EngineError("No current row");
    if (column < 0 || column >= columnCount())
        throw EngineError("Column " + std::to_string(column) + " out of range");
    return cell(visible_[pos_], column);
}

Value ResultSet::value(std::string_view name) const {
    const int column = fieldIndex(name);
    if (eof()) throw EngineError("No current row");
    return cell(visible_[pos_], column);
}

std::string ResultSet::asText(std::string_view name) const {
    return value(name).toString();
}

Decimal ResultSet::asNumber(std::string_view name) const {
    const Value v = value(name);
    if (v.isNull()) return Decimal();
    if (v.isNumber()) return v.number();
    if (v.isText()) {
        if (rtrim(v.text()).empty()) return Decimal();
        if (auto number = Decimal::parse(v.text())) return *number;
    }
    throw EngineError("Field " + std::string(name) + " is not a number: '" + v.toString() + "'");
}

std::optional<Date> ResultSet::asDate(std::string_view name) const {
    const Value v = value(name);
    if (v.isNull()) return std::nullopt;
    if (v.isDate()) return v.date();
    if (v.isText()) {
        if (rtrim(v.text()).empty()) return std::nullopt;
        if (auto date = Date::parseDayFirst(v.text())) return *date;
    }
    throw EngineError("Field " + std::string(name) + " is not a date: '" + v.toString() + "'");
}

void ResultSet::setFilter(std::string_view filter) {
    if (filter.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        filter_.clear();
        visible_ = order_;
        pos_ = 0;
        return;
    }
    const std::vector<Term> terms = FilterParser(filter, *this).parse();
    std::vector<size_t> visible;
    for (size_t row : order_) {
        bool pass = true;
        for (const Term& term : terms) {
            const Value v = cell(row, term.column);
            try {
                pass = passes(term, v);
            } catch (const EngineError& e) {
                throw EngineError("Bad filter: " + columns_[term.column].name + " value '" +
                                  v.toString() + "' cannot be compared (" + e.what() + ") in " +
                                  std::string(filter));
            }
            if (!pass) break;
        }
        if (pass) visible.push_back(row);
    }
    filter_ = std::string(filter);
    visible_ = std::move(visible);
    pos_ = 0;
}

bool ResultSet::locate(std::string_view name, const Value& value) {
    const int column = fieldIndex(name);
    for (size_t i = 0; i < visible_.size(); ++i) {
        const Value v = cell(visible_[i], column);
        if (v.isNull() != value.isNull()) continue;
        bool equal = false;
        try {
            equal = compareValues(v, value) == 0;
        } catch (const EngineError&) {
            // A value of another kind (a code that is not a number) is simply not equal.
        }
        if (equal) {
            pos_ = i;
            return true;
        }
    }
    return false;
}

void ResultSet::sortBy(int column, bool descending) {
    if (column < 0 || column >= columnCount())
        throw EngineError("Sort column " + std::to_string(column) + " out of range");
    // Sorted on a copy: a comparison that throws leaves the set as it was.
    std::vector<size_t> order = order_;
    std::vector<Value> keys(order_.size());  // each cell read once, not per comparison
    for (size_t row = 0; row < keys.size(); ++row) keys[row] = cell(row, column);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int c = compareValues(keys[a], keys[b]);
        return descending ? c > 0 : c < 0;
    });
    std::vector<char> shown(order_.size(), 0);
    for (size_t row : visible_) shown[row] = 1;
    const bool hasCurrent = !eof();
    const size_t current = hasCurrent ? visible_[pos_] : 0;

    order_ = std::move(order);
    visible_.clear();
    pos_ = 0;
    for (size_t row : order_) {
        if (!shown[row]) continue;
        if (hasCurrent && row == current) pos_ = visible_.size();
        visible_.push_back(row);
    }
    if (!hasCurrent) pos_ = visible_.size();
}

}  // namespace tvx::tables
