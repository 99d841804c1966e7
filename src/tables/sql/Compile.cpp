// Binding of statements: table sources, column names through nested scopes, parameters,
// aggregate slots, and the join plan of a SELECT (which equality drives an index lookup
// at each source, which terms filter where).
#include <algorithm>
#include <map>

#include "tables/EngineError.h"
#include "tables/sql/Bound.h"

namespace tvx::tables::sql {

Op operatorCode(const std::string& op) {
    static const std::pair<const char*, Op> kCodes[] = {
        {"NOT", Op::Not},   {"+", Op::Plus},      {"-", Op::Minus},     {"*", Op::Times},
        {"/", Op::Divide},  {"AND", Op::And},     {"OR", Op::Or},       {"=", Op::Equal},
        {"<>", Op::NotEqual}, {"<", Op::Less},    {">", Op::Greater},   {"<=", Op::LessEqual},
        {">=", Op::GreaterEqual}};
    for (const auto& [name, code] : kCodes)
        if (op == name) return code;
    return Op::Other;
}

Agg aggregateCode(const std::string& function) {
    if (function == "SUM") return Agg::Sum;
    if (function == "AVG") return Agg::Avg;
    if (function == "MAX") return Agg::Max;
    if (function == "MIN") return Agg::Min;
    return Agg::Count;
}

namespace {

std::string upper(std::string_view s) {
    return toUpperAscii(s);
}

[[noreturn]] void fail(const std::string& message, int position) {
    throw EngineError(message, "", position);
}

BoundPtr makeConst(Value v, int position) {
    auto b = std::make_unique<BoundExpr>();
    b->kind = BK::Const;
    b->constant = std::move(v);
    b->position = position;
    return b;
}

bool sourceMatches(const Source& src, const std::string& qualifier) {
    return (!src.alias.empty() && src.alias == qualifier) || src.name == qualifier;
}

BoundPtr resolveColumn(const Expr& e, const Scope& scope) {
    std::string qualifier = upper(e.qualifier);
    int depth = 0;
    bool qualifierSeen = false;
    for (const Scope* s = &scope; s != nullptr; s = s->outer, ++depth) {
        for (size_t i = 0; i < s->sources.size(); ++i) {
            const Source& src = s->sources[i];
            if (!qualifier.empty() && !sourceMatches(src, qualifier)) continue;
            if (!qualifier.empty()) qualifierSeen = true;
            int field = src.table->findField(e.name);
            if (field < 0) continue;
            auto b = std::make_unique<BoundExpr>();
            b->kind = BK::Column;
            b->position = e.position;
            b->depth = depth;
            b->source = static_cast<int>(i);
            b->field = field;
            return b;
        }
        if (qualifierSeen) break;
    }
    if (!qualifier.empty() && !qualifierSeen)
        fail("Unknown table or alias " + e.qualifier + " for column " + e.name, e.position);
    std::string shown = qualifier.empty() ? e.name : e.qualifier + "." + e.name;
    fail("Unknown column " + shown, e.position);
}

template <typename F>
void forEachRoot(CompiledSelect& s, F&& fn) {
    for (auto& o : s.outputs) fn(*o);
    for (auto& c : s.constantFilters) fn(*c);
    for (auto& l : s.levels) {
        for (auto& c : l.match) fn(*c);
        for (auto& c : l.post) fn(*c);
    }
    for (auto& g : s.groupBy) fn(*g);
    if (s.having) fn(*s.having);
    for (auto& o : s.order)
        if (o.expr) fn(*o.expr);
}

// Bits of the sources of the select at nesting `level` that an expression reads.
uint64_t sourceMask(const BoundExpr& e, int level) {
    uint64_t mask = 0;
    if (e.kind == BK::Column && e.depth == level) mask |= uint64_t{1} << e.source;
    for (auto& a : e.args) mask |= sourceMask(*a, level);
    if (e.subquery)
        forEachRoot(*e.subquery, [&](BoundExpr& r) { mask |= sourceMask(r, level + 1); });
    return mask;
}

// How many scopes beyond its own select (at nesting `level`) an expression reaches.
int outerReach(const BoundExpr& e, int level) {
    int reach = 0;
    if (e.kind == BK::Column) reach = std::max(reach, e.depth - level);
    for (auto& a : e.args) reach = std::max(reach, outerReach(*a, level));
    if (e.subquery)
        forEachRoot(*e.subquery,
                    [&](BoundExpr& r) { reach = std::max(reach, outerReach(r, level + 1)); });
    return reach;
}

bool hasAggregate(const BoundExpr& e) {
    if (e.kind == BK::Aggregate) return true;
    for (auto& a : e.args)
        if (hasAggregate(*a)) return true;
    return false;
}

void splitConjuncts(const Expr& e, std::vector<const Expr*>& out) {
    if (e.kind == ExprKind::Binary && e.op == "AND") {
        splitConjuncts(*e.args[0], out);
        splitConjuncts(*e.args[1], out);
    } else {
        out.push_back(&e);
    }
}

int highestBit(uint64_t mask) {
    int h = -1;
    for (int i = 0; i < 64; ++i)
        if (mask & (uint64_t{1} << i)) h = i;
    return h;
}

// Chooses, at each level, the equality term whose field has the most distinct values.
// Bits of the plan positions (not source numbers) that a mask of sources covers.
uint64_t positionsOf(const CompiledSelect& s, uint64_t sources) {
    uint64_t positions = 0;
    for (size_t pos = 0; pos < s.joinOrder.size(); ++pos)
        if (sources & (uint64_t{1} << s.joinOrder[pos])) positions |= uint64_t{1} << pos;
    return positions;
}

// An equality term "field of `source` = something that needs only `available` sources".
// Returns the field (or -1) and the other side.
int equalityOn(const BoundExpr& term, int source, uint64_t available, const BoundExpr** other) {
    if (term.kind != BK::Binary || term.op != "=") return -1;
    for (int side = 0; side < 2; ++side) {
        const BoundExpr& col = *term.args[side];
        const BoundExpr& rest = *term.args[1 - side];
        if (col.kind != BK::Column || col.depth != 0 || col.source != source) continue;
        if (sourceMask(rest, 0) & ~available) continue;
        if (hasAggregate(rest)) continue;
        *other = &rest;
        return col.field;
    }
    return -1;
}

bool indexable(const Table& table, int field) {
    char type = table.fields()[static_cast<size_t>(field)].type;
    return type == 'C' || type == 'N' || type == 'F' || type == 'D';
}

// Records an equality of a field with `other` is expected to find: counted in the index when
// `other` is a constant such as -1 (a frequent value is no narrow key), else the average.
bool isConstant(const BoundExpr& e) {
    if (e.kind != BK::Const && e.kind != BK::Unary && e.kind != BK::Binary) return false;
    return std::all_of(e.args.begin(), e.args.end(),
                       [](const BoundPtr& a) { return isConstant(*a); });
}

double equalityRows(Table& table, int field, const BoundExpr& other) {
    if (isConstant(other)) {
        const auto& f = table.fields()[static_cast<size_t>(field)];
        try {
            const Value constant = evaluate(other, Frame{});
            Value key = coerceForField(constant, f, table.name());
            if (!constant.isNull() && compareValues(key, constant) == 0)
                return static_cast<double>(table.countOf(field, key));
        } catch (const EngineError&) {
        }
    }
    const double distinct = static_cast<double>(std::max<size_t>(table.distinctValues(field), 1));
    return table.recordCount() / distinct;
}

// A comparison "date field of `source` <op> something that needs only `available`
// sources", seen from the field: returns the field (or -1), the bound and whether it is a
// lower one.
int dateBoundOn(const Table& table, const BoundExpr& term, int source, uint64_t available,
                const BoundExpr** bound, bool* lower, bool* strict) {
    if (term.kind != BK::Binary) return -1;
    const std::string& op = term.op;
    if (op != "<" && op != "<=" && op != ">" && op != ">=") return -1;
    for (int side = 0; side < 2; ++side) {
        const BoundExpr& col = *term.args[side];
        const BoundExpr& rest = *term.args[1 - side];
        if (col.kind != BK::Column || col.depth != 0 || col.source != source) continue;
        if (table.fields()[static_cast<size_t>(col.field)].type != 'D') continue;
        if (sourceMask(rest, 0) & ~available) continue;
        if (hasAggregate(rest)) continue;
        // "field > x" bounds from below; written the other way round, from above.
        const bool greater = op[0] == '>';
        *lower = side == 0 ? greater : !greater;
        *strict = op.size() == 1;
        *bound = &rest;
        return col.field;
    }
    return -1;
}

// Where no equality narrows a source, a date field bounded from both sides (or else from
// one) is walked through its index instead of the whole table.
void chooseDateRange(Level& level, Table& table, int source, uint64_t available) {
    struct Range {
        const BoundExpr* low = nullptr;
        const BoundExpr* high = nullptr;
        bool lowStrict = false, highStrict = false;
    };
    std::map<int, Range> ranges;
    for (auto& term : level.match) {
        const BoundExpr* bound = nullptr;
        bool lower = false, strict = false;
        int field = dateBoundOn(table, *term, source, available, &bound, &lower, &strict);
        if (field < 0) continue;
        Range& r = ranges[field];
        (lower ? r.low : r.high) = bound;
        (lower ? r.lowStrict : r.highStrict) = strict;
    }
    int best = -1;
    for (const auto& [field, r] : ranges)
        if (best < 0 || (r.low && r.high && !(ranges[best].low && ranges[best].high)))
            best = field;
    if (best < 0) return;
    const Range& r = ranges[best];
    level.rangeField = best;
    level.low = r.low;
    level.high = r.high;
    level.lowStrict = r.lowStrict;
    level.highStrict = r.highStrict;
}

struct Equality {
    int field = -1;
    const BoundExpr* other = nullptr;
    double rows = 0;  // expected records
};

// Of the equalities that can look `source` up once the sources in `available` are placed,
// the one expected to find the fewest records (field -1: none). Those whose index is at
// hand are costed first; the others only when none of those narrows well, since costing
// one builds its index, reading the table whole.
template <class Terms>
Equality cheapestEquality(Table& table, const Terms& terms, int source, uint64_t available) {
    std::vector<Equality> ready, unbuilt;
    for (const auto& term : terms) {
        const BoundExpr* other = nullptr;
        const int field = equalityOn(*term, source, available, &other);
        if (field < 0 || !indexable(table, field)) continue;
        (table.hasIndex(field) ? ready : unbuilt).push_back({field, other, 0});
    }
    Equality best;
    auto consider = [&](std::vector<Equality>& candidates) {
        for (Equality& e : candidates) {
            e.rows = equalityRows(table, e.field, *e.other);
            if (best.field < 0 || e.rows < best.rows) best = e;
        }
    };
    consider(ready);
    const double narrow = std::max(64.0, table.recordCount() / 64.0);
    if (best.field < 0 || best.rows > narrow) consider(unbuilt);
    return best;
}

// Chooses, at each source, the equality term expected to find the fewest records among
// those the sources before it in the plan can feed.
void chooseIndexes(CompiledSelect& s) {
    uint64_t before = 0;
    for (int k : s.joinOrder) {
        Level& level = s.levels[static_cast<size_t>(k)];
        Table& table = *s.scope.sources[static_cast<size_t>(k)].table;
        const Equality best = cheapestEquality(table, level.match, k, before);
        if (best.field >= 0) {
            // The term stays a filter too, so the index can only narrow the candidates,
            // never change the result.
            level.indexField = best.field;
            level.indexKey = best.other;
        }
        if (level.indexField < 0) chooseDateRange(level, table, k, before);
        before |= uint64_t{1} << k;
    }
}

// Order in which inner and comma joins are walked: first the source that an equality with
// a constant narrows most, then each time the source that equalities with the sources
// already placed narrow most. LEFT joins keep the written order.
std::vector<int> planJoinOrder(const CompiledSelect& s,
                               const std::vector<const BoundExpr*>& terms) {
    size_t n = s.scope.sources.size();
    std::vector<int> order;
    bool reorderable = n > 1;
    for (const auto& src : s.scope.sources)
        if (src.join == JoinKind::Left) reorderable = false;
    if (!reorderable) {
        for (size_t i = 0; i < n; ++i) order.push_back(static_cast<int>(i));
        return order;
    }
    uint64_t placed = 0;
    while (order.size() < n) {
        int pick = -1;
        double pickRows = 0;
        for (size_t i = 0; i < n; ++i) {
            if (placed & (uint64_t{1} << i)) continue;
            Table& table = *s.scope.sources[i].table;
            double rows = table.recordCount();
            bool low = false, high = false;
            const Equality best = cheapestEquality(table, terms, static_cast<int>(i), placed);
            if (best.field >= 0) rows = std::min(rows, best.rows);
            for (const BoundExpr* term : terms) {
                const BoundExpr* other = nullptr;
                bool lower = false, strict = false;
                if (dateBoundOn(table, *term, static_cast<int>(i), placed, &other, &lower,
                                &strict) >= 0)
                    (lower ? low : high) = true;
            }
            // A date range narrows a table of years to a period (its bounds are not known
            // until the statement runs): a guess that puts it before a table it only feeds.
            if (low && high) rows = std::min(rows, table.recordCount() / 8.0);
            if (pick < 0 || rows < pickRows) {
                pick = static_cast<int>(i);
                pickRows = rows;
            }
        }
        order.push_back(pick);
        placed |= uint64_t{1} << pick;
    }
    return order;
}

}  // namespace

const Value* ParamSlots::slot(const std::string& name, int position) {
    for (const Slot& s : slots_)
        if (equalsIgnoreCase(s.name, name)) return &s.value;
    slots_.push_back(Slot{name, position, Value()});
    return &slots_.back().value;
}

void ParamSlots::fill(const Params& params) {
    for (Slot& s : slots_) {
        auto it = params.find(s.name);
        if (it == params.end()) fail("Missing value for parameter :" + s.name, s.position);
        s.value = it->second;
    }
}

Source makeSource(Binder& binder, const TableRef& ref) {
    Database& db = binder.db;
    Source src;
    src.table = db.openTable(ref.name, ref.quoted);
    if (src.table == nullptr)
        throw EngineError("Table not found: " + db.resolveTable(ref.name, ref.quoted).string(), "",
                          ref.position);
    binder.uses.push_back(TableUse{ref.name, ref.quoted, src.table, src.table->generation()});
    src.alias = upper(ref.alias);
    src.name = upper(src.table->name());
    src.join = ref.join;
    return src;
}

BoundPtr compileExpr(Binder& binder, const Expr& e, const Scope& scope, bool allowAggregates,
                     std::vector<const BoundExpr*>* aggregates) {
    auto sub = [&](const Expr& a, bool aggs = false) {
        return compileExpr(binder, a, scope, aggs && allowAggregates, aggregates);
    };
    switch (e.kind) {
        case ExprKind::Literal:
            return makeConst(e.literal, e.position);
        case ExprKind::Param: {
            auto b = std::make_unique<BoundExpr>();
            b->kind = BK::Param;
            b->position = e.position;
            b->param = binder.params.slot(e.name, e.position);
            return b;
        }
        case ExprKind::Column:
            return resolveColumn(e, scope);
        case ExprKind::Aggregate: {
            if (!allowAggregates || aggregates == nullptr)
                fail("Aggregate " + e.name + " is not allowed here", e.position);
            auto b = std::make_unique<BoundExpr>();
            b->kind = BK::Aggregate;
            b->position = e.position;
            b->function = upper(e.name);
            b->aggregate = aggregateCode(b->function);
            b->distinct = e.distinct;
            for (auto& a : e.args) {
                auto arg = compileExpr(binder, *a, scope, false, nullptr);
                b->args.push_back(std::move(arg));
            }
            b->slot = static_cast<int>(aggregates->size());
            aggregates->push_back(b.get());
            return b;
        }
        case ExprKind::Subquery: {
            auto b = std::make_unique<BoundExpr>();
            b->kind = BK::Subquery;
            b->position = e.position;
            b->subquery = compileSelect(binder, *e.subquery, &scope);
            if (b->subquery->columns.empty()) fail("Sub-select without columns", e.position);
            b->correlated = b->subquery->maxOuterDepth > 0;
            return b;
        }
        default:
            break;
    }
    auto b = std::make_unique<BoundExpr>();
    b->position = e.position;
    b->op = e.op;
    b->opCode = operatorCode(e.op);
    b->negated = e.negated;
    b->castWidth = e.castWidth;
    switch (e.kind) {
        case ExprKind::Unary:
            b->kind = BK::Unary;
            break;
        case ExprKind::Binary:
            b->kind = BK::Binary;
            break;
        case ExprKind::Like:
            b->kind = BK::Like;
            break;
        case ExprKind::IsNull:
            b->kind = BK::IsNull;
            break;
        case ExprKind::Cast:
            b->kind = BK::Cast;
            break;
        case ExprKind::InList:
            b->kind = BK::InList;
            break;
        default:
            fail("Unsupported expression", e.position);
    }
    for (auto& a : e.args) b->args.push_back(sub(*a, true));
    // "x = NULL" and "x <> NULL" written with the NULL literal test emptiness.
    if (b->kind == BK::Binary && (b->op == "=" || b->op == "<>")) {
        for (int side = 0; side < 2; ++side) {
            const auto& lit = *b->args[side];
            if (lit.kind == BK::Const && lit.constant.isNull() &&
                e.args[side]->kind == ExprKind::Literal) {
                auto isnull = std::make_unique<BoundExpr>();
                isnull->kind = BK::IsNull;
                isnull->position = b->position;
                isnull->negated = b->op == "<>";
                isnull->args.push_back(std::move(b->args[1 - side]));
                return isnull;
            }
        }
    }
    return b;
}

namespace {

// Compiles the WHERE terms (`onOf` -1) or the ON terms of source `onOf`.
void compileTerms(Binder& binder, CompiledSelect& cs, const Expr* where, int onOf,
                  std::vector<std::pair<BoundPtr, int>>& out) {
    if (where == nullptr) return;
    std::vector<const Expr*> terms;
    splitConjuncts(*where, terms);
    for (const Expr* t : terms)
        out.emplace_back(compileExpr(binder, *t, cs.scope, false, nullptr), onOf);
}

// Puts each term where the plan can first decide it: at the last of its sources in the
// plan (a WHERE term on a LEFT-joined source after its null row), a LEFT join's ON term
// at its join.
void placeTerms(CompiledSelect& cs, std::vector<std::pair<BoundPtr, int>>& terms) {
    for (auto& [b, onOf] : terms) {
        // The ON terms of a LEFT join decide its matches; those of inner joins filter
        // like WHERE terms.
        if (onOf >= 0 && cs.scope.sources[static_cast<size_t>(onOf)].join == JoinKind::Left) {
            cs.levels[static_cast<size_t>(onOf)].match.push_back(std::move(b));
            continue;
        }
        uint64_t mask = sourceMask(*b, 0);
        if (mask == 0) {
            cs.constantFilters.push_back(std::move(b));
            continue;
        }
        int k = cs.joinOrder[static_cast<size_t>(highestBit(positionsOf(cs, mask)))];
        if (cs.scope.sources[static_cast<size_t>(k)].join == JoinKind::Left)
            cs.levels[static_cast<size_t>(k)].post.push_back(std::move(b));
        else
            cs.levels[static_cast<size_t>(k)].match.push_back(std::move(b));
    }
}

ColumnInfo fieldInfo(const Source& src, int field) {
    const auto& f = src.table->fields()[field];
    ColumnInfo info;
    info.name = f.name;
    info.type = f.type == 'F' ? 'N' : f.type;
    info.width = f.width;
    info.decimals = f.decimals;
    return info;
}

}  // namespace

std::shared_ptr<CompiledSelect> compileSelect(Binder& binder, const SelectStmt& sel,
                                              const Scope* outer) {
    auto cs = std::make_shared<CompiledSelect>();
    cs->scope.outer = outer;
    if (sel.from.empty()) fail("Syntax error: SELECT without FROM", 0);
    if (sel.from.size() > 64) fail("Too many tables in one statement", sel.from[64].position);
    for (const auto& ref : sel.from) cs->scope.sources.push_back(makeSource(binder, ref));
    cs->levels.resize(cs->scope.sources.size());
    cs->distinct = sel.distinct;

    for (const auto& item : sel.items) {
        if (item.star) {
            std::string q = upper(item.starQualifier);
            bool any = false;
            for (size_t i = 0; i < cs->scope.sources.size(); ++i) {
                const Source& src = cs->scope.sources[i];
                if (!q.empty() && !sourceMatches(src, q)) continue;
                any = true;
                for (size_t f = 0; f < src.table->fields().size(); ++f) {
                    auto b = std::make_unique<BoundExpr>();
                    b->kind = BK::Column;
                    b->source = static_cast<int>(i);
                    b->field = static_cast<int>(f);
                    cs->outputs.push_back(std::move(b));
                    cs->columns.push_back(fieldInfo(src, static_cast<int>(f)));
                    cs->computed.push_back(false);
                }
                if (!q.empty()) break;
            }
            if (!any) fail("Unknown table or alias " + item.starQualifier, 0);
            continue;
        }
        BoundPtr b = compileExpr(binder, *item.expr, cs->scope, true, &cs->aggregates);
        ColumnInfo info;
        bool computed = true;
        if (b->kind == BK::Column && b->depth == 0) {
            info = fieldInfo(cs->scope.sources[b->source], b->field);
            computed = false;
        } else {
            info.name = "EXPR" + std::to_string(cs->outputs.size() + 1);
        }
        if (!item.alias.empty()) info.name = upper(item.alias);
        cs->outputs.push_back(std::move(b));
        cs->columns.push_back(info);
        cs->computed.push_back(computed);
    }

    std::vector<std::pair<BoundPtr, int>> terms;
    compileTerms(binder, *cs, sel.where.get(), -1, terms);
    for (size_t k = 0; k < sel.from.size(); ++k)
        compileTerms(binder, *cs, sel.from[k].on.get(), static_cast<int>(k), terms);
    std::vector<const BoundExpr*> joinTerms;
    for (const auto& t : terms) joinTerms.push_back(t.first.get());
    cs->joinOrder = planJoinOrder(*cs, joinTerms);
    for (size_t pos = 0; pos < cs->joinOrder.size(); ++pos)
        if (cs->joinOrder[pos] != static_cast<int>(pos)) cs->reordered = true;
    placeTerms(*cs, terms);
    chooseIndexes(*cs);

    for (const auto& g : sel.groupBy)
        cs->groupBy.push_back(compileExpr(binder, *g, cs->scope, false, nullptr));
    if (sel.having) cs->having = compileExpr(binder, *sel.having, cs->scope, true, &cs->aggregates);

    for (const auto& item : sel.orderBy) {
        OrderKey key;
        key.descending = item.descending;
        const Expr& e = *item.expr;
        if (e.kind == ExprKind::Literal && e.literal.isNumber()) {
            long long p = e.literal.number().toLongLong();
            if (p < 1 || p > static_cast<long long>(cs->outputs.size()))
                fail("ORDER BY position " + e.literal.toString() + " out of range", e.position);
            key.output = static_cast<int>(p - 1);
        } else if (e.kind == ExprKind::Column && e.qualifier.empty()) {
            std::string name = upper(e.name);
            for (size_t i = 0; i < cs->columns.size(); ++i)
                if (cs->columns[i].name == name) {
                    key.output = static_cast<int>(i);
                    break;
                }
        }
        if (key.output < 0) {
            key.expr = compileExpr(binder, e, cs->scope, true, &cs->aggregates);
            if (key.expr->kind == BK::Column && key.expr->depth == 0) {
                for (size_t i = 0; i < cs->outputs.size(); ++i) {
                    const auto& o = *cs->outputs[i];
                    if (o.kind == BK::Column && o.depth == 0 && o.source == key.expr->source &&
                        o.field == key.expr->field) {
                        key.output = static_cast<int>(i);
                        key.expr.reset();
                        break;
                    }
                }
            }
        }
        cs->order.push_back(std::move(key));
    }
    cs->grouped = !cs->groupBy.empty() || !cs->aggregates.empty();

    int reach = 0;
    forEachRoot(*cs, [&](BoundExpr& r) { reach = std::max(reach, outerReach(r, 0)); });
    cs->maxOuterDepth = reach;
    return cs;
}

void planSingleSource(Binder& binder, CompiledSelect& plan, const Expr* where) {
    plan.levels.resize(plan.scope.sources.size());
    plan.joinOrder.clear();
    for (size_t i = 0; i < plan.scope.sources.size(); ++i)
        plan.joinOrder.push_back(static_cast<int>(i));
    std::vector<std::pair<BoundPtr, int>> terms;
    compileTerms(binder, plan, where, -1, terms);
    placeTerms(plan, terms);
    chooseIndexes(plan);
}

namespace {

void resetExpr(BoundExpr& e) {
    for (auto& a : e.args) resetExpr(*a);
    if (e.subquery) {
        e.cached = false;
        e.cachedValue = Value();
        resetSubqueries(*e.subquery);
    }
}

}  // namespace

void resetSubqueries(CompiledSelect& select) {
    // The indexes are chosen again for the tables as they are now: a statement bound while a
    // table was empty would otherwise keep walking whatever field came first, and a lookup
    // repeated as the table grows would read it whole each time.
    for (Level& level : select.levels) {
        level.indexField = -1;
        level.indexKey = nullptr;
        level.rangeField = -1;
        level.low = level.high = nullptr;
    }
    chooseIndexes(select);
    forEachRoot(select, [](BoundExpr& r) { resetExpr(r); });
}

void resetSubqueries(BoundExpr& expr) {
    resetExpr(expr);
}

}  // namespace tvx::tables::sql
