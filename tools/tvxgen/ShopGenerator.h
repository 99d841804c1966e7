// Generator of a busy shop's data directory: ten years (2016-2025) of goods received notes,
// stock cards and movements, sales invoices and fiscal receipts, incoming documents,
// receipts and payments, with the workshop tables beside them. Used by the benchmarks and
// by tests that need a realistic data directory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tables/Decimal.h"

namespace tvx::gen {

struct GeneratorOptions {
    tables::Decimal scale = tables::Decimal(1);  // 1: the full busy shop; 0.01: a tiny one
    uint64_t seed = 1;
    bool vatPayer = true;  // the company profile's tax code with "RO" (a VAT payer) or without
};

struct GeneratorStats {
    std::vector<std::pair<std::string, size_t>> rows;  // per table, in creation order
    size_t rowsOf(std::string_view table) const;
};

// Writes every permanent table, GesLista.txt and the settings file (company profile, units,
// counters agreeing with the rows) into `dataDir` (created when missing).
// Throws EngineError, leaving no table file behind, when the directory already holds a
// table, the list or the settings file, when the scale is out of range, or when writing fails.
GeneratorStats generateShop(const std::filesystem::path& dataDir, const GeneratorOptions& options);

}  // namespace tvx::gen
