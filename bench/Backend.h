// The two databases under test behind one small interface: statements written once, with
// table names as {Name} placeholders, run either on the table engine (each table named by
// its quoted file path, as the program does) or on SQLite (prepared once, then reused).
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>

#include "core/common/TableLayouts.h"
#include "tables/Database.h"

namespace tvx::bench {

using tables::Params;

// What a query handed back: every field of every row was read.
struct ReadTotals {
    long long rows = 0;
    long long cells = 0;    // non-NULL fields read
    uint64_t checksum = 0;  // folds every value read, so nothing can be skipped
};

class Backend {
  public:
    virtual ~Backend() = default;
    virtual std::string name() const = 0;
    // One transaction; durable at commit when the backend supports transactions.
    virtual void begin() = 0;
    virtual void commit() = 0;
    // Whether begin/commit give real, durable transactions.
    virtual bool transactional() const = 0;
    virtual long long execute(const std::string& sql, const Params& params = {}) = 0;
    virtual ReadTotals query(const std::string& sql, const Params& params = {}) = 0;
    // Work tables of the program folder (engine) or temporary tables (SQLite).
    virtual void createWorkTable(const core::TableLayout& layout) = 0;
    virtual void dropWorkTable(const core::TableLayout& layout) = 0;

  protected:
    // `sql` with every {Name} replaced by `tableRef(Name)`, cached per statement text.
    const std::string& expand(const std::string& sql);
    virtual std::string tableRef(const std::string& table) const = 0;

  private:
    std::unordered_map<std::string, std::string> expanded_;
};

// The table engine on `dataDir`; work tables go to `programDir`.
std::unique_ptr<Backend> openEngine(const std::filesystem::path& dataDir,
                                    const std::filesystem::path& programDir);
// SQLite on `file`: synchronous=FULL, rollback journal (the defaults otherwise).
std::unique_ptr<Backend> openSqlite(const std::filesystem::path& file);

// Copies every permanent table of `dataDir` into a new SQLite file with the same columns
// and rows; with `indexes`, adds the indexes on identifier and join columns listed in
// sqliteIndexes(). Returns the number of rows copied.
long long loadSqlite(const std::filesystem::path& dataDir, const std::filesystem::path& file,
                     bool indexes);
// The CREATE INDEX statements of the indexed SQLite variant.
const std::vector<std::string>& sqliteIndexes();

}  // namespace tvx::bench
