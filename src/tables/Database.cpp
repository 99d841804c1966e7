// The engine's entry point: table cache by file, name resolution, statements, editing,
// packing and field-layout changes.
#include "tables/Database.h"

#include <algorithm>
#include <unordered_map>

#include "tables/EngineError.h"
#include "tables/FieldCodec.h"
#include "tables/Journal.h"
#include "tables/Table.h"
#include "tables/platform/File.h"
#include "tables/sql/Executor.h"
#include "tables/sql/Parser.h"

namespace fs = std::filesystem;

namespace tvx::tables {

bool ParamLess::operator()(const std::string& a, const std::string& b) const {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    return a.size() < b.size();
}

// Statements by their text: programs run the same statements over and over with other
// parameters. Each keeps its parse and, once run, its binding to the tables (which the
// executor checks before reuse). Bounded; emptied when full.
class StatementCache {
  public:
    struct Entry {
        sql::Statement parsed;
        sql::PreparedPtr bound;
    };
    std::shared_ptr<Entry> get(std::string_view text) {
        auto it = byText_.find(text);
        if (it != byText_.end()) return it->second;
        auto entry = std::make_shared<Entry>(Entry{sql::parseStatement(text), nullptr});
        if (byText_.size() >= kCapacity) byText_.clear();
        byText_.emplace(std::string(text), entry);
        return entry;
    }

  private:
    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    static constexpr size_t kCapacity = 512;
    std::unordered_map<std::string, std::shared_ptr<Entry>, TextHash, std::equal_to<>> byText_;
};

static const char* const kJournalName = kJournalFileName;
static const char* const kLockName = kLockFileName;

Database::Database(fs::path dataDir, fs::path programDir)
    : dataDir_(std::move(dataDir)), programDir_(std::move(programDir)) {
    journal_ = std::make_unique<Journal>(dataDir_ / kJournalName, dataDir_, programDir_);
    parsed_ = std::make_unique<StatementCache>();
    claim();
}

namespace {

std::string cacheKey(const fs::path& file) {
    return fs::absolute(file).lexically_normal().string();
}

// Temporary copies of a table or index file rewrite ("name.dbf.tmp", "name.tvi.tmp") that a
// killed process left in `dir`.
void removeRewriteLeftovers(const fs::path& dir) {
    std::error_code ec;
    if (dir.empty() || !fs::is_directory(dir, ec)) return;
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        const bool rewrite =
            name.size() > 8 && (equalsIgnoreCase(name.substr(name.size() - 8), ".dbf.tmp") ||
                                equalsIgnoreCase(name.substr(name.size() - 8), ".tvi.tmp"));
        if (rewrite && entry.is_regular_file(ec))
            found.push_back(entry.path());
    }
    for (const auto& p : found) fs::remove(p, ec);
}

}  // namespace

bool Database::claim() {
    if (lock_) return true;
    std::error_code ec;
    if (!fs::is_directory(dataDir_, ec)) return false;
    auto lock = std::make_unique<platform::FileLock>(dataDir_ / kLockName);
    if (!lock->tryLock()) {
        std::string holder = lock->owner();
        holder.erase(
            std::remove_if(holder.begin(), holder.end(), [](char c) { return c < '0' || c > '9'; }),
            holder.end());
        throw EngineError("The data directory " + dataDir_.string() +
                          " is in use by another program" +
                          (holder.empty() ? std::string() : " (process " + holder + ")"));
    }
    lock->setOwner(platform::processId());
    lock_ = std::move(lock);
    removeRewriteLeftovers(dataDir_);
    removeRewriteLeftovers(programDir_);
    for (const auto& file : journal_->recover(notices_)) tables_.erase(cacheKey(file));
    named_.clear();
    return true;
}

Database::~Database() {
    bool rolledBack = false;
    if (journal_ && journal_->active()) {
        try {
            journal_->rollback();
        } catch (...) {
        }
        rolledBack = true;
    }
    // Every committed change is in the table files now: their indexes go beside them for
    // the next process (a table changed by someone else meanwhile is left without).
    if (!rolledBack) {
        for (auto& [key, table] : tables_) {
            try {
                table->saveIndexes();
            } catch (...) {
            }
        }
    }
    tables_.clear();
    journal_.reset();  // brings committed changes to the disk and empties the log
}

void Database::begin() {
    std::error_code ec;
    if (!fs::is_directory(dataDir_, ec) || !claim())
        throw EngineError("Data directory not found: " + dataDir_.string());
    journal_->begin(durable_);
    ++serial_;
}

void Database::commit() {
    try {
        journal_->commit();
    } catch (...) {
        // A failed commit was rolled back: the cached tables hold what it would have written.
        named_.clear();
        tables_.clear();
        throw;
    }
}

void Database::rollback() {
    named_.clear();
    for (const auto& file : journal_->rollback())
        tables_.erase(fs::absolute(file).lexically_normal().string());
}

void Database::checkpoint() {
    if (journal_->active()) throw EngineError("A checkpoint cannot be taken inside a transaction");
    journal_->checkpoint();
}

bool Database::inTransaction() const {
    return journal_->active();
}

void Database::protectFile(const fs::path& file) {
    journal_->carry(file);
}

void Database::protectTableFile(const fs::path& file) {
    journal_->protectTable(file);
}

void Database::setDurable(bool durable) {
    durable_ = durable;
}

namespace {

// The entry of `dir` whose name equals `name` ignoring case, or `dir / name`.
fs::path findIgnoringCase(const fs::path& dir, const std::string& name) {
    fs::path exact = dir / name;
    std::error_code ec;
    if (fs::exists(exact, ec)) return exact;
    for (const auto& entry : fs::directory_iterator(dir.empty() ? fs::path(".") : dir, ec)) {
        if (equalsIgnoreCase(entry.path().filename().string(), name)) return entry.path();
    }
    return exact;
}

}  // namespace

fs::path Database::resolveTable(std::string_view name, bool quoted) const {
    bool exact = false;
    return resolveTable(name, quoted, exact);
}

fs::path Database::resolveTable(std::string_view name, bool quoted, bool& exact) const {
    std::string text(name);
    if (text.empty()) throw EngineError("Empty table name");
    fs::path p(text);
    fs::path wanted;
    if (!quoted) {
        if (!(p.has_extension() && equalsIgnoreCase(p.extension().string(), ".dbf")))
            text += ".dbf";
        wanted = dataDir_ / text;
    } else {
        wanted = p.is_relative() ? dataDir_ / p : p;
    }
    fs::path found = findIgnoringCase(wanted.parent_path(), wanted.filename().string());
    exact = found == wanted;
    return found;
}

bool Database::tableExists(const fs::path& file) const {
    std::error_code ec;
    return fs::is_regular_file(file, ec);
}

Table& Database::table(const fs::path& file) {
    std::string key = cacheKey(file);
    auto it = tables_.find(key);
    if (it != tables_.end()) {
        if (!it->second->file().changedOnDisk()) return *it->second;
        journal_->release(it->second->file());
        auto fresh = dbf::DbfFile::open(file);
        fresh->setWriteHook(journal_.get());
        it->second->reset(std::move(fresh));
        return *it->second;
    }
    auto opened = dbf::DbfFile::open(file);
    opened->setWriteHook(journal_.get());
    auto t = std::make_unique<Table>(std::move(opened));
    Table& ref = *t;
    tables_.emplace(key, std::move(t));
    return ref;
}

Table* Database::openTable(std::string_view name, bool quoted) {
    std::string key(quoted ? "Q" : "B");
    key += name;
    auto it = named_.find(key);
    if (it != named_.end()) {
        Named& known = it->second;
        if (known.serial == serial_) return known.table;
        // A name that led to a file of exactly that name leads to it while the file is
        // there unchanged: one look at the file instead of a new search.
        if (known.exact && !known.table->file().changedOnDisk()) {
            known.serial = serial_;
            return known.table;
        }
    }
    bool exact = false;
    fs::path file = resolveTable(name, quoted, exact);
    if (!tableExists(file)) return nullptr;
    Table* t = &table(file);
    named_[key] = Named{t, serial_, exact};
    return t;
}

void Database::forget(const fs::path& file) {
    named_.clear();
    auto it = tables_.find(cacheKey(file));
    if (it == tables_.end()) return;
    journal_->release(it->second->file());
    tables_.erase(it);
}

StatementResult Database::run(std::string_view sql, const Params& params) {
    std::shared_ptr<StatementCache::Entry> entry = parsed_->get(sql);
    const sql::Statement& statement = entry->parsed;
    if (auto* t = std::get_if<sql::TransactionStmt>(&statement)) {
        switch (t->action) {
            case sql::TransactionAction::Begin:
                begin();
                break;
            case sql::TransactionAction::Commit:
                commit();
                break;
            case sql::TransactionAction::Rollback:
                rollback();
                break;
        }
        return {};
    }
    if (std::holds_alternative<sql::SelectStmt>(statement)) {
        if (!inTransaction()) ++serial_;
        return sql::executeStatement(*this, statement, params, &entry->bound);
    }
    return atomically(
        [&] { return sql::executeStatement(*this, statement, params, &entry->bound); });
}

long long Database::execute(std::string_view sql, const Params& params) {
    StatementResult r = run(sql, params);
    if (r.isQuery) throw EngineError("execute() was given a SELECT; use query()");
    return r.affected;
}

ResultSet Database::query(std::string_view sql, const Params& params) {
    StatementResult r = run(sql, params);
    if (!r.isQuery) throw EngineError("query() was given a statement that is not a SELECT");
    return std::move(r.rows);
}

void Database::pack(const fs::path& file) {
    if (!tableExists(file)) throw EngineError("Table not found: " + file.string());
    {
        // Nothing to tidy (the count of deleted records comes from the index file when it
        // is current): no transaction, no record read.
        Table& t = table(file);
        if (t.deletedCount() == 0 && !t.file().hasBytesAfterRecords()) return;
    }
    atomically([&] {
        Table& t = table(file);
        t.file().pack();
        t.dropIndexes();
    });
}

std::optional<FieldLayout> Database::readFieldLayout(const fs::path& file, std::string_view field) {
    if (!tableExists(file)) throw EngineError("Table not found: " + file.string());
    Table& t = table(file);
    int f = t.findField(field);
    if (f < 0) return std::nullopt;
    const auto& d = t.fields()[f];
    return FieldLayout{d.name, d.type, d.width, d.decimals};
}

void Database::changeFieldLayout(const fs::path& file, std::string_view field,
                                 const FieldLayout& layout) {
    if (!tableExists(file)) throw EngineError("Table not found: " + file.string());
    Table& t = table(file);
    int f = t.findField(field);
    if (f < 0) throw EngineError("Unknown column " + std::string(field), t.name());
    std::vector<dbf::FieldDescriptor> fields = t.fields();
    dbf::FieldDescriptor& target = fields[f];
    std::string newName = toUpperAscii(layout.name.empty() ? target.name : layout.name);
    for (size_t i = 0; i < fields.size(); ++i)
        if (static_cast<int>(i) != f && equalsIgnoreCase(fields[i].name, newName))
            throw EngineError("Duplicate column " + newName, t.name());
    target.name = newName;
    target.type = layout.type;
    target.width = layout.width;
    target.decimals = layout.decimals;
    if (target.type == 'D') target.width = 8;
    if ((target.type != 'C' && target.type != 'N' && target.type != 'D') || target.width < 1 ||
        target.width > 254 ||
        (target.type == 'N' && (target.width > 20 || target.decimals < 0 ||
                                (target.decimals > 0 && target.decimals >= target.width - 1))))
        throw EngineError("Bad layout for field " + newName, t.name());
    const size_t length = static_cast<size_t>(dbf::DbfFile::layoutFields(fields));
    const auto oldFields = t.fields();
    // Convert every record first: a value that does not fit stops the change untouched.
    std::vector<std::string> records;
    records.reserve(t.recordCount());
    for (uint32_t r = 0; r < t.recordCount(); ++r) {
        std::string_view old = t.file().rawRecord(r);
        std::string record(length, ' ');
        record[0] = old[0];
        for (size_t i = 0; i < fields.size(); ++i) {
            const auto& of = oldFields[i];
            std::string_view raw =
                old.substr(static_cast<size_t>(of.offset), static_cast<size_t>(of.width));
            if (static_cast<int>(i) == f) {
                Value v = decodeField(raw, of);
                if (fields[i].type == 'C' && of.type == 'C') {
                    // Text keeps its bytes (cut or padded), leading blanks included.
                    record.replace(
                        static_cast<size_t>(fields[i].offset),
                        std::min(raw.size(), static_cast<size_t>(fields[i].width)),
                        raw.substr(0, std::min(raw.size(), static_cast<size_t>(fields[i].width))));
                } else {
                    encodeField(v, fields[i], record, t.name());
                }
            } else {
                record.replace(static_cast<size_t>(fields[i].offset), raw.size(), raw);
            }
        }
        records.push_back(std::move(record));
    }
    size_t next = 0;
    atomically([&] {
        t.file().rewriteLayout(fields, [&](std::string_view) { return records[next++]; });
        t.dropIndexes();
    });
}

std::unique_ptr<TableEditor> Database::edit(const fs::path& file) {
    if (!tableExists(file)) throw EngineError("Table not found: " + file.string());
    std::string key = cacheKey(file);
    if (std::find(editing_.begin(), editing_.end(), key) != editing_.end())
        throw EngineError("Table is already open for editing: " + file.string());
    auto editor = std::unique_ptr<TableEditor>(new TableEditor(*this, file));
    editing_.push_back(key);
    return editor;
}

TableEditor::TableEditor(Database& db, const fs::path& file) : db_(db), file_(file) {
    Table& t = db_.table(file_);
    for (uint32_t r = 0; r < t.recordCount(); ++r)
        if (!t.isDeleted(r)) rows_.push_back(r);
}

TableEditor::~TableEditor() {
    std::string key = cacheKey(file_);
    auto& list = db_.editing_;
    list.erase(std::remove(list.begin(), list.end(), key), list.end());
}

size_t TableEditor::rowCount() const {
    return rows_.size();
}

void TableEditor::first() {
    pending_.clear();
    pos_ = 0;
}

void TableEditor::next() {
    if (!pending_.empty()) post();
    if (pos_ < rows_.size()) ++pos_;
}

bool TableEditor::eof() const {
    return pos_ >= rows_.size();
}

Value TableEditor::field(std::string_view name) const {
    if (eof()) throw EngineError("No current row");
    Table& t = db_.table(file_);
    int f = t.findField(name);
    if (f < 0) throw EngineError("Unknown column " + std::string(name), t.name());
    if (!pending_.empty()) {
        const auto& d = t.fields()[f];
        return decodeField(std::string_view(pending_).substr(d.offset, d.width), d);
    }
    return t.value(rows_[pos_], f);
}

void TableEditor::setField(std::string_view name, const Value& value) {
    if (eof()) throw EngineError("No current row");
    Table& t = db_.table(file_);
    int f = t.findField(name);
    if (f < 0) throw EngineError("Unknown column " + std::string(name), t.name());
    std::string record = pending_.empty() ? std::string(t.file().rawRecord(rows_[pos_])) : pending_;
    encodeField(value, t.fields()[f], record, t.name());
    pending_ = std::move(record);
}

void TableEditor::post() {
    if (pending_.empty()) return;
    Table& t = db_.table(file_);
    if (rows_[pos_] >= t.recordCount()) throw EngineError("Row no longer exists", t.name());
    db_.atomically([&] { db_.table(file_).write(rows_[pos_], pending_); });
    pending_.clear();
}

void TableEditor::cancel() {
    pending_.clear();
}

}  // namespace tvx::tables
