// Sorting by integer images of the keys: on tens of thousands of rows, comparing Values
// (a type dispatch, trailing blanks trimmed, decimal scales aligned at every comparison)
// took most of a list's opening.
#include "tables/sql/SortOrder.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace tvx::tables::sql {

namespace {

using Key = __int128;

Key pow10(int n) {
    Key p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

// The integer images of key `k` of the rows of `order`, nulls below every value; nullopt
// when the column mixes types or a number is too large to be brought to the common scale.
std::optional<std::vector<Key>> encodeColumn(const std::vector<Value>& keys, size_t width,
                                             size_t k, const std::vector<size_t>& order) {
    const size_t rows = order.size();
    auto at = [&](size_t r) -> const Value& { return keys[order[r] * width + k]; };
    ValueType type = ValueType::Null;
    for (size_t r = 0; r < rows; ++r) {
        const ValueType t = at(r).type();
        if (t == ValueType::Null) continue;
        if (type == ValueType::Null)
            type = t;
        else if (t != type)
            return std::nullopt;
    }
    std::vector<Key> out(rows, 0);
    switch (type) {
        case ValueType::Null:
            return out;
        case ValueType::Text: {
            // Equal texts (trailing blanks aside) share a rank; the distinct ones are sorted
            // byte by byte, as compareText does.
            std::unordered_map<std::string_view, uint32_t> ids;
            std::vector<std::string_view> distinct;
            std::vector<uint32_t> id(rows, 0);
            for (size_t r = 0; r < rows; ++r) {
                if (at(r).isNull()) continue;
                const auto [it, added] =
                    ids.emplace(trimmedView(at(r).text()), static_cast<uint32_t>(distinct.size()));
                if (added) distinct.push_back(it->first);
                id[r] = it->second;
            }
            std::vector<uint32_t> byText(distinct.size());
            for (uint32_t i = 0; i < byText.size(); ++i) byText[i] = i;
            std::sort(byText.begin(), byText.end(),
                      [&](uint32_t a, uint32_t b) { return distinct[a] < distinct[b]; });
            std::vector<Key> rank(distinct.size());
            for (size_t i = 0; i < byText.size(); ++i) rank[byText[i]] = static_cast<Key>(i) + 1;
            for (size_t r = 0; r < rows; ++r) out[r] = at(r).isNull() ? 0 : rank[id[r]];
            return out;
        }
        case ValueType::Number: {
            // Within 10^19 units, any scale (at most 18) brought to the largest stays far
            // inside 128 bits.
            const Key limit = static_cast<Key>(10'000'000'000'000'000'000ULL);
            int scale = 0;
            for (size_t r = 0; r < rows; ++r) {
                if (at(r).isNull()) continue;
                const Decimal& d = at(r).number();
                if (d.units() >= limit || d.units() <= -limit) return std::nullopt;
                scale = std::max(scale, d.scale());
            }
            Key lowest = 0;
            for (size_t r = 0; r < rows; ++r) {
                if (at(r).isNull()) continue;
                const Decimal& d = at(r).number();
                out[r] = d.units() * pow10(scale - d.scale());
                lowest = std::min(lowest, out[r]);
            }
            for (size_t r = 0; r < rows; ++r)
                if (at(r).isNull()) out[r] = lowest - 1;
            return out;
        }
        case ValueType::Date:
            for (size_t r = 0; r < rows; ++r)
                out[r] = at(r).isNull() ? Key(INT32_MIN) - 1 : at(r).date().dayNumber();
            return out;
        case ValueType::Logical:
            for (size_t r = 0; r < rows; ++r)
                out[r] = at(r).isNull() ? -1 : (at(r).logical() ? 1 : 0);
            return out;
    }
    return std::nullopt;
}

}  // namespace

void sortByKeys(std::vector<size_t>& order, const std::vector<Value>& keys,
                const std::vector<bool>& descending) {
    const size_t width = descending.size();
    const size_t rows = order.size();
    if (width == 0 || rows < 2) return;
    // Row i of `order` has its keys at encoded[i * width]; DISTINCT may have left fewer
    // rows than were produced.
    std::vector<Key> encoded(rows * width);
    for (size_t k = 0; k < width; ++k) {
        std::optional<std::vector<Key>> column = encodeColumn(keys, width, k, order);
        if (!column) {
            std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
                for (size_t j = 0; j < width; ++j) {
                    const int c = compareValues(keys[a * width + j], keys[b * width + j]);
                    if (c != 0) return descending[j] ? c > 0 : c < 0;
                }
                return false;
            });
            return;
        }
        for (size_t r = 0; r < rows; ++r)
            encoded[r * width + k] = descending[k] ? -(*column)[r] : (*column)[r];
    }
    std::vector<size_t> places(rows);
    for (size_t i = 0; i < rows; ++i) places[i] = i;
    std::stable_sort(places.begin(), places.end(), [&](size_t a, size_t b) {
        const Key* x = &encoded[a * width];
        const Key* y = &encoded[b * width];
        for (size_t k = 0; k < width; ++k)
            if (x[k] != y[k]) return x[k] < y[k];
        return false;
    });
    std::vector<size_t> sorted(rows);
    for (size_t i = 0; i < rows; ++i) sorted[i] = order[places[i]];
    order = std::move(sorted);
}

}  // namespace tvx::tables::sql
