// Statements bound to tables (tables/ layer, executor internals): names resolved to
// (scope depth, source, field), parameters given slots filled before each run, aggregates
// given slots, and the join plan of a SELECT (per source: index lookup or scan, and
// filters). A bound statement is kept and run again while its tables stay as they were.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tables/Database.h"
#include "tables/ResultSet.h"
#include "tables/Table.h"
#include "tables/sql/Ast.h"

namespace tvx::tables::sql {

struct CompiledSelect;

// One table of a FROM clause (or the target of UPDATE/DELETE).
struct Source {
    Table* table = nullptr;
    std::string alias;  // upper case; empty when none
    std::string name;   // table name (file name without extension), upper case
    JoinKind join = JoinKind::First;
};

struct Scope {
    std::vector<Source> sources;
    const Scope* outer = nullptr;
};

// The parameters a bound statement reads: one slot per name (case-insensitive), at a
// stable address, filled from the caller's values before each run.
class ParamSlots {
  public:
    const Value* slot(const std::string& name, int position);
    // Copies the values in; a name without a value is an error naming the parameter.
    void fill(const Params& params);

  private:
    struct Slot {
        std::string name;
        int position = 0;
        Value value;
    };
    std::deque<Slot> slots_;
};

// A table a statement names, as it was found when the statement was bound.
struct TableUse {
    std::string name;
    bool quoted = false;
    Table* table = nullptr;
    uint64_t generation = 0;
};

// What binding needs besides the statement: the database, and what it records for
// running the bound statement again.
struct Binder {
    Database& db;
    ParamSlots params;
    std::vector<TableUse> uses;
};

// Operators and aggregate functions as codes: a row's evaluation compares no names.
enum class Op : uint8_t {
    Other,
    Not,
    Plus,
    Minus,
    Times,
    Divide,
    And,
    Or,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual
};
Op operatorCode(const std::string& op);
enum class Agg : uint8_t { Count, Sum, Avg, Max, Min };
Agg aggregateCode(const std::string& function);

enum class BK {
    Const,
    Param,
    Column,
    Unary,
    Binary,
    Like,
    IsNull,
    Aggregate,
    Cast,
    Subquery,
    InList
};

struct BoundExpr {
    BK kind = BK::Const;
    int position = 0;
    Value constant;
    const Value* param = nullptr;  // Param: its slot
    int depth = 0;                 // Column: 0 = own select, 1 = the enclosing one, ...
    int source = 0;                // Column
    int field = 0;                 // Column
    std::string op;  // as written, for messages
    Op opCode = Op::Other;
    bool negated = false;
    bool distinct = false;  // Aggregate
    std::string function;   // Aggregate: SUM MAX MIN COUNT AVG
    Agg aggregate = Agg::Count;
    int slot = -1;          // Aggregate: index into the group's results
    int castWidth = 0;
    std::vector<std::unique_ptr<BoundExpr>> args;
    std::shared_ptr<CompiledSelect> subquery;
    bool correlated = false;  // Subquery refers to an enclosing select
    // Uncorrelated sub-select: computed once per statement run.
    mutable bool cached = false;
    mutable Value cachedValue;
};
using BoundPtr = std::unique_ptr<BoundExpr>;

// How one FROM source is walked for each combination of the sources before it.
struct Level {
    int indexField = -1;  // equality lookup on this field, or -1 for a scan
    // Value looked up: one side of an equality term of `match` (which stays a filter).
    const BoundExpr* indexKey = nullptr;
    // Without an equality: a date field bounded by comparison terms of `match`, walked
    // through its index from `low` to `high` (either may be missing; strict: > or <).
    int rangeField = -1;
    const BoundExpr* low = nullptr;
    const BoundExpr* high = nullptr;
    bool lowStrict = false;
    bool highStrict = false;
    std::vector<BoundPtr> match;  // decide whether a record matches (ON, and WHERE for inner)
    std::vector<BoundPtr> post;   // WHERE terms checked after a LEFT join's null extension
};

struct OrderKey {
    int output = -1;  // sort by an output column, or
    BoundPtr expr;    // by an expression of the row / group
    bool descending = false;
};

struct CompiledSelect {
    Scope scope;
    std::vector<Level> levels;              // one per source, by source number
    std::vector<int> joinOrder;             // source numbers in the order the joins are walked
    bool reordered = false;                 // joinOrder is not the written order
    std::vector<BoundPtr> constantFilters;  // WHERE terms that use no source of this select
    std::vector<BoundPtr> outputs;
    std::vector<ColumnInfo> columns;
    std::vector<bool> computed;  // column metadata is inferred from the values
    bool grouped = false;
    std::vector<BoundPtr> groupBy;
    BoundPtr having;
    std::vector<const BoundExpr*> aggregates;  // by slot
    std::vector<OrderKey> order;
    bool distinct = false;
    int maxOuterDepth = 0;  // how far out this select's columns reach (0: not correlated)
};

// Row being evaluated: current record per source (-1: the null row of a LEFT join).
struct Frame {
    const Scope* scope = nullptr;
    std::vector<int64_t> records;
    const std::vector<Value>* aggregates = nullptr;
    const Frame* outer = nullptr;
};

// Compilation (names, plan). Throws EngineError for unknown tables/columns and misuse.
std::shared_ptr<CompiledSelect> compileSelect(Binder& b, const SelectStmt& select,
                                              const Scope* outer);
BoundPtr compileExpr(Binder& b, const Expr& expr, const Scope& scope, bool allowAggregates,
                     std::vector<const BoundExpr*>* aggregates);
// Adds the WHERE terms of a single-table statement (UPDATE/DELETE) to a one-level plan.
void planSingleSource(Binder& b, CompiledSelect& plan, const Expr* where);
Source makeSource(Binder& b, const TableRef& ref);
// Before each run: forgets the values of uncorrelated sub-selects kept from the previous run
// and chooses each level's index again by the tables' present contents.
void resetSubqueries(CompiledSelect& select);
void resetSubqueries(BoundExpr& expr);

// Evaluation.
Value evaluate(const BoundExpr& expr, const Frame& frame);
bool isTrue(const Value& v);
// Runs a compiled SELECT and returns its rows (row-major, columns().size() per row).
std::vector<Value> runSelect(CompiledSelect& select, const Frame* outer);
// Runs a compiled top-level SELECT into rows for a ResultSet (plain columns are read from
// the table images when asked for).
std::shared_ptr<const RowSource> runSelectRows(CompiledSelect& select);
// Walks the join plan and calls `emit` for each matching combination of records.
void walkPlan(CompiledSelect& select, Frame& frame, const std::function<void(const Frame&)>& emit);

}  // namespace tvx::tables::sql
