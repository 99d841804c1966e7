// SQLite behind the benchmark interface, and the loader that copies a data directory's
// tables into a SQLite file. Columns keep the layouts' declared types (CHAR -> text
// affinity, DECIMAL and DATE -> numeric affinity); dates are stored as ISO text so that
// they compare and sort as dates; decimals are bound as text and stored by SQLite as
// numbers; text is stored without the trailing blanks the engine drops too.
#include <sqlite3.h>

#include <cstring>
#include <stdexcept>

#include "Backend.h"
#include "tables/FieldCodec.h"
#include "tables/dbf/DbfFile.h"

namespace tvx::bench {

namespace {

[[noreturn]] void fail(sqlite3* db, const std::string& what) {
    throw std::runtime_error("SQLite: " + what + ": " + sqlite3_errmsg(db));
}

std::string isoDate(tables::Date d) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year(), d.month(), d.day());
    return text;
}

void bindValue(sqlite3* db, sqlite3_stmt* st, int i, const tables::Value& v) {
    int rc = SQLITE_OK;
    switch (v.type()) {
        case tables::ValueType::Null:
            rc = sqlite3_bind_null(st, i);
            break;
        case tables::ValueType::Text:
            rc = sqlite3_bind_text(st, i, v.text().data(), static_cast<int>(v.text().size()),
                                   SQLITE_TRANSIENT);
            break;
        case tables::ValueType::Number:
            if (v.number().scale() == 0) {
                rc = sqlite3_bind_int64(st, i, v.number().toLongLong());
            } else {
                const std::string text = v.number().toString();
                rc = sqlite3_bind_text(st, i, text.data(), static_cast<int>(text.size()),
                                       SQLITE_TRANSIENT);
            }
            break;
        case tables::ValueType::Date: {
            const std::string text = isoDate(v.date());
            rc = sqlite3_bind_text(st, i, text.data(), static_cast<int>(text.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
        case tables::ValueType::Logical:
            rc = sqlite3_bind_int(st, i, v.logical() ? 1 : 0);
            break;
    }
    if (rc != SQLITE_OK) fail(db, "bind");
}

void exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "?";
        sqlite3_free(error);
        throw std::runtime_error("SQLite: " + message + " in " + sql);
    }
}

sqlite3* openFile(const std::filesystem::path& file, int flags) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        std::string message = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw std::runtime_error("SQLite: cannot open " + file.string() + ": " + message);
    }
    return db;
}

std::string columnList(const core::TableLayout& layout) {
    std::string cols;
    for (const auto& f : layout.fields) {
        if (!cols.empty()) cols += ", ";
        cols += f.name + " " + core::columnType(f);
    }
    return cols;
}

class SqliteBackend : public Backend {
  public:
    explicit SqliteBackend(const std::filesystem::path& file)
        : db_(openFile(file, SQLITE_OPEN_READWRITE)) {
        exec(db_, "PRAGMA synchronous=FULL");
        exec(db_, "PRAGMA journal_mode=DELETE");
    }
    ~SqliteBackend() override {
        for (auto& [sql, st] : statements_) sqlite3_finalize(st);
        sqlite3_close(db_);
    }

    std::string name() const override { return "sqlite"; }
    bool transactional() const override { return true; }
    void begin() override { execute("BEGIN", {}); }
    void commit() override { execute("COMMIT", {}); }

    long long execute(const std::string& sql, const Params& params) override {
        sqlite3_stmt* st = prepare(sql, params);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) fail(db_, "step of " + sql);
        return sqlite3_changes(db_);
    }

    ReadTotals query(const std::string& sql, const Params& params) override {
        sqlite3_stmt* st = prepare(sql, params);
        ReadTotals t;
        const int columns = sqlite3_column_count(st);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                switch (sqlite3_column_type(st, c)) {
                    case SQLITE_NULL:
                        continue;
                    case SQLITE_INTEGER:
                        t.checksum += static_cast<uint64_t>(sqlite3_column_int64(st, c));
                        break;
                    case SQLITE_FLOAT: {
                        const double d = sqlite3_column_double(st, c);
                        uint64_t bits;
                        std::memcpy(&bits, &d, sizeof bits);
                        t.checksum ^= bits;
                        break;
                    }
                    default:
                        t.checksum += static_cast<uint64_t>(sqlite3_column_bytes(st, c));
                        t.checksum += sqlite3_column_text(st, c)[0];
                        break;
                }
                ++t.cells;
            }
            ++t.rows;
        }
        if (rc != SQLITE_DONE) fail(db_, "step of " + sql);
        return t;
    }

    void createWorkTable(const core::TableLayout& layout) override {
        exec(db_, "DROP TABLE IF EXISTS temp." + layout.name);
        exec(db_, "CREATE TEMP TABLE " + layout.name + " (" + columnList(layout) + ")");
        forgetStatements();
    }
    void dropWorkTable(const core::TableLayout& layout) override {
        forgetStatements();
        exec(db_, "DROP TABLE temp." + layout.name);
    }

  protected:
    std::string tableRef(const std::string& table) const override { return table; }

  private:
    sqlite3_stmt* prepare(const std::string& sqlTemplate, const Params& params) {
        const std::string& sql = expand(sqlTemplate);
        auto it = statements_.find(sql);
        sqlite3_stmt* st = nullptr;
        if (it == statements_.end()) {
            if (sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()),
                                   SQLITE_PREPARE_PERSISTENT, &st, nullptr) != SQLITE_OK)
                fail(db_, "prepare of " + sql);
            statements_.emplace(sql, st);
        } else {
            st = it->second;
            sqlite3_reset(st);
        }
        const int count = sqlite3_bind_parameter_count(st);
        for (int i = 1; i <= count; ++i) {
            const char* name = sqlite3_bind_parameter_name(st, i);
            auto p = name ? params.find(name + 1) : params.end();
            if (p == params.end())
                throw std::runtime_error("Missing value for parameter " +
                                         std::string(name ? name : "?") + " in " + sql);
            bindValue(db_, st, i, p->second);
        }
        return st;
    }
    // Statements over a table that is dropped or created must be prepared again.
    void forgetStatements() {
        for (auto& [sql, st] : statements_) sqlite3_finalize(st);
        statements_.clear();
    }

    sqlite3* db_;
    std::unordered_map<std::string, sqlite3_stmt*> statements_;
};

}  // namespace

std::unique_ptr<Backend> openSqlite(const std::filesystem::path& file) {
    return std::make_unique<SqliteBackend>(file);
}

const std::vector<std::string>& sqliteIndexes() {
    static const std::vector<std::string> indexes = {
        "CREATE INDEX Conturi_IDCONT ON Conturi(IDCONT)",
        "CREATE INDEX FactIn_IDFACT ON FactIn(IDFACT)",
        "CREATE INDEX ChitIn_IDCHIT ON ChitIn(IDCHIT)",
        "CREATE INDEX ChitIn_IDFACT ON ChitIn(IDFACT)",
        "CREATE INDEX CapNIR_IDNIR ON CapNIR(IDNIR)",
        "CREATE INDEX CapNIR_IDFACT ON CapNIR(IDFACT)",
        "CREATE INDEX ProdNIR_IDPROD ON ProdNIR(IDPROD)",
        "CREATE INDEX ProdNIR_IDNIR ON ProdNIR(IDNIR)",
        "CREATE INDEX ProdNIR_IDCAP ON ProdNIR(IDCAP)",
        "CREATE INDEX ProdNIR_IDFISA ON ProdNIR(IDFISA)",
        "CREATE INDEX CapFise_IDCAP ON CapFise(IDCAP)",
        "CREATE INDEX CapFise_Lot ON CapFise(GESTIUNE, PRODUS, UM, PRETIN, PRETOUT)",
        "CREATE INDEX Fise_IDFISA ON Fise(IDFISA)",
        "CREATE INDEX Fise_IDCAP ON Fise(IDCAP)",
        "CREATE INDEX FactOut_IDFACTO ON FactOut(IDFACTO)",
        "CREATE INDEX ProdOut_IDFACTO ON ProdOut(IDFACTO)",
        "CREATE INDEX ProdOut_IDCAP ON ProdOut(IDCAP)",
        "CREATE INDEX ProdOut_IDFISA ON ProdOut(IDFISA)",
        "CREATE INDEX Catalog_IDCAT ON Catalog(IDCAT)",
        "CREATE INDEX ChitOut_IDCHIT ON ChitOut(IDCHIT)",
        "CREATE INDEX ChitOut_IDFACTO ON ChitOut(IDFACTO)",
        "CREATE INDEX Comenzi_IDFACTO ON Comenzi(IDFACTO)",
        "CREATE INDEX Timp_IDTIMP ON Timp(IDTIMP)",
        "CREATE INDEX Precom_IDCOM ON Precom(IDCOM)",
    };
    return indexes;
}

long long loadSqlite(const std::filesystem::path& dataDir, const std::filesystem::path& file,
                     bool indexes) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
    sqlite3* db = openFile(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    long long total = 0;
    try {
        exec(db, "PRAGMA synchronous=OFF");
        for (const auto& layout : core::permanentTables()) {
            exec(db, "CREATE TABLE " + layout.name + " (" + columnList(layout) + ")");
            auto dbf = tables::dbf::DbfFile::open(dataDir / (layout.name + ".dbf"));
            std::string sql = "INSERT INTO " + layout.name + " VALUES (";
            for (size_t i = 0; i < layout.fields.size(); ++i) sql += i ? ", ?" : "?";
            sql += ")";
            sqlite3_stmt* st = nullptr;
            if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
                fail(db, "prepare of " + sql);
            exec(db, "BEGIN");
            const auto& fields = dbf->fields();
            for (uint32_t r = 0; r < dbf->recordCount(); ++r) {
                if (dbf->isDeleted(r)) continue;
                for (size_t f = 0; f < fields.size(); ++f) {
                    bindValue(
                        db, st, static_cast<int>(f) + 1,
                        tables::decodeField(dbf->rawField(r, static_cast<int>(f)), fields[f]));
                }
                if (sqlite3_step(st) != SQLITE_DONE) fail(db, "insert into " + layout.name);
                sqlite3_reset(st);
                ++total;
            }
            exec(db, "COMMIT");
            sqlite3_finalize(st);
        }
        if (indexes)
            for (const auto& s : sqliteIndexes()) exec(db, s);
        exec(db, "PRAGMA synchronous=FULL");
    } catch (...) {
        sqlite3_close(db);
        std::filesystem::remove(file, ec);
        throw;
    }
    sqlite3_close(db);
    return total;
}

}  // namespace tvx::bench
