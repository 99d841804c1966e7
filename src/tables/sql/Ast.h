// Syntax tree of the local SQL dialect (tables/ layer). The parser builds it; the
// executor binds names and evaluates it. Positions are 1-based character offsets into
// the statement text, used in error messages.
#pragma once

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "tables/Value.h"

namespace tvx::tables::sql {

struct SelectStmt;

enum class ExprKind {
    Literal,    // value
    Param,      // name (without ':')
    Column,     // qualifier (alias or table name, may be empty) + name
    Unary,      // op: "-", "NOT"; args[0]
    Binary,     // op: "+", "-", "*", "/", "=", "<>", "<", ">", "<=", ">=", "AND", "OR"; args[0..1]
    Like,       // args[0] LIKE args[1]; negated for NOT LIKE
    IsNull,     // args[0] IS NULL; negated for IS NOT NULL
    Aggregate,  // name: "SUM", "MAX", "MIN", "COUNT", "AVG"; args[0] absent for COUNT(*); distinct
    Cast,       // CAST(args[0] AS CHAR(castWidth))
    Subquery,   // (SELECT ...) as a value
    InList,     // args[0] IN (args[1..]); negated for NOT IN
};

struct Expr {
    ExprKind kind = ExprKind::Literal;
    int position = 0;
    Value literal;          // Literal
    std::string name;       // Param, Column (field name), Aggregate (function name)
    std::string qualifier;  // Column: table alias or name, empty when unqualified
    std::string op;         // Unary, Binary (upper case for words)
    bool negated = false;   // Like, IsNull, InList
    bool distinct = false;  // Aggregate
    int castWidth = 0;      // Cast
    std::vector<std::unique_ptr<Expr>> args;
    std::shared_ptr<SelectStmt> subquery;  // Subquery
};
using ExprPtr = std::unique_ptr<Expr>;

enum class JoinKind { First, Comma, Inner, Left };

struct TableRef {
    std::string name;     // path as written (quoted path without quotes, or bare name)
    bool quoted = false;  // true when written as a quoted path
    std::string alias;    // empty when none
    JoinKind join = JoinKind::First;
    ExprPtr on;  // Inner and Left joins
    int position = 0;
};

struct SelectItem {
    ExprPtr expr;  // null for * and T.*
    bool star = false;
    std::string starQualifier;  // "T" for T.*, empty for *
    std::string alias;          // AS name, empty when none
};

struct OrderItem {
    ExprPtr expr;  // a column, an alias (Column without qualifier), or a position (Literal)
    bool descending = false;
};

struct SelectStmt {
    bool distinct = false;
    std::vector<SelectItem> items;
    std::vector<TableRef> from;
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
    std::vector<OrderItem> orderBy;
};

struct InsertStmt {
    TableRef table;
    std::vector<std::string> columns;        // empty: all fields in order
    std::vector<std::vector<ExprPtr>> rows;  // VALUES (...), (...)
    std::shared_ptr<SelectStmt> select;      // INSERT ... SELECT
};

struct Assignment {
    std::string column;
    ExprPtr value;
    int position = 0;
};

struct UpdateStmt {
    TableRef table;
    std::vector<Assignment> assignments;
    ExprPtr where;
};

struct DeleteStmt {
    TableRef table;
    ExprPtr where;
};

enum class ColumnType { Char, Decimal, Date };

struct ColumnDef {
    std::string name;
    ColumnType type = ColumnType::Char;
    int width = 0;     // CHAR(n): n; DECIMAL(p,s): p; DATE: 8
    int decimals = 0;  // DECIMAL(p,s): s
    int position = 0;
};

struct CreateTableStmt {
    TableRef table;
    std::vector<ColumnDef> columns;
};

struct AlterAction {
    bool add = true;  // ADD column (definition) or DROP column (name only)
    ColumnDef column;
};

struct AlterTableStmt {
    TableRef table;
    std::vector<AlterAction> actions;
};

struct DropTableStmt {
    TableRef table;
};

struct DropIndexStmt {
    TableRef table;         // the table whose production index is dropped
    std::string indexName;  // e.g. COD
};

enum class TransactionAction { Begin, Commit, Rollback };
struct TransactionStmt {
    TransactionAction action = TransactionAction::Begin;
};

using Statement = std::variant<SelectStmt, InsertStmt, UpdateStmt, DeleteStmt, CreateTableStmt,
                               AlterTableStmt, DropTableStmt, DropIndexStmt, TransactionStmt>;

}  // namespace tvx::tables::sql
