// Cached table with on-demand equality indexes.
#include "tables/Table.h"

#include <algorithm>
#include <atomic>

namespace tvx::tables {

uint64_t Table::nextGeneration() {
    static std::atomic<uint64_t> counter{1};
    return counter++;
}

Table::Table(std::unique_ptr<dbf::DbfFile> file) : file_(std::move(file)) {
    name_ = file_->tableName();
}

void Table::reset(std::unique_ptr<dbf::DbfFile> file) {
    file_ = std::move(file);
    name_ = file_->tableName();
    dropIndexes();
}

void Table::remove(uint32_t record) {
    bool was = file_->isDeleted(record);
    file_->setDeleted(record, true);
    if (!was && deleted_ >= 0) ++deleted_;
}

uint32_t Table::deletedCount() {
    if (deleted_ < 0) {
        deleted_ = 0;
        for (uint32_t r = 0; r < file_->recordCount(); ++r)
            if (file_->isDeleted(r)) ++deleted_;
    }
    return static_cast<uint32_t>(deleted_);
}

Table::Index& Table::index(int field) {
    auto it = indexes_.find(field);
    if (it != indexes_.end()) return it->second;
    Index& idx = indexes_[field];
    uint32_t n = file_->recordCount();
    idx.reserve(n / 2 + 1);
    for (uint32_t r = 0; r < n; ++r) idx[value(r, field)].push_back(r);
    return idx;
}

const std::vector<uint32_t>& Table::lookup(int field, const Value& key) {
    static const std::vector<uint32_t> kNone;
    Index& idx = index(field);
    auto it = idx.find(key);
    return it == idx.end() ? kNone : it->second;
}

size_t Table::distinctValues(int field) {
    return index(field).size();
}

uint32_t Table::append(const std::string& record) {
    uint32_t r = file_->appendRecord(record);
    for (auto& [field, idx] : indexes_) idx[value(r, field)].push_back(r);
    return r;
}

void Table::write(uint32_t record, const std::string& bytes) {
    std::vector<std::pair<int, Value>> before;
    for (auto& [field, idx] : indexes_) {
        const auto& f = file_->fields()[field];
        std::string_view oldRaw = file_->rawField(record, field);
        if (oldRaw != std::string_view(bytes).substr(f.offset, f.width))
            before.emplace_back(field, value(record, field));
    }
    file_->writeRecord(record, bytes);
    for (auto& [field, oldKey] : before) {
        Index& idx = indexes_[field];
        auto& oldList = idx[oldKey];
        oldList.erase(std::remove(oldList.begin(), oldList.end(), record), oldList.end());
        if (oldList.empty()) idx.erase(oldKey);
        auto& newList = idx[value(record, field)];
        newList.insert(std::lower_bound(newList.begin(), newList.end(), record), record);
    }
}

}  // namespace tvx::tables
