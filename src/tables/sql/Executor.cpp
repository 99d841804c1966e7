// Statement execution: SELECT into a ResultSet, INSERT / UPDATE / DELETE with all values
// encoded before anything is written, and the table definition statements.
#include "tables/sql/Executor.h"

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

ResultSet runQuery(Database& db, const SelectStmt& select, const Params& params) {
    auto compiled = compileSelect(db, select, nullptr, params);
    std::shared_ptr<const RowSource> rows = runSelectRows(*compiled);
    inferColumns(compiled->columns, compiled->computed, *rows);
    return ResultSet(compiled->columns, std::move(rows));
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

long long runInsert(Database& db, const InsertStmt& ins, const Params& params) {
    Source target = makeSource(db, ins.table);
    Table& table = *target.table;
    std::vector<int> fields = targetFields(table, ins.columns);
    std::vector<std::string> records;
    auto addRow = [&](const std::vector<Value>& values, size_t offset, size_t count) {
        if (count != fields.size())
            fail("INSERT has " + std::to_string(count) + " values for " +
                     std::to_string(fields.size()) + " columns",
                 table.name());
        std::string record = table.file().blankRecord();
        for (size_t i = 0; i < count; ++i)
            encodeField(values[offset + i], table.fields()[fields[i]], record, table.name());
        records.push_back(std::move(record));
    };
    if (ins.select) {
        auto compiled = compileSelect(db, *ins.select, nullptr, params);
        std::vector<Value> cells = runSelect(*compiled, nullptr);
        size_t width = compiled->outputs.size();
        if (width != fields.size())
            fail("INSERT has " + std::to_string(width) + " values for " +
                     std::to_string(fields.size()) + " columns",
                 table.name());
        for (size_t off = 0; off < cells.size(); off += width) addRow(cells, off, width);
    } else {
        Scope empty;
        Frame frame;
        frame.scope = &empty;
        for (const auto& row : ins.rows) {
            std::vector<Value> values;
            for (const auto& e : row) {
                BoundPtr b = compileExpr(db, *e, empty, params, false, nullptr);
                values.push_back(evaluate(*b, frame));
            }
            addRow(values, 0, values.size());
        }
    }
    for (const auto& r : records) table.append(r);
    return static_cast<long long>(records.size());
}

// Records of the single target matching `where`, in file order.
std::vector<uint32_t> matchingRecords(Database& db, CompiledSelect& plan, const Expr* where,
                                      const Params& params) {
    planSingleSource(db, plan, where, params);
    std::vector<uint32_t> found;
    Frame frame;
    frame.scope = &plan.scope;
    frame.records.assign(1, -1);
    walkPlan(plan, frame,
             [&](const Frame& f) { found.push_back(static_cast<uint32_t>(f.records[0])); });
    std::sort(found.begin(), found.end());
    return found;
}

long long runUpdate(Database& db, const UpdateStmt& upd, const Params& params) {
    CompiledSelect plan;
    plan.scope.sources.push_back(makeSource(db, upd.table));
    Table& table = *plan.scope.sources[0].table;
    std::vector<std::pair<int, BoundPtr>> sets;
    for (const auto& a : upd.assignments) {
        int f = table.findField(a.column);
        if (f < 0) fail("Unknown column " + a.column, table.name(), a.position);
        sets.emplace_back(f, compileExpr(db, *a.value, plan.scope, params, false, nullptr));
    }
    std::vector<uint32_t> records = matchingRecords(db, plan, upd.where.get(), params);
    // Every new value is computed from the rows as they were before the statement.
    std::vector<std::string> newRecords;
    newRecords.reserve(records.size());
    Frame frame;
    frame.scope = &plan.scope;
    frame.records.assign(1, -1);
    for (uint32_t r : records) {
        frame.records[0] = r;
        std::string record(table.file().rawRecord(r));
        for (auto& [f, expr] : sets)
            encodeField(evaluate(*expr, frame), table.fields()[f], record, table.name());
        newRecords.push_back(std::move(record));
    }
    for (size_t i = 0; i < records.size(); ++i)
        if (newRecords[i] != table.file().rawRecord(records[i]))
            table.write(records[i], newRecords[i]);
    return static_cast<long long>(records.size());
}

long long runDelete(Database& db, const DeleteStmt& del, const Params& params) {
    CompiledSelect plan;
    plan.scope.sources.push_back(makeSource(db, del.table));
    Table& table = *plan.scope.sources[0].table;
    std::vector<uint32_t> records = matchingRecords(db, plan, del.where.get(), params);
    for (uint32_t r : records) table.remove(r);
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
    Source src = makeSource(db, at.table);
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
    return 0;
}

long long runDropIndex(Database& db, const DropIndexStmt& di) {
    Source src = makeSource(db, di.table);
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

StatementResult executeStatement(Database& db, const Statement& statement, const Params& params) {
    StatementResult result;
    std::visit(
        [&](const auto& s) {
            using T = std::decay_t<decltype(s)>;
            if constexpr (std::is_same_v<T, SelectStmt>) {
                result.isQuery = true;
                result.rows = runQuery(db, s, params);
                result.affected = static_cast<long long>(result.rows.rowCount());
            } else if constexpr (std::is_same_v<T, InsertStmt>) {
                result.affected = runInsert(db, s, params);
            } else if constexpr (std::is_same_v<T, UpdateStmt>) {
                result.affected = runUpdate(db, s, params);
            } else if constexpr (std::is_same_v<T, DeleteStmt>) {
                result.affected = runDelete(db, s, params);
            } else if constexpr (std::is_same_v<T, CreateTableStmt>) {
                result.affected = runCreate(db, s);
            } else if constexpr (std::is_same_v<T, AlterTableStmt>) {
                result.affected = runAlter(db, s);
            } else if constexpr (std::is_same_v<T, DropTableStmt>) {
                result.affected = runDropTable(db, s);
            } else if constexpr (std::is_same_v<T, DropIndexStmt>) {
                result.affected = runDropIndex(db, s);
            } else {
                fail("Transaction statements are run by the Database");
            }
        },
        statement);
    return result;
}

}  // namespace tvx::tables::sql
