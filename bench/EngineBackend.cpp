// The table engine behind the benchmark interface: statements through Database::execute /
// query with bound parameters, transactions through begin/commit.
#include <cstring>

#include "Backend.h"
#include "tables/EngineError.h"

namespace tvx::bench {

const std::string& Backend::expand(const std::string& sql) {
    auto it = expanded_.find(sql);
    if (it != expanded_.end()) return it->second;
    std::string out;
    size_t at = 0;
    while (true) {
        const size_t open = sql.find('{', at);
        if (open == std::string::npos) break;
        const size_t close = sql.find('}', open);
        if (close == std::string::npos) break;
        out += sql.substr(at, open - at);
        out += tableRef(sql.substr(open + 1, close - open - 1));
        at = close + 1;
    }
    out += sql.substr(at);
    return expanded_.emplace(sql, std::move(out)).first->second;
}

namespace {

class EngineBackend : public Backend {
  public:
    EngineBackend(const std::filesystem::path& dataDir, const std::filesystem::path& programDir)
        : db_(dataDir, programDir), dataDir_(dataDir), programDir_(programDir) {}

    std::string name() const override { return "tvx"; }
    bool transactional() const override { return state_ == State::Available; }
    // An engine built without transactions still runs the workloads, without durability.
    void begin() override {
        if (state_ == State::Unavailable) return;
        try {
            db_.begin();
            state_ = State::Available;
        } catch (const tables::EngineError& e) {
            if (state_ == State::Available ||
                std::strstr(e.what(), "Transactions are not available") == nullptr)
                throw;
            state_ = State::Unavailable;
        }
    }
    void commit() override {
        if (state_ == State::Available) db_.commit();
    }

    long long execute(const std::string& sql, const Params& params) override {
        return db_.execute(expand(sql), params);
    }

    ReadTotals query(const std::string& sql, const Params& params) override {
        tables::ResultSet rs = db_.query(expand(sql), params);
        ReadTotals t;
        const int columns = rs.columnCount();
        for (size_t r = 0; r < rs.rowCount(); ++r) {
            for (int c = 0; c < columns; ++c) {
                const tables::Value& v = rs.at(r, c);
                switch (v.type()) {
                    case tables::ValueType::Null:
                        continue;
                    case tables::ValueType::Text:
                        t.checksum += v.text().size();
                        break;
                    case tables::ValueType::Number:
                        t.checksum += static_cast<uint64_t>(v.number().units());
                        break;
                    case tables::ValueType::Date:
                        t.checksum += static_cast<uint64_t>(v.date().dayNumber());
                        break;
                    case tables::ValueType::Logical:
                        t.checksum += v.logical();
                        break;
                }
                ++t.cells;
            }
            ++t.rows;
        }
        return t;
    }

    void createWorkTable(const core::TableLayout& layout) override {
        const auto file = programDir_ / (layout.name + ".dbf");
        std::error_code ec;
        std::filesystem::remove(file, ec);
        db_.forget(file);
        db_.execute(core::createTableStatement(layout, file));
    }

    void dropWorkTable(const core::TableLayout& layout) override {
        db_.execute("DROP TABLE \"" + (programDir_ / (layout.name + ".dbf")).string() + "\"");
    }

  protected:
    std::string tableRef(const std::string& table) const override {
        // Work tables live in the program folder, the others in the data directory.
        for (const auto& t : core::workTables())
            if (t.name == table) return "\"" + (programDir_ / (table + ".dbf")).string() + "\"";
        return "\"" + (dataDir_ / (table + ".dbf")).string() + "\"";
    }

  private:
    tables::Database db_;
    std::filesystem::path dataDir_, programDir_;
    enum class State { Unknown, Available, Unavailable } state_ = State::Unknown;
};

}  // namespace

std::unique_ptr<Backend> openEngine(const std::filesystem::path& dataDir,
                                    const std::filesystem::path& programDir) {
    return std::make_unique<EngineBackend>(dataDir, programDir);
}

}  // namespace tvx::bench
