// ORDER BY's integer sort against the plain one: the same order as a stable sort comparing
// the values, on keys with nulls, trailing blanks, mixed scales, large numbers and
// descending columns; a column of mixed types still throws when two values cannot compare.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tables/EngineError.h"
#include "tables/sql/SortOrder.h"

namespace tvx::tables::sql {
namespace {

std::vector<size_t> ReferenceOrder(std::vector<size_t> order, const std::vector<Value>& keys,
                                   const std::vector<bool>& descending) {
    const size_t width = descending.size();
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        for (size_t k = 0; k < width; ++k) {
            const int c = compareValues(keys[a * width + k], keys[b * width + k]);
            if (c != 0) return descending[k] ? c > 0 : c < 0;
        }
        return false;
    });
    return order;
}

Value RandomValue(ValueType type, std::mt19937& random) {
    const int pick = static_cast<int>(random() % 12);
    if (pick == 0) return {};
    switch (type) {
        case ValueType::Text: {
            static const char* texts[] = {"", " ", "A", "A  ", "AB", "B", "a", "\xC8\x98I", "Z"};
            return Value(std::string(texts[random() % 9]));
        }
        case ValueType::Number: {
            const long long units = static_cast<long long>(random() % 2001) - 1000;
            Decimal d = Decimal::fromUnits(units, static_cast<int>(random() % 4));
            if (pick == 1) d = Decimal::fromUnits(static_cast<__int128>(units) * 1000000000000LL, 18);
            return Value(d);
        }
        case ValueType::Date:
            return Value(Date::fromDayNumber(static_cast<int>(random() % 50)));
        default:
            return Value::logical(random() % 2 == 0);
    }
}

TEST(SortOrder, SameOrderAsComparingTheValues) {
    std::mt19937 random(7);
    const ValueType types[] = {ValueType::Text, ValueType::Number, ValueType::Date,
                               ValueType::Logical};
    for (int round = 0; round < 200; ++round) {
        const size_t width = 1 + random() % 3, rows = random() % 300;
        std::vector<ValueType> columns;
        std::vector<bool> descending;
        for (size_t k = 0; k < width; ++k) {
            columns.push_back(types[random() % 4]);
            descending.push_back(random() % 2 == 0);
        }
        std::vector<Value> keys;
        for (size_t r = 0; r < rows; ++r)
            for (size_t k = 0; k < width; ++k) keys.push_back(RandomValue(columns[k], random));
        // Some rows left out, as DISTINCT leaves them, in a shuffled order.
        std::vector<size_t> order;
        for (size_t r = 0; r < rows; ++r)
            if (random() % 5 != 0) order.push_back(r);
        std::shuffle(order.begin(), order.end(), random);
        const std::vector<size_t> expected = ReferenceOrder(order, keys, descending);
        sortByKeys(order, keys, descending);
        EXPECT_EQ(order, expected) << "round " << round;
    }
}

TEST(SortOrder, MixedTypesCompareAsValues) {
    // Texts holding numbers compare with numbers; a date with a number cannot.
    std::vector<Value> keys{Value(std::string("10")), Value(Decimal(9)), Value(Decimal(11))};
    std::vector<size_t> order{0, 1, 2};
    sortByKeys(order, keys, {false});
    EXPECT_EQ(order, (std::vector<size_t>{1, 0, 2}));
    keys = {Value(Date::fromDayNumber(3)), Value(Decimal(9))};
    order = {0, 1};
    EXPECT_THROW(sortByKeys(order, keys, {false}), EngineError);
}

}  // namespace
}  // namespace tvx::tables::sql
