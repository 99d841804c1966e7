// The settings file of a generated shop ("Tvx2010.set" in its data directory): the company
// profile and document series, the defaults the editors propose, the e-invoice code of every
// unit of measure the rows use, and every counter set one past the highest value the rows
// hold, so that the program's next document follows the generated ones.
#pragma once

#include <filesystem>

#include "tables/Database.h"

namespace tvx::gen {

struct ShopProfileOptions {
    bool vatPayer = true;  // false: a tax code without "RO"
};

// Writes the settings file of the data directory `db` works on, from the rows already
// written. Throws EngineError when a unit of the rows has no e-invoice code here.
void writeShopSettings(tables::Database& db, const ShopProfileOptions& options);

}  // namespace tvx::gen
