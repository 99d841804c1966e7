// Evaluation of bound expressions with three-valued logic, and the running of a compiled
// SELECT: join walk (index lookups or scans), grouping with aggregates, DISTINCT, ORDER BY.
#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "tables/EngineError.h"
#include "tables/sql/Bound.h"

namespace tvx::tables::sql {

namespace {

[[noreturn]] void fail(const std::string& message, int position) {
    throw EngineError(message, "", position);
}

Value truth(bool b) { return Value::logical(b); }

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

Value arithmetic(const std::string& op, const Value& a, const Value& b, int position) {
    if (a.isNull() || b.isNull()) return {};
    if (op == "+" && a.isText() && b.isText()) return Value(a.text() + b.text());
    if (a.isDate() && b.isNumber() && (op == "+" || op == "-")) {
        long long n = b.number().toLongLong();
        return Value(a.date().addDays(static_cast<int>(op == "+" ? n : -n)));
    }
    if (a.isNumber() && b.isDate() && op == "+")
        return Value(b.date().addDays(static_cast<int>(a.number().toLongLong())));
    if (a.isDate() && b.isDate() && op == "-")
        return Value(static_cast<long long>(a.date().dayNumber() - b.date().dayNumber()));
    if (!a.isNumber() || !b.isNumber())
        fail("Type mismatch: cannot apply " + op + " to '" + a.toString() + "' and '" +
                 b.toString() + "'",
             position);
    const Decimal& x = a.number();
    const Decimal& y = b.number();
    try {
        if (op == "+") return Value(x + y);
        if (op == "-") return Value(x - y);
        if (op == "*") return Value(x * y);
        return Value(x / y);
    } catch (const EngineError& e) {
        fail(e.what(), position);
    }
}

Value comparison(const std::string& op, const Value& a, const Value& b, int position) {
    if (a.isNull() || b.isNull()) return {};
    int c;
    try {
        c = compareValues(a, b);
    } catch (const EngineError& e) {
        fail(e.what(), position);
    }
    if (op == "=") return truth(c == 0);
    if (op == "<>") return truth(c != 0);
    if (op == "<") return truth(c < 0);
    if (op == ">") return truth(c > 0);
    if (op == "<=") return truth(c <= 0);
    return truth(c >= 0);
}

}  // namespace

bool isTrue(const Value& v) { return v.isLogical() && v.logical(); }

Value evaluate(const BoundExpr& e, const Frame& frame) {
    switch (e.kind) {
        case BK::Const: return e.constant;
        case BK::Column: return readColumn(e, frame);
        case BK::Aggregate:
            if (frame.aggregates == nullptr) fail("Aggregate outside a group", e.position);
            return (*frame.aggregates)[static_cast<size_t>(e.slot)];
        case BK::Unary: {
            Value v = evaluate(*e.args[0], frame);
            if (v.isNull()) return {};
            if (e.op == "NOT") {
                if (!v.isLogical()) fail("NOT needs a condition", e.position);
                return truth(!v.logical());
            }
            if (e.op == "+") return Value(asNumber(v, e.position));
            return Value(-asNumber(v, e.position));
        }
        case BK::Binary: {
            if (e.op == "AND" || e.op == "OR") {
                Value a = evaluate(*e.args[0], frame);
                bool isAnd = e.op == "AND";
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
            if (e.op == "+" || e.op == "-" || e.op == "*" || e.op == "/")
                return arithmetic(e.op, a, b, e.position);
            return comparison(e.op, a, b, e.position);
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
                Value r = comparison("=", a, evaluate(*e.args[i], frame), e.position);
                if (r.isNull()) unknown = true;
                else if (r.logical()) return truth(!e.negated);
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

void walkLevel(CompiledSelect& s, Frame& f, size_t k, const std::function<void(const Frame&)>& emit) {
    if (k == s.levels.size()) {
        emit(f);
        return;
    }
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
        walkLevel(s, f, k + 1, emit);
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
                const std::vector<uint32_t>& candidates = table.lookup(level.indexField, coerced);
                for (size_t i = 0; i < candidates.size(); ++i)
                    if (!table.isDeleted(candidates[i])) tryRecord(candidates[i]);
                scanned = true;
            }
        }
    }
    if (!scanned) {
        uint32_t n = table.recordCount();
        for (uint32_t r = 0; r < n; ++r)
            if (!table.isDeleted(r)) tryRecord(r);
    }
    if (!matched && src.join == JoinKind::Left) {
        f.records[k] = -1;
        bool ok = true;
        for (auto& c : level.post)
            if (!isTrue(evaluate(*c, f))) {
                ok = false;
                break;
            }
        if (ok) walkLevel(s, f, k + 1, emit);
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

struct Accumulator {
    Value best;          // MAX / MIN
    Decimal sum;
    bool any = false;
    long long count = 0;
    std::vector<Value> seen;  // DISTINCT arguments
};

void accumulate(const BoundExpr& agg, Accumulator& acc, const Frame& f) {
    if (agg.args.empty()) {  // COUNT(*)
        ++acc.count;
        return;
    }
    Value v = evaluate(*agg.args[0], f);
    if (v.isNull()) return;
    if (agg.distinct) {
        for (const auto& s : acc.seen)
            if (sameKey(s, v)) return;
        acc.seen.push_back(v);
    }
    ++acc.count;
    const std::string& fn = agg.function;
    if (fn == "SUM" || fn == "AVG") {
        Decimal d = asNumber(v, agg.position);
        acc.sum = acc.any ? acc.sum + d : d;
    } else if (fn == "MAX" || fn == "MIN") {
        if (!acc.any) {
            acc.best = v;
        } else {
            int c = compareValues(v, acc.best);
            if ((fn == "MAX" && c > 0) || (fn == "MIN" && c < 0)) acc.best = v;
        }
    }
    acc.any = true;
}

Value finish(const BoundExpr& agg, const Accumulator& acc) {
    const std::string& fn = agg.function;
    if (fn == "COUNT") return Value(acc.count);
    if (!acc.any) return {};
    if (fn == "SUM") return Value(acc.sum);
    if (fn == "AVG") return Value(acc.sum / Decimal(acc.count));
    return acc.best;
}

struct OutRow {
    std::vector<Value> values;
    std::vector<Value> keys;  // ORDER BY expressions that are not output columns
};

void produce(CompiledSelect& s, const Frame& f, std::vector<OutRow>& out) {
    OutRow row;
    row.values.reserve(s.outputs.size());
    for (auto& o : s.outputs) row.values.push_back(evaluate(*o, f));
    for (auto& k : s.order)
        if (k.expr) row.keys.push_back(evaluate(*k.expr, f));
    out.push_back(std::move(row));
}

int compareRows(const CompiledSelect& s, const OutRow& a, const OutRow& b) {
    size_t ek = 0;
    for (const auto& k : s.order) {
        int c = k.output >= 0 ? compareValues(a.values[k.output], b.values[k.output])
                              : compareValues(a.keys[ek], b.keys[ek]);
        if (k.output < 0) ++ek;
        if (c != 0) return k.descending ? -c : c;
    }
    return 0;
}

int compareAll(const std::vector<Value>& a, const std::vector<Value>& b) {
    for (size_t i = 0; i < a.size(); ++i) {
        int c = compareValues(a[i], b[i]);
        if (c != 0) return c;
    }
    return 0;
}

}  // namespace

void walkPlan(CompiledSelect& s, Frame& f, const std::function<void(const Frame&)>& emit) {
    for (auto& c : s.constantFilters)
        if (!isTrue(evaluate(*c, f))) return;
    walkLevel(s, f, 0, emit);
}

std::vector<Value> runSelect(CompiledSelect& s, const Frame* outer) {
    Frame f;
    f.scope = &s.scope;
    f.records.assign(s.scope.sources.size(), -1);
    f.outer = outer;
    std::vector<OutRow> rows;

    if (!s.grouped) {
        walkPlan(s, f, [&](const Frame& fr) { produce(s, fr, rows); });
    } else {
        struct Group {
            std::vector<int64_t> records;
            std::vector<Value> key;
            std::vector<Accumulator> acc;
        };
        std::vector<Group> groups;
        std::unordered_map<std::vector<Value>, size_t, KeyHash, KeyEqual> byKey;
        walkPlan(s, f, [&](const Frame& fr) {
            std::vector<Value> key;
            key.reserve(s.groupBy.size());
            for (auto& g : s.groupBy) key.push_back(evaluate(*g, fr));
            auto it = byKey.find(key);
            size_t gi;
            if (it == byKey.end()) {
                gi = groups.size();
                groups.push_back(Group{fr.records, key, std::vector<Accumulator>(s.aggregates.size())});
                byKey.emplace(std::move(key), gi);
            } else {
                gi = it->second;
            }
            for (size_t a = 0; a < s.aggregates.size(); ++a)
                accumulate(*s.aggregates[a], groups[gi].acc[a], fr);
        });
        if (groups.empty() && s.groupBy.empty())
            groups.push_back(Group{std::vector<int64_t>(s.scope.sources.size(), -1), {},
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

    if (s.distinct) {
        std::unordered_map<std::vector<Value>, bool, KeyHash, KeyEqual> seen;
        std::vector<OutRow> unique;
        for (auto& r : rows)
            if (seen.emplace(r.values, true).second) unique.push_back(std::move(r));
        rows = std::move(unique);
        if (s.order.empty())
            std::stable_sort(rows.begin(), rows.end(), [](const OutRow& a, const OutRow& b) {
                return compareAll(a.values, b.values) < 0;
            });
    }
    if (!s.order.empty())
        std::stable_sort(rows.begin(), rows.end(), [&](const OutRow& a, const OutRow& b) {
            return compareRows(s, a, b) < 0;
        });

    std::vector<Value> cells;
    cells.reserve(rows.size() * s.outputs.size());
    for (auto& r : rows)
        for (auto& v : r.values) cells.push_back(std::move(v));
    return cells;
}


}  // namespace tvx::tables::sql
