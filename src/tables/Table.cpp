// Cached table with field indexes: read from the index file, or built on demand, and kept in
// step with every write.
#include "tables/Table.h"

#include <algorithm>
#include <atomic>
#include <numeric>

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

void Table::dropIndexes() {
    indexes_.clear();
    deleted_ = -1;
    generation_ = nextGeneration();
    // The file was read again or rewritten whole: memory and disk agree again, and an index
    // file is taken only if it matches the new file.
    indexFile_.reset();
    fileTried_ = false;
    changed_ = false;
    unsaved_ = false;
}

void Table::noteChange() {
    if (changed_) return;
    // The parts of the index file not read yet are read now, while they still describe the
    // table: from here on the indexes follow the changes in memory.
    if (indexFile_) {
        for (const std::string& name : indexFile_->fields()) {
            const int field = file_->findField(name);
            if (field < 0 || indexes_.count(field)) continue;
            if (auto idx = indexFile_->read(name)) indexes_[field].base = std::move(*idx);
        }
        indexFile_.reset();
    }
    changed_ = true;
    // The index file no longer describes the table once this change reaches the disk: it
    // goes first, so no process killed later can find it standing beside the changed table.
    RemoveIndexFile(file_->path());
    fileTried_ = true;
    unsaved_ = true;  // written again with the change, when the engine closes
}

void Table::remove(uint32_t record) {
    noteChange();
    bool was = file_->isDeleted(record);
    file_->setDeleted(record, true);
    if (!was && deleted_ >= 0) ++deleted_;
}

uint32_t Table::deletedCount() {
    if (deleted_ < 0) openIndexFile();
    if (deleted_ < 0) {
        if (!changed_ && !file_->changedOnDisk()) {
            deleted_ = file_->countDeletedInFile();
        } else {
            deleted_ = 0;
            for (uint32_t r = 0; r < file_->recordCount(); ++r)
                if (file_->isDeleted(r)) ++deleted_;
        }
        unsaved_ = true;
        if (!changed_) saveIndexes();  // the next process knows it without reading a record
    }
    return static_cast<uint32_t>(deleted_);
}

void Table::openIndexFile() {
    if (fileTried_) return;
    fileTried_ = true;
    if (changed_ || file_->changedOnDisk()) return;
    indexFile_ = IndexFileReader::open(*file_);
    if (indexFile_ && deleted_ < 0 && indexFile_->deleted() != kUnknownCount)
        deleted_ = indexFile_->deleted();
}

Table::FieldIndex& Table::index(int field) {
    auto it = indexes_.find(field);
    if (it != indexes_.end()) return it->second;
    openIndexFile();
    if (indexFile_) {
        if (auto idx = indexFile_->read(file_->fields()[static_cast<size_t>(field)].name)) {
            FieldIndex& read = indexes_[field];
            read.base = std::move(*idx);
            return read;
        }
    }

    FieldIndex& idx = indexes_[field];
    SortedIndex& base = idx.base;
    base.field = file_->fields()[static_cast<size_t>(field)].name;
    const uint32_t n = file_->recordCount();
    std::vector<uint64_t> keys(n);
    {
        const dbf::DbfFile::RecordWalk walk = file_->walkAll();
        for (uint32_t r = 0; r < n; ++r) keys[r] = IndexKey(value(r, field));
    }
    base.records.resize(n);
    std::iota(base.records.begin(), base.records.end(), 0u);
    std::stable_sort(base.records.begin(), base.records.end(),
                     [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
    base.keys.resize(n);
    for (uint32_t i = 0; i < n; ++i) base.keys[i] = keys[base.records[i]];
    base.distinct = 0;
    for (uint32_t i = 0; i < n; ++i)
        if (i == 0 || base.keys[i] != base.keys[i - 1]) ++base.distinct;
    unsaved_ = true;
    // Unchanged since it was read: the file holds what the index describes, so the next
    // process finds it ready.
    if (!changed_) saveIndexes();
    return idx;
}

bool Table::hasIndex(int field) {
    if (indexes_.count(field)) return true;
    openIndexFile();
    if (!indexFile_) return false;
    const std::vector<std::string> saved = indexFile_->fields();
    return std::find(saved.begin(), saved.end(), file_->fields()[static_cast<size_t>(field)].name) !=
           saved.end();
}

std::vector<uint32_t> Table::lookup(int field, const Value& key) {
    FieldIndex& idx = index(field);
    const uint64_t k = IndexKey(key);
    auto [lo, hi] = std::equal_range(idx.base.keys.begin(), idx.base.keys.end(), k);
    std::vector<uint32_t> out;
    out.reserve(static_cast<size_t>(hi - lo));
    for (auto i = lo - idx.base.keys.begin(); i < hi - idx.base.keys.begin(); ++i) {
        uint32_t r = idx.base.records[static_cast<size_t>(i)];
        if (idx.moved.empty() || !idx.moved.count(r)) out.push_back(r);
    }
    if (auto a = idx.added.find(k); a != idx.added.end()) {
        out.insert(out.end(), a->second.begin(), a->second.end());
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
    }
    return out;
}

std::vector<uint32_t> Table::lookupDates(int field, const std::optional<Date>& from,
                                         const std::optional<Date>& to) {
    FieldIndex& idx = index(field);
    // Empty dates have key 0; every date's key is above it.
    const uint64_t low = from ? IndexKey(Value(*from)) : 1;
    const uint64_t high = to ? IndexKey(Value(*to)) : UINT64_MAX;
    std::vector<uint32_t> out;
    if (low > high) return out;
    auto lo = std::lower_bound(idx.base.keys.begin(), idx.base.keys.end(), low);
    auto hi = std::upper_bound(idx.base.keys.begin(), idx.base.keys.end(), high);
    out.reserve(static_cast<size_t>(hi - lo));
    for (auto i = lo - idx.base.keys.begin(); i < hi - idx.base.keys.begin(); ++i) {
        uint32_t r = idx.base.records[static_cast<size_t>(i)];
        if (idx.moved.empty() || !idx.moved.count(r)) out.push_back(r);
    }
    for (const auto& [k, records] : idx.added)
        if (k >= low && k <= high) out.insert(out.end(), records.begin(), records.end());
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

size_t Table::countOf(int field, const Value& key) {
    const FieldIndex& idx = index(field);
    const uint64_t k = IndexKey(key);
    auto [lo, hi] = std::equal_range(idx.base.keys.begin(), idx.base.keys.end(), k);
    const auto a = idx.added.find(k);
    return static_cast<size_t>(hi - lo) + (a == idx.added.end() ? 0 : a->second.size());
}

size_t Table::distinctValues(int field) {
    const FieldIndex& idx = index(field);
    return idx.base.distinct + idx.added.size();
}

SortedIndex Table::merged(const FieldIndex& idx) {
    if (idx.moved.empty() && idx.added.empty()) return idx.base;
    std::vector<std::pair<uint64_t, uint32_t>> entries;
    entries.reserve(idx.base.keys.size() + idx.added.size());
    for (size_t i = 0; i < idx.base.keys.size(); ++i)
        if (!idx.moved.count(idx.base.records[i]))
            entries.emplace_back(idx.base.keys[i], idx.base.records[i]);
    for (const auto& [k, records] : idx.added)
        for (uint32_t r : records) entries.emplace_back(k, r);
    std::sort(entries.begin(), entries.end());
    SortedIndex out;
    out.field = idx.base.field;
    out.keys.reserve(entries.size());
    out.records.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        out.keys.push_back(entries[i].first);
        out.records.push_back(entries[i].second);
        if (i == 0 || entries[i].first != entries[i - 1].first) ++out.distinct;
    }
    return out;
}

void Table::saveIndexes() {
    if (!unsaved_ || (indexes_.empty() && deleted_ < 0) || file_->changedOnDisk()) return;
    std::vector<SortedIndex> merges;
    std::vector<const SortedIndex*> sections;
    merges.reserve(indexes_.size());
    for (const auto& [field, idx] : indexes_) {
        if (idx.moved.empty() && idx.added.empty()) {
            sections.push_back(&idx.base);
        } else {
            merges.push_back(merged(idx));
            sections.push_back(&merges.back());
        }
    }
    WriteIndexFile(*file_, sections, deleted_ < 0 ? kUnknownCount : static_cast<uint32_t>(deleted_));
    unsaved_ = false;
}

uint32_t Table::append(const std::string& record) {
    noteChange();
    uint32_t r = file_->appendRecord(record);
    if (deleted_ >= 0 && file_->isDeleted(r)) ++deleted_;
    for (auto& [field, idx] : indexes_) idx.added[IndexKey(value(r, field))].push_back(r);
    if (!indexes_.empty()) unsaved_ = true;
    return r;
}

void Table::write(uint32_t record, const std::string& bytes) {
    noteChange();
    std::vector<std::pair<int, uint64_t>> before;
    for (auto& [field, idx] : indexes_) {
        const auto& f = file_->fields()[field];
        std::string_view oldRaw = file_->rawField(record, field);
        if (oldRaw != std::string_view(bytes).substr(f.offset, f.width))
            before.emplace_back(field, IndexKey(value(record, field)));
    }
    const bool wasDeleted = file_->isDeleted(record);
    file_->writeRecord(record, bytes);
    if (deleted_ >= 0) deleted_ += static_cast<int>(file_->isDeleted(record)) - wasDeleted;
    for (auto& [field, oldKey] : before) {
        FieldIndex& idx = indexes_[field];
        if (auto a = idx.added.find(oldKey); a != idx.added.end()) {
            auto& list = a->second;
            list.erase(std::remove(list.begin(), list.end(), record), list.end());
            if (list.empty()) idx.added.erase(a);
        }
        idx.moved.insert(record);
        auto& now = idx.added[IndexKey(value(record, field))];
        now.insert(std::lower_bound(now.begin(), now.end(), record), record);
        unsaved_ = true;
    }
}

}  // namespace tvx::tables
