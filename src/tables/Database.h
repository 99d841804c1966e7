// The table engine's entry point (tables/ layer): a data directory of dBase tables, the
// local SQL dialect over them, table editing, packing and field-layout changes.
// A table's records are read from its file as statements need them and kept in memory, in
// step with every write; its indexes come from the index file beside it when that is current
// (see IndexFile.h), and are written there again when the Database closes; a file changed by
// someone else is read again. Every failure is an EngineError with the engine's message.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/ResultSet.h"
#include "tables/Value.h"

namespace tvx::tables {

class Journal;
class StatementCache;
namespace platform {
class FileLock;
}
class Table;
class TableEditor;

// Bound parameters by name (without ':'), case-insensitive.
struct ParamLess {
    bool operator()(const std::string& a, const std::string& b) const;
};
using Params = std::map<std::string, Value, ParamLess>;

// What ran: a SELECT gives rows, any other statement the number of rows it affected.
struct StatementResult {
    bool isQuery = false;
    ResultSet rows;
    long long affected = 0;
};

struct FieldLayout {
    std::string name;
    char type = 'C';
    int width = 0;
    int decimals = 0;
};

// Files the engine keeps beside the tables of a data directory: the transaction log (and the
// logs it set aside, "Tvx.jnl.old-N") and the lock that gives the directory to one process.
inline constexpr const char* kJournalFileName = "Tvx.jnl";
inline constexpr const char* kLockFileName = "Tvx.lck";

class Database {
  public:
    // `dataDir`: where bare table names are found; `programDir`: the program folder
    // (work tables). Neither is created here. An existing data directory is taken for this
    // Database alone (an exclusive lock on its file "Tvx.lck", dropped when the Database
    // goes away or the process dies; an EngineError naming the directory, and the holder's
    // process when known, when another has it), then the files left by a killed process
    // are dealt with: a table rewrite's "*.dbf.tmp" files are removed from both folders and
    // the journal is played. A directory that appears later is taken at the first begin().
    explicit Database(std::filesystem::path dataDir, std::filesystem::path programDir = {});
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::filesystem::path& dataDir() const { return dataDir_; }
    const std::filesystem::path& programDir() const { return programDir_; }
    // What the opening found and the user should hear of (a journal that was set aside).
    const std::vector<std::string>& notices() const { return notices_; }

    // Runs one statement of any kind.
    StatementResult run(std::string_view sql, const Params& params = {});
    // Runs a statement that is not a SELECT; returns the rows affected.
    long long execute(std::string_view sql, const Params& params = {});
    // Runs a SELECT.
    ResultSet query(std::string_view sql, const Params& params = {});

    // The file a table name stands for: a quoted path (relative paths are taken from the
    // data directory) or a bare name in the data directory; file names match ignoring case.
    std::filesystem::path resolveTable(std::string_view name, bool quoted) const;
    bool tableExists(const std::filesystem::path& file) const;

    // Opens a table file for row editing (exclusive within this Database).
    std::unique_ptr<TableEditor> edit(const std::filesystem::path& file);
    // Rewrites a table file without its deleted rows.
    void pack(const std::filesystem::path& file);
    // Field layout by name; nullopt when the table has no such field.
    std::optional<FieldLayout> readFieldLayout(const std::filesystem::path& file,
                                               std::string_view field);
    // Changes one field's name, width and decimals (type kept or changed between C and N),
    // keeping the data; a value that no longer fits is an error and nothing changes.
    void changeFieldLayout(const std::filesystem::path& file, std::string_view field,
                           const FieldLayout& layout);

    // Transactions. Every change made between begin() and commit() -- rows, CREATE,
    // ALTER, DROP, pack, layout changes, and the small files given to protectFile() -- is
    // kept or undone as a whole, also when the process dies: the journal in the data
    // directory is rolled back the next time the directory is opened. Outside a
    // transaction each statement is one. begin() inside a transaction is an error.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const;
    // Carries a whole small file (the settings file) in the open transaction: call it
    // before the file is changed; a rollback puts the old content (or absence) back.
    void protectFile(const std::filesystem::path& file);
    // A table file is about to be created, replaced or deleted as a whole, inside the
    // open transaction (the engine's own statements call this).
    void protectTableFile(const std::filesystem::path& file);
    // Whether commits wait for the disk (fsync); on by default.
    void setDurable(bool durable);
    // Brings every committed change to the table files and empties the journal, so the
    // folder holds the whole truth (a backup copies it then). An error inside a transaction.
    void checkpoint();

    // Cached table for a file (read on first use or when changed on disk). Internal to
    // the engine; exposed for the executor and the editor.
    Table& table(const std::filesystem::path& file);
    // The table a statement names, or nullptr when its file does not exist. Within one
    // statement, and within one transaction, a name is looked up on disk only once.
    Table* openTable(std::string_view name, bool quoted);
    // Forgets a cached table (after the file was removed or replaced).
    void forget(const std::filesystem::path& file);

    // Runs `work` as one transaction unless one is already open.
    template <typename F>
    auto atomically(F&& work) -> decltype(work()) {
        if (inTransaction()) return work();
        begin();
        try {
            if constexpr (std::is_void_v<decltype(work())>) {
                work();
                commit();
            } else {
                auto result = work();
                commit();
                return result;
            }
        } catch (...) {
            if (inTransaction()) rollback();  // a failed commit has rolled back already
            throw;
        }
    }

  private:
    friend class TableEditor;
    // As above; `exact` tells whether the file found is the one named, case included.
    std::filesystem::path resolveTable(std::string_view name, bool quoted, bool& exact) const;
    // Locks the data directory, removes leftovers and plays the journal; false when the
    // directory does not exist (yet).
    bool claim();
    // Declared first: released last, after the journal has brought everything to disk.
    std::unique_ptr<platform::FileLock> lock_;
    std::vector<std::string> notices_;
    std::unique_ptr<Journal> journal_;
    std::unique_ptr<StatementCache> parsed_;
    bool durable_ = true;
    std::filesystem::path dataDir_;
    std::filesystem::path programDir_;
    std::map<std::string, std::unique_ptr<Table>> tables_;  // by normalised path
    struct Named {
        Table* table = nullptr;
        uint64_t serial = 0;  // when the name was last checked
        bool exact = false;   // the file found has exactly the name asked for
    };
    std::map<std::string, Named> named_;  // statement name -> table
    uint64_t serial_ = 1;  // changes with every statement outside and every transaction
    std::vector<std::string> editing_;  // files open in an editor
};

// Scoped transaction: commits on commit(), rolls back when left otherwise (also by an
// exception).
class Transaction {
  public:
    explicit Transaction(Database& db) : db_(db) { db_.begin(); }
    ~Transaction() {
        if (!done_) {
            try {
                db_.rollback();
            } catch (...) {
            }
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit() {
        db_.commit();
        done_ = true;
    }
    void rollback() {
        done_ = true;
        db_.rollback();
    }

  private:
    Database& db_;
    bool done_ = false;
};

// Row editing of one table file: walk the live rows in file order, set fields, post.
class TableEditor {
  public:
    ~TableEditor();
    size_t rowCount() const;
    void first();
    void next();
    bool eof() const;
    Value field(std::string_view name) const;
    // Sets a field of the current row (encoded at once: a value that does not fit
    // throws here). Nothing reaches the file before post().
    void setField(std::string_view name, const Value& value);
    void post();
    void cancel();

  private:
    friend class Database;
    TableEditor(Database& db, const std::filesystem::path& file);
    Database& db_;
    std::filesystem::path file_;
    std::vector<uint32_t> rows_;  // live record numbers at opening
    size_t pos_ = 0;
    std::string pending_;  // record bytes being edited, empty when none
};

}  // namespace tvx::tables
