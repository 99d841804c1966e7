// Statement execution: SELECT into a ResultSet, INSERT / UPDATE / DELETE with all values
// encoded before anything is written, and the table definition statements.
#include "tables/sql/Executor.h"

#include "tables/IndexFile.h"

#include <algorithm>
#include <set>

#include "tables/EngineError.h"
#include "tables/sql/Bound.h"

namespace tvx::tables::sql {

namespace {

[[noreturn]] void fail(const std::string& message, const std::string& table = "",
                       int position = 0) {
    throw EngineError(message, table, position);
}

// Fills in the metadata of computed columns from the values they produced.
void inferColumns(std::vector<ColumnInfo>& columns, const std::vector<bool>& computed,
                  const RowSource& rows) {
    for (size_t c = 0; c < columns.size(); ++c) {
        if (!computed[c]) continue;
        ColumnInfo& info = columns[c];
        bool typed = false;
        for (size_t r = 0; r < rows.rowCount(); ++r) {
            Value v = rows.cell(r, static_cast<int>(c));
            if (v.isNull()) continue;
            if (!typed) {
                info.type = v.isNumber() ? 'N' : v.isDate() ? 'D' : v.isLogical() ? 'L' : 'C';
                typed = true;
            }
            if (v.isNumber()) info.decimals = std::max(info.decimals, v.number().scale());
            info.width = std::max(info.width, static_cast<int>(v.toString().size()));
        }
    }
}

// Field positions named by an INSERT column list (all fields when the list is empty).
std::vector<int> targetFields(Table& table, const std::vector<std::string>& columns) {
    std::vector<int> fields;
    if (columns.empty()) {
        for (size_t i = 0; i < table.fields().size(); ++i) fields.push_back(static_cast<int>(i));
        return fields;
    }
    for (const auto& c : columns) {
        int f = table.findField(c);
        if (f < 0) fail("Unknown column " + c, table.name());
        if (std::find(fields.begin(), fields.end(), f) != fields.end())
            fail("Column " + c + " named twice", table.name());
        fields.push_back(f);
    }
    return fields;
}

}  // namespace

// A SELECT, INSERT, UPDATE or DELETE bound to its tables, with its parameters in slots.
struct Prepared {
    explicit Prepared(Database& db) : binder{db, {}, {}} {}
    Binder binder;
    std::shared_ptr<CompiledSelect> select;  // SELECT, INSERT ... SELECT
    CompiledSelect single;                   // UPDATE / DELETE: the target and its WHERE plan
    Table* target = nullptr;                 // INSERT / UPDATE / DELETE
    std::vector<int> fields;                 // INSERT: target fields
    Scope noSources;                         // INSERT ... VALUES
    std::vector<std::vector<BoundPtr>> rows;
    std::vector<std::pair<int, BoundPtr>> sets;  // UPDATE
};

void PreparedDeleter::operator()(Prepared* p) const {
    delete p;
}

namespace {

void bindQuery(Prepared& p, const SelectStmt& select) {
    p.select = compileSelect(p.binder, select, nullptr);
}

ResultSet runQuery(Prepared& p) {
    CompiledSelect& compiled = *p.select;
    resetSubqueries(compiled);
    std::shared_ptr<const RowSource> rows = runSelectRows(compiled);
    std::vector<ColumnInfo> columns = compiled.columns;
    inferColumns(columns, compiled.computed, *rows);
    return ResultSet(std::move(columns), std::move(rows));
}

void bindInsert(Prepared& p, const InsertStmt& ins) {
    Source target = makeSource(p.binder, ins.table);
    p.target = target.table;
    p.fields = targetFields(*p.target, ins.columns);
    if (ins.select) {
        p.select = compileSelect(p.binder, *ins.select, nullptr);
        size_t width = p.select->outputs.size();
        if (width != p.fields.size())
            fail("INSERT has " + std::to_string(width) + " values for " +
                     std::to_string(p.fields.size()) + " columns",
                 p.target->name());
        return;
    }
    for (const auto& row : ins.rows) {
        if (row.size() != p.fields.size())
            fail("INSERT has " + std::to_string(row.size()) + " values for " +
                     std::to_string(p.fields.size()) + " columns",
                 p.target->name());
        std::vector<BoundPtr> values;
        for (const auto& e : row)
            values.push_back(compileExpr(p.binder, *e, p.noSources, false, nullptr));
        p.rows.push_back(std::move(values));
    }
}

long long runInsert(Prepared& p) {
    Table& table = *p.target;
    std::vector<std::string> records;
    auto addRow = [&](const std::vector<Value>& values, size_t offset) {
        std::string record = table.file().blankRecord();
        for (size_t i = 0; i < p.fields.size(); ++i)
            encodeField(values[offset + i], table.fields()[p.fields[i]], record, table.name());
        records.push_back(std::move(record));
    };
    if (p.select) {
        resetSubqueries(*p.select);
        std::vector<Value> cells = runSelect(*p.select, nullptr);
        size_t width = p.select->outputs.size();
        for (size_t off = 0; off < cells.size(); off += width) addRow(cells, off);
    } else {
        Frame frame;
        frame.scope = &p.noSources;
        for (const auto& row : p.rows)
            for (const auto& b : row) resetSubqueries(*b);
        std::vector<Value> values;
        for (const auto& row : p.rows) {
            values.clear();
            for (const auto& b : row) values.push_back(evaluate(*b, frame));
            addRow(values, 0);
        }
    }
    for (const auto& r : records) table.append(r);
    return static_cast<long long>(records.size());
}

// Records of the single target matching its WHERE plan, in file order.
std::vector<uint32_t> matchingRecords(CompiledSelect& plan) {
    resetSubqueries(plan);
    std::vector<uint32_t> found;
    Frame frame;
    frame.scope = &plan.scope;
    frame.records.assign(1, -1);
    walkPlan(plan, frame,
             [&](const Frame& f) { found.push_back(static_cast<uint32_t>(f.records[0])); });
    std::sort(found.begin(), found.end());
    return found;
}

void bindUpdate(Prepared& p, const UpdateStmt& upd) {
    p.single.scope.sources.push_back(makeSource(p.binder, upd.table));
    p.target = p.single.scope.sources[0].table;
    for (const auto& a : upd.assignments) {
        int f = p.target->findField(a.column);
        if (f < 0) fail("Unknown column " + a.column, p.target->name(), a.position);
        p.sets.emplace_back(f, compileExpr(p.binder, *a.value, p.single.scope, false, nullptr));
    }
    planSingleSource(p.binder, p.single, upd.where.get());
}

long long runUpdate(Prepared& p) {
    Table& table = *p.target;
    for (auto& set : p.sets) resetSubqueries(*set.second);
    std::vector<uint32_t> records = matchingRecords(p.single);
    // Every new value is computed from the rows as they were before the statement.
    std::vector<std::string> newRecords;
    newRecords.reserve(records.size());
    Frame frame;
    frame.scope = &p.single.scope;
    frame.records.assign(1, -1);
    for (uint32_t r : records) {
        frame.records[0] = r;
        std::string record(table.file().rawRecord(r));
        for (auto& [f, expr] : p.sets)
            encodeField(evaluate(*expr, frame), table.fields()[f], record, table.name());
        newRecords.push_back(std::move(record));
    }
    for (size_t i = 0; i < records.size(); ++i)
        if (newRecords[i] != table.file().rawRecord(records[i]))
            table.write(records[i], newRecords[i]);
    return static_cast<long long>(records.size());
}

void bindDelete(Prepared& p, const DeleteStmt& del) {
    p.single.scope.sources.push_back(makeSource(p.binder, del.table));
    p.target = p.single.scope.sources[0].table;
    planSingleSource(p.binder, p.single, del.where.get());
}

long long runDelete(Prepared& p) {
    std::vector<uint32_t> records = matchingRecords(p.single);
    for (uint32_t r : records) p.target->remove(r);
    return static_cast<long long>(records.size());
}

dbf::FieldDescriptor descriptorOf(const ColumnDef& c) {
    dbf::FieldDescriptor f;
    f.name = toUpperAscii(c.name);
    switch (c.type) {
        case ColumnType::Char:
            f.type = 'C';
            f.width = c.width;
            break;
        case ColumnType::Decimal:
            f.type = 'N';
            f.width = c.width;
            f.decimals = c.decimals;
            break;
        case ColumnType::Date:
            f.type = 'D';
            f.width = 8;
            break;
    }
    return f;
}

void checkFieldName(const std::string& name, const std::string& table, int position) {
    if (name.size() > 10)
        fail("Column name " + name + " is longer than 10 characters", table, position);
}

long long runCreate(Database& db, const CreateTableStmt& ct) {
    auto file = db.resolveTable(ct.table.name, ct.table.quoted);
    if (db.tableExists(file)) fail("Table already exists: " + file.string());
    std::vector<dbf::FieldDescriptor> fields;
    std::set<std::string> names;
    for (const auto& c : ct.columns) {
        auto f = descriptorOf(c);
        checkFieldName(f.name, file.stem().string(), c.position);
        if (!names.insert(f.name).second)
            fail("Duplicate column " + f.name, file.stem().string(), c.position);
        fields.push_back(f);
    }
    db.forget(file);
    db.protectTableFile(file);
    dbf::DbfFile::create(file, std::move(fields));
    return 0;
}

long long runAlter(Database& db, const AlterTableStmt& at) {
    Binder binder{db, {}, {}};
    Source src = makeSource(binder, at.table);
    Table& table = *src.table;
    std::vector<dbf::FieldDescriptor> fields = table.fields();
    std::vector<int> sourceOf;  // old field index per new field, -1 for new ones
    for (size_t i = 0; i < fields.size(); ++i) sourceOf.push_back(static_cast<int>(i));
    for (const auto& action : at.actions) {
        std::string name = toUpperAscii(action.column.name);
        auto it = std::find_if(fields.begin(), fields.end(), [&](const dbf::FieldDescriptor& f) {
            return equalsIgnoreCase(f.name, name);
        });
        if (action.add) {
            if (it != fields.end())
                fail("Column " + name + " already exists", table.name(), action.column.position);
            checkFieldName(name, table.name(), action.column.position);
            fields.push_back(descriptorOf(action.column));
            sourceOf.push_back(-1);
        } else {
            if (it == fields.end())
                fail("Unknown column " + name, table.name(), action.column.position);
            size_t idx = static_cast<size_t>(it - fields.begin());
            fields.erase(it);
            sourceOf.erase(sourceOf.begin() + static_cast<long>(idx));
        }
    }
    if (fields.empty()) fail("A table needs at least one column", table.name());
    std::vector<dbf::FieldDescriptor> laid = fields;
    const size_t recordLength = static_cast<size_t>(dbf::DbfFile::layoutFields(laid));
    const auto oldFields = table.fields();
    table.file().rewriteLayout(laid, [&](std::string_view old) {
        std::string record(recordLength, ' ');
        record[0] = old[0];
        for (size_t i = 0; i < laid.size(); ++i) {
            if (sourceOf[i] < 0) continue;
            const auto& of = oldFields[static_cast<size_t>(sourceOf[i])];
            record.replace(
                static_cast<size_t>(laid[i].offset), static_cast<size_t>(laid[i].width),
                old.substr(static_cast<size_t>(of.offset), static_cast<size_t>(of.width)));
        }
        return record;
    });
    table.dropIndexes();
    return 0;
}

long long runDropTable(Database& db, const DropTableStmt& dt) {
    auto file = db.resolveTable(dt.table.name, dt.table.quoted);
    if (!db.tableExists(file)) fail("Table not found: " + file.string());
    db.forget(file);
    db.protectTableFile(file);
    std::error_code ec;
    if (!std::filesystem::remove(file, ec) || ec)
        fail("Cannot delete table file " + file.string() + ": " + ec.message());
    RemoveIndexFile(file);
    return 0;
}

long long runDropIndex(Database& db, const DropIndexStmt& di) {
    Binder binder{db, {}, {}};
    Source src = makeSource(binder, di.table);
    Table& table = *src.table;
    auto file = table.file().path();
    auto mdx = file;
    mdx.replace_extension(".mdx");
    // The index file may be named in another case.
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(file.parent_path(), ec)) {
        if (equalsIgnoreCase(entry.path().filename().string(), mdx.filename().string())) {
            db.protectTableFile(entry.path());
            std::filesystem::remove(entry.path(), ec);
            if (ec) fail("Cannot delete index file " + entry.path().string() + ": " + ec.message());
        }
    }
    if (table.file().header().productionIndex) table.file().clearProductionIndexFlag();
    return 0;
}

}  // namespace

namespace {

// Whether a statement bound earlier still fits its tables: each name still leads to the
// same table, which was neither read again nor rewritten since.
bool stillBound(Database& db, const Prepared& p) {
    for (const TableUse& use : p.binder.uses) {
        Table* t = db.openTable(use.name, use.quoted);
        if (t != use.table || t->generation() != use.generation) return false;
    }
    return true;
}

std::unique_ptr<Prepared, PreparedDeleter> bind(Database& db, const Statement& statement) {
    std::unique_ptr<Prepared, PreparedDeleter> p(new Prepared(db));
    std::visit(
        [&](const auto& s) {
            using T = std::decay_t<decltype(s)>;
            if constexpr (std::is_same_v<T, SelectStmt>) {
                bindQuery(*p, s);
            } else if constexpr (std::is_same_v<T, InsertStmt>) {
                bindInsert(*p, s);
            } else if constexpr (std::is_same_v<T, UpdateStmt>) {
                bindUpdate(*p, s);
            } else if constexpr (std::is_same_v<T, DeleteStmt>) {
                bindDelete(*p, s);
            }
        },
        statement);
    return p;
}

bool bindable(const Statement& statement) {
    return std::holds_alternative<SelectStmt>(statement) ||
           std::holds_alternative<InsertStmt>(statement) ||
           std::holds_alternative<UpdateStmt>(statement) ||
           std::holds_alternative<DeleteStmt>(statement);
}

}  // namespace

StatementResult executeStatement(Database& db, const Statement& statement, const Params& params,
                                 PreparedPtr* kept) {
    StatementResult result;
    if (bindable(statement)) {
        PreparedPtr fresh;
        PreparedPtr* slot = kept ? kept : &fresh;
        if (!*slot || !stillBound(db, **slot)) {
            slot->reset();
            *slot = bind(db, statement);
        }
        Prepared& p = **slot;
        p.binder.params.fill(params);
        if (std::holds_alternative<SelectStmt>(statement)) {
            result.isQuery = true;
            result.rows = runQuery(p);
            result.affected = static_cast<long long>(result.rows.rowCount());
        } else if (std::holds_alternative<InsertStmt>(statement)) {
            result.affected = runInsert(p);
        } else if (std::holds_alternative<UpdateStmt>(statement)) {
            result.affected = runUpdate(p);
        } else {
            result.affected = runDelete(p);
        }
        return result;
    }
    std::visit(
        [&](const auto& s) {
            using T = std::decay_t<decltype(s)>;
            if constexpr (std::is_same_v<T, CreateTableStmt>) {
                result.affected = runCreate(db, s);
            } else if constexpr (std::is_same_v<T, AlterTableStmt>) {
                result.affected = runAlter(db, s);
            } else if constexpr (std::is_same_v<T, DropTableStmt>) {
                result.affected = runDropTable(db, s);
            } else if constexpr (std::is_same_v<T, DropIndexStmt>) {
                result.affected = runDropIndex(db, s);
            } else if constexpr (std::is_same_v<T, TransactionStmt>) {
                fail("Transaction statements are run by the Database");
            }
        },
        statement);
    return result;
}

}  // namespace tvx::tables::sql
