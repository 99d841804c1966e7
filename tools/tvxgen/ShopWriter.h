// Writing a simulated shop into the permanent tables of a data directory whose tables were
// just created empty.
#pragma once

#include <cstdint>

#include "ShopGenerator.h"
#include "ShopModel.h"
#include "tables/Database.h"

namespace tvx::gen {

// Fills every permanent table from the model; the workshop tables (time norms, pre-orders)
// are made up here from `seed`. Returns the rows written per table, in creation order.
GeneratorStats writeShop(tables::Database& db, const ShopModel& shop, uint64_t seed);

}  // namespace tvx::gen
