// Evaluation of bound expressions with three-valued logic, and the running of a compiled
// SELECT: join walk (index lookups or scans), grouping with aggregates, DISTINCT, ORDER BY.
#include <algorithm>
#include <limits>
#include <numeric>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "tables/EngineError.h"
#include "tables/sql/Bound.h"
#include "tables/sql/SortOrder.h"

namespace tvx::tables::sql {

namespace {

[[noreturn]] void fail(const std::string& message, int position) {
    throw EngineError(message, "", position);
}

Value truth(bool b) {
    return Value::logical(b);
}

Value readColumn(const BoundExpr& e, const Frame& frame) {
    const Frame* f = &frame;
    for (int d = 0; d < e.depth; ++d) f = f->outer;
    int64_t record = f->records[static_cast<size_t>(e.source)];
    if (record < 0) return {};
    return f->scope->sources[static_cast<size_t>(e.source)].table->value(
        static_cast<uint32_t>(record), e.field);
}

// Number of UTF-8 characters; cuts text to at most n characters.
std::string cutChars(const std::string& s, int n) {
    size_t i = 0;
    int count = 0;
    while (i < s.size() && count < n) {
        auto c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        i += len;
        ++count;
    }
    return s.substr(0, std::min(i, s.size()));
}

size_t utf8Len(std::string_view s, size_t i) {
    auto c = static_cast<unsigned char>(s[i]);
    size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    return std::min(len, s.size() - i);
}

bool likeMatch(std::string_view text, std::string_view pattern) {
    // Iterative matcher with backtracking on the last '%'.
    size_t t = 0, p = 0, starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '%') {
            starP = ++p;
            starT = t;
        } else if (p < pattern.size() && pattern[p] == '_') {
            t += utf8Len(text, t);
            p += utf8Len(pattern, p);
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++t;
            ++p;
        } else if (starP != std::string_view::npos) {
            p = starP;
            starT += utf8Len(text, starT);
            t = starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '%') ++p;
    return p == pattern.size();
}

Decimal asNumber(const Value& v, int position) {
    if (v.isNumber()) return v.number();
    if (v.isText())
        if (auto d = Decimal::parse(v.text())) return *d;
    fail("Type mismatch: '" + v.toString() + "' is not a number", position);
}

// A date moved by a number of days (whole part); leaving the years 1..9999 is an error, as a
// date field could not hold the result.
Value shiftDate(Date date, const Decimal& days, bool back, int position) {
    const std::string shown = date.toString() + (back ? " - " : " + ") + days.toString();
    try {
        const long long n = days.toLongLong();
        if (back && n == std::numeric_limits<long long>::min()) throw EngineError(shown);
        return Value(date.addDays(back ? -n : n));
    } catch (const EngineError&) {
        fail("Date out of range: " + shown + " leaves the years 1..9999", position);
    }
}

Value arithmetic(const BoundExpr& e, const Value& a, const Value& b) {
    const Op op = e.opCode;
    const int position = e.position;
    if (a.isNull() || b.isNull()) return {};
    if (op == Op::Plus && a.isText() && b.isText()) return Value(a.text() + b.text());
    if (a.isDate() && b.isNumber() && (op == Op::Plus || op == Op::Minus))
        return shiftDate(a.date(), b.number(), op == Op::Minus, position);
    if (a.isNumber() && b.isDate() && op == Op::Plus)
        return shiftDate(b.date(), a.number(), false, position);
    if (a.isDate() && b.isDate() && op == Op::Minus)
        return Value(static_cast<long long>(a.date().dayNumber() - b.date().dayNumber()));
    if (!a.isNumber() || !b.isNumber())
        fail("Type mismatch: cannot apply " + e.op + " to '" + a.toString() + "' and '" +
                 b.toString() + "'",
             position);
    const Decimal& x = a.number();
    const Decimal& y = b.number();
    try {
        if (op == Op::Plus) return Value(x + y);
        if (op == Op::Minus) return Value(x - y);
        if (op == Op::Times) return Value(x * y);
        return Value(x / y);
    } catch (const EngineError& e) {
        fail(e.what(), position);
    }
}

Value comparison(Op op, const Value& a, const Value& b, int position) {
    if (a.isNull() || b.isNull()) return {};
    int c;
    try {
        c = compareValues(a, b);
    } catch (const EngineError& e) {
        fail(e.what(), position);
    }
    switch (op) {
        case Op::Equal:
            return truth(c == 0);
        case Op::NotEqual:
            return truth(c != 0);
        case Op::Less:
            return truth(c < 0);
        case Op::Greater:
            return truth(c > 0);
        case Op::LessEqual:
            return truth(c <= 0);
        default:
            return truth(c >= 0);
    }
}

}  // namespace

bool isTrue(const Value& v) {
    return v.isLogical() && v.logical();
}

Value evaluate(const BoundExpr& e, const Frame& frame) {
    switch (e.kind) {
        case BK::Const:
            return e.constant;
        case BK::Param:
            return *e.param;
        case BK::Column:
            return readColumn(e, frame);
        case BK::Aggregate:
            if (frame.aggregates == nullptr) fail("Aggregate outside a group", e.position);
            return (*frame.aggregates)[static_cast<size_t>(e.slot)];
        case BK::Unary: {
            Value v = evaluate(*e.args[0], frame);
            if (v.isNull()) return {};
            if (e.opCode == Op::Not) {
                if (!v.isLogical()) fail("NOT needs a condition", e.position);
                return truth(!v.logical());
            }
            if (e.opCode == Op::Plus) return Value(asNumber(v, e.position));
            return Value(-asNumber(v, e.position));
        }
        case BK::Binary: {
            if (e.opCode == Op::And || e.opCode == Op::Or) {
                Value a = evaluate(*e.args[0], frame);
                bool isAnd = e.opCode == Op::And;
                if (a.isLogical() && a.logical() != isAnd) return a;  // short circuit
                Value b = evaluate(*e.args[1], frame);
                if (!(a.isNull() || a.isLogical()) || !(b.isNull() || b.isLogical()))
                    fail(e.op + " needs conditions", e.position);
                if (b.isLogical() && b.logical() != isAnd) return b;
                if (a.isNull() || b.isNull()) return {};
                return truth(isAnd);
            }
            Value a = evaluate(*e.args[0], frame);
            Value b = evaluate(*e.args[1], frame);
            if (e.opCode == Op::Plus || e.opCode == Op::Minus || e.opCode == Op::Times ||
                e.opCode == Op::Divide)
                return arithmetic(e, a, b);
            return comparison(e.opCode, a, b, e.position);
        }
        case BK::Like: {
            Value a = evaluate(*e.args[0], frame);
            Value b = evaluate(*e.args[1], frame);
            if (a.isNull() || b.isNull()) return {};
            bool m = likeMatch(rtrim(a.toString()), rtrim(b.toString()));
            return truth(m != e.negated);
        }
        case BK::IsNull: {
            Value a = evaluate(*e.args[0], frame);
            return truth(a.isNull() != e.negated);
        }
        case BK::Cast: {
            Value a = evaluate(*e.args[0], frame);
            if (a.isNull()) return {};
            return Value(cutChars(a.toString(), e.castWidth));
        }
        case BK::InList: {
            Value a = evaluate(*e.args[0], frame);
            if (a.isNull()) return {};
            bool unknown = false;
            for (size_t i = 1; i < e.args.size(); ++i) {
                Value r = comparison(Op::Equal, a, evaluate(*e.args[i], frame), e.position);
                if (r.isNull())
                    unknown = true;
                else if (r.logical())
                    return truth(!e.negated);
            }
            if (unknown) return {};
            return truth(e.negated);
        }
        case BK::Subquery: {
            if (!e.correlated && e.cached) return e.cachedValue;
            std::vector<Value> rows = runSelect(*e.subquery, &frame);
            Value v = rows.empty() ? Value() : rows[0];
            if (!e.correlated) {
                e.cached = true;
                e.cachedValue = v;
            }
            return v;
        }
    }
    return {};
}

namespace {

// Whether the rows of the select read columns of `source` after the walk (a plain column
// among the outputs, read from the record when asked for; a group reads only its first).
bool readsColumnsLater(const CompiledSelect& s, size_t source) {
    if (s.grouped || s.distinct) return false;
    return std::any_of(s.outputs.begin(), s.outputs.end(), [&](const BoundPtr& o) {
        return o->kind == BK::Column && o->depth == 0 && static_cast<size_t>(o->source) == source;
    });
}

void walkLevel(CompiledSelect& s, Frame& f, size_t pos,
               const std::function<void(const Frame&)>& emit) {
    if (pos == s.levels.size()) {
        emit(f);
        return;
    }
    const size_t k = static_cast<size_t>(s.joinOrder[pos]);
    Level& level = s.levels[k];
    const Source& src = s.scope.sources[k];
    Table& table = *src.table;
    bool matched = false;
    auto tryRecord = [&](uint32_t r) {
        f.records[k] = r;
        for (auto& c : level.match)
            if (!isTrue(evaluate(*c, f))) return;
        matched = true;
        for (auto& c : level.post)
            if (!isTrue(evaluate(*c, f))) return;
        walkLevel(s, f, pos + 1, emit);
    };
    bool scanned = false;
    if (level.indexField >= 0) {
        Value key = evaluate(*level.indexKey, f);
        const auto& field = table.fields()[level.indexField];
        bool usable = !key.isNull() && (field.type != 'C' || key.isText());
        if (key.isNull()) {
            scanned = true;  // equality with NULL matches nothing
        } else if (usable) {
            Value coerced;
            try {
                coerced = coerceForField(key, field, table.name());
            } catch (const EngineError&) {
                usable = false;
            }
            if (usable && field.type == 'C') coerced = Value(rtrim(coerced.text()));
            if (usable && field.type != 'C' && compareValues(coerced, key) != 0) usable = false;
            if (usable) {
                const std::vector<uint32_t> candidates = table.lookup(level.indexField, coerced);
                for (size_t i = 0; i < candidates.size(); ++i)
                    if (!table.isDeleted(candidates[i])) tryRecord(candidates[i]);
                scanned = true;
            }
        }
    }
    if (!scanned && level.indexField < 0 && level.rangeField >= 0) {
        // The bounds as dates; anything else (a text that is no date, a number) leaves the
        // comparison terms to say what they make of it, over a scan.
        bool usable = true, empty = false;
        auto bound = [&](const BoundExpr* e, bool strict, int step) -> std::optional<Date> {
            if (!e) return std::nullopt;
            Value v = evaluate(*e, f);
            std::optional<Date> d;
            if (v.isNull()) empty = true;
            else if (v.isDate()) d = v.date();
            else if (v.isText()) d = Date::parseDayFirst(v.text());
            if (!d && !v.isNull()) usable = false;
            if (d && strict) d = Date::fromDayNumber(d->dayNumber() + step);
            return d;
        };
        std::optional<Date> from = bound(level.low, level.lowStrict, 1);
        std::optional<Date> to = bound(level.high, level.highStrict, -1);
        if (usable) {
            if (!empty)
                for (uint32_t r : table.lookupDates(level.rangeField, from, to))
                    if (!table.isDeleted(r)) tryRecord(r);
            scanned = true;
        }
    }
    if (!scanned) {
        // A walk keeps no chunk, unless the rows will be read again for their columns.
        std::optional<dbf::DbfFile::RecordWalk> walk;
        if (!readsColumnsLater(s, k)) walk.emplace(table.file().shareImage());
        uint32_t n = table.recordCount();
        if (table.deletedCount() == 0) {
            for (uint32_t r = 0; r < n; ++r) tryRecord(r);
        } else {
            for (uint32_t r = 0; r < n; ++r)
                if (!table.isDeleted(r)) tryRecord(r);
        }
    }
    if (!matched && src.join == JoinKind::Left) {
        f.records[k] = -1;
        bool ok = true;
        for (auto& c : level.post)
            if (!isTrue(evaluate(*c, f))) {
                ok = false;
                break;
            }
        if (ok) walkLevel(s, f, pos + 1, emit);
    }
    f.records[k] = -1;
}

struct KeyHash {
    size_t operator()(const std::vector<Value>& key) const {
        size_t h = 1469598103934665603ull;
        for (const auto& v : key) h = (h ^ hashValue(v)) * 1099511628211ull;
        return h;
    }
};
struct KeyEqual {
    bool operator()(const std::vector<Value>& a, const std::vector<Value>& b) const {
        for (size_t i = 0; i < a.size(); ++i)
            if (!sameKey(a[i], b[i])) return false;
        return true;
    }
};

struct ValueHash {
    size_t operator()(const Value& v) const { return hashValue(v); }
};
struct SameValue {
    bool operator()(const Value& a, const Value& b) const { return sameKey(a, b); }
};

struct Accumulator {
    Value best;  // MAX / MIN
    Decimal sum;
    bool any = false;
    long long count = 0;
    std::unordered_set<Value, ValueHash, SameValue> seen;  // DISTINCT arguments
};

void accumulate(const BoundExpr& agg, Accumulator& acc, const Frame& f) {
    if (agg.args.empty()) {  // COUNT(*)
        ++acc.count;
        return;
    }
    Value v = evaluate(*agg.args[0], f);
    if (v.isNull()) return;
    if (agg.distinct) {
        if (!acc.seen.insert(v).second) return;
    }
    ++acc.count;
    const Agg fn = agg.aggregate;
    if (fn == Agg::Sum || fn == Agg::Avg) {
        Decimal d = asNumber(v, agg.position);
        acc.sum = acc.any ? acc.sum + d : d;
    } else if (fn == Agg::Max || fn == Agg::Min) {
        if (!acc.any) {
            acc.best = v;
        } else {
            int c = compareValues(v, acc.best);
            if ((fn == Agg::Max && c > 0) || (fn == Agg::Min && c < 0)) acc.best = v;
        }
    }
    acc.any = true;
}

Value finish(const BoundExpr& agg, const Accumulator& acc) {
    const Agg fn = agg.aggregate;
    if (fn == Agg::Count) return Value(acc.count);
    if (!acc.any) return {};
    if (fn == Agg::Sum) return Value(acc.sum);
    if (fn == Agg::Avg) return Value(acc.sum / Decimal(acc.count));
    return acc.best;
}

// Produced rows: per row the record of each source, the values of the outputs that are
// not plain columns of this select, and the ORDER BY keys. Plain columns are read from
// the records when needed, so large lists are never copied into values.
struct Rows {
    size_t sources = 0;
    std::vector<int> slot;  // per output: index among computed values, -1 for a plain column
    size_t computedWidth = 0;
    size_t keyWidth = 0;
    size_t count = 0;
    std::vector<int64_t> records;
    std::vector<Value> computed;
    std::vector<Value> keys;
};

Rows prepareRows(const CompiledSelect& s) {
    Rows rows;
    rows.sources = s.scope.sources.size();
    for (const auto& o : s.outputs) {
        bool plain = !s.distinct && o->kind == BK::Column && o->depth == 0;
        rows.slot.push_back(plain ? -1 : static_cast<int>(rows.computedWidth++));
    }
    rows.keyWidth = s.order.size();
    return rows;
}

Value outputValue(const CompiledSelect& s, const Rows& rows, size_t row, size_t output) {
    int slot = rows.slot[output];
    if (slot >= 0) return rows.computed[row * rows.computedWidth + static_cast<size_t>(slot)];
    const BoundExpr& o = *s.outputs[output];
    int64_t record = rows.records[row * rows.sources + static_cast<size_t>(o.source)];
    if (record < 0) return {};
    return s.scope.sources[static_cast<size_t>(o.source)].table->value(
        static_cast<uint32_t>(record), o.field);
}

void produce(CompiledSelect& s, const Frame& f, Rows& out) {
    out.records.insert(out.records.end(), f.records.begin(), f.records.end());
    size_t firstComputed = out.computed.size();
    for (size_t i = 0; i < s.outputs.size(); ++i)
        if (out.slot[i] >= 0) out.computed.push_back(evaluate(*s.outputs[i], f));
    for (auto& k : s.order) {
        if (k.expr) {
            out.keys.push_back(evaluate(*k.expr, f));
        } else if (out.slot[static_cast<size_t>(k.output)] >= 0) {
            out.keys.push_back(
                out.computed[firstComputed +
                             static_cast<size_t>(out.slot[static_cast<size_t>(k.output)])]);
        } else {
            out.keys.push_back(evaluate(*s.outputs[static_cast<size_t>(k.output)], f));
        }
    }
    ++out.count;
}

int compareSpans(const Value* a, const Value* b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        int c = compareValues(a[i], b[i]);
        if (c != 0) return c;
    }
    return 0;
}

int compareAll(const std::vector<Value>& a, const std::vector<Value>& b) {
    return compareSpans(a.data(), b.data(), a.size());
}

// Rows of a result set that read plain columns from table images kept alive with it.
class LazyRows : public RowSource {
  public:
    using Image = std::shared_ptr<const dbf::RecordImage>;
    struct Column {
        int slot = -1;  // computed value index, or -1
        int source = 0;
        dbf::FieldDescriptor field;
    };
    std::vector<Image> images;
    // One per image: cells of a row are read one after the other. A result set is read
    // by one thread at a time.
    mutable std::vector<dbf::RecordReader> readers;
    std::vector<Column> columns;
    Rows rows;
    std::vector<size_t> order;

    size_t rowCount() const override { return order.size(); }
    Value cell(size_t row, int column) const override {
        size_t r = order[row];
        const Column& c = columns[static_cast<size_t>(column)];
        if (c.slot >= 0) return rows.computed[r * rows.computedWidth + static_cast<size_t>(c.slot)];
        int64_t record = rows.records[r * rows.sources + static_cast<size_t>(c.source)];
        if (record < 0) return {};
        const Image& img = images[static_cast<size_t>(c.source)];
        return decodeField(
            readers[static_cast<size_t>(c.source)].read(*img, static_cast<uint32_t>(record),
                                                        static_cast<size_t>(c.field.offset),
                                                        static_cast<size_t>(c.field.width)),
            c.field);
    }
};

}  // namespace

void walkPlan(CompiledSelect& s, Frame& f, const std::function<void(const Frame&)>& emit) {
    for (auto& c : s.constantFilters)
        if (!isTrue(evaluate(*c, f))) return;
    walkLevel(s, f, 0, emit);
}

namespace {

// Runs the select: the rows and their display order.
std::pair<Rows, std::vector<size_t>> collect(CompiledSelect& s, const Frame* outer) {
    Frame f;
    f.scope = &s.scope;
    f.records.assign(s.scope.sources.size(), -1);
    f.outer = outer;
    Rows rows = prepareRows(s);
    // DISTINCT rows: every output is computed (see prepareRows). The hash reads the values
    // where they are at each call, as they move while rows are added.
    const size_t w = rows.computedWidth;
    auto hashRow = [&rows, w](size_t r) {
        const Value* v = rows.computed.data();
        size_t h = 1469598103934665603ull;
        for (size_t c = 0; c < w; ++c) h = (h ^ hashValue(v[r * w + c])) * 1099511628211ull;
        return h;
    };
    auto sameRow = [&rows, w](size_t a, size_t b) {
        const Value* v = rows.computed.data();
        for (size_t c = 0; c < w; ++c)
            if (!sameKey(v[a * w + c], v[b * w + c])) return false;
        return true;
    };
    using RowSet = std::unordered_set<size_t, decltype(hashRow), decltype(sameRow)>;

    if (!s.grouped && s.distinct) {
        // A repeated row is dropped as it comes: a DISTINCT over a long table holds only
        // its distinct rows, the first of each in walk order.
        RowSet seen(64, hashRow, sameRow);
        walkPlan(s, f, [&](const Frame& fr) {
            produce(s, fr, rows);
            if (seen.insert(rows.count - 1).second) return;
            --rows.count;
            rows.records.resize(rows.count * rows.sources);
            rows.computed.resize(rows.count * rows.computedWidth);
            rows.keys.resize(rows.count * rows.keyWidth);
        });
    } else if (!s.grouped) {
        walkPlan(s, f, [&](const Frame& fr) { produce(s, fr, rows); });
    } else {
        struct Group {
            std::vector<int64_t> records;
            std::vector<Value> key;
            std::vector<Accumulator> acc;
        };
        std::vector<Group> groups;
        std::unordered_map<std::vector<Value>, size_t, KeyHash, KeyEqual> byKey;
        std::vector<Value> key;  // one buffer for every row's key
        key.reserve(s.groupBy.size());
        walkPlan(s, f, [&](const Frame& fr) {
            key.clear();
            for (auto& g : s.groupBy) key.push_back(evaluate(*g, fr));
            auto it = byKey.find(key);
            size_t gi;
            if (it == byKey.end()) {
                gi = groups.size();
                groups.push_back(
                    Group{fr.records, key, std::vector<Accumulator>(s.aggregates.size())});
                byKey.emplace(key, gi);
            } else {
                gi = it->second;
            }
            for (size_t a = 0; a < s.aggregates.size(); ++a)
                accumulate(*s.aggregates[a], groups[gi].acc[a], fr);
        });
        if (groups.empty() && s.groupBy.empty())
            groups.push_back(Group{std::vector<int64_t>(s.scope.sources.size(), -1),
                                   {},
                                   std::vector<Accumulator>(s.aggregates.size())});
        if (s.order.empty())
            std::stable_sort(groups.begin(), groups.end(), [](const Group& a, const Group& b) {
                return compareAll(a.key, b.key) < 0;
            });
        std::vector<Value> results;
        for (auto& g : groups) {
            results.clear();
            for (size_t a = 0; a < s.aggregates.size(); ++a)
                results.push_back(finish(*s.aggregates[a], g.acc[a]));
            Frame gf;
            gf.scope = &s.scope;
            gf.records = g.records;
            gf.aggregates = &results;
            gf.outer = outer;
            if (s.having && !isTrue(evaluate(*s.having, gf))) continue;
            produce(s, gf, rows);
        }
    }

    std::vector<size_t> order(rows.count);
    std::iota(order.begin(), order.end(), size_t{0});
    if (s.reordered && !s.grouped && !s.distinct && s.order.empty()) {
        // Joins walked in another order give the rows of the written order back.
        const size_t n = rows.sources;
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return std::lexicographical_compare(
                rows.records.begin() + a * n, rows.records.begin() + (a + 1) * n,
                rows.records.begin() + b * n, rows.records.begin() + (b + 1) * n);
        });
    }
    if (s.distinct) {
        const Value* v = rows.computed.data();
        if (s.grouped) {  // groups giving the same outputs
            RowSet seen(rows.count, hashRow, sameRow);
            std::vector<size_t> unique;
            for (size_t r : order)
                if (seen.insert(r).second) unique.push_back(r);
            order = std::move(unique);
        }
        if (s.order.empty())
            std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
                return compareSpans(&v[a * w], &v[b * w], w) < 0;
            });
    }
    if (!s.order.empty()) {
        std::vector<bool> descending;
        for (const auto& k : s.order) descending.push_back(k.descending);
        sortByKeys(order, rows.keys, descending);
    }
    return {std::move(rows), std::move(order)};
}

}  // namespace

std::vector<Value> runSelect(CompiledSelect& s, const Frame* outer) {
    auto [rows, order] = collect(s, outer);
    std::vector<Value> cells;
    cells.reserve(order.size() * s.outputs.size());
    for (size_t r : order)
        for (size_t c = 0; c < s.outputs.size(); ++c) cells.push_back(outputValue(s, rows, r, c));
    return cells;
}

std::shared_ptr<const RowSource> runSelectRows(CompiledSelect& s) {
    auto lazy = std::make_shared<LazyRows>();
    auto [rows, order] = collect(s, nullptr);
    for (const auto& src : s.scope.sources) {
        lazy->images.push_back(src.table->file().shareImage());
        lazy->readers.emplace_back();
    }
    for (size_t i = 0; i < s.outputs.size(); ++i) {
        LazyRows::Column c;
        c.slot = rows.slot[i];
        if (c.slot < 0) {
            const BoundExpr& o = *s.outputs[i];
            c.source = o.source;
            c.field = s.scope.sources[static_cast<size_t>(o.source)]
                          .table->fields()[static_cast<size_t>(o.field)];
        }
        lazy->columns.push_back(std::move(c));
    }
    lazy->rows = std::move(rows);
    lazy->order = std::move(order);
    return lazy;
}

}  // namespace tvx::tables::sql
