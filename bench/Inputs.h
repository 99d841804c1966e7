// The arguments of the workloads, drawn once from a data directory and saved to a small
// text file, so that every benchmark process (engine or SQLite) runs exactly the same
// statements with the same values.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::bench {

using tables::Date;
using tables::Decimal;

struct InvoiceLineInput {
    long long card = 0;
    std::string product, unit;
    Decimal qty, price, value, vat;
};

struct InvoiceInput {
    std::string location;
    std::vector<std::string> buyer;  // SOC2 RJ2 CUI2 ADRESA2 JUD2 LOC2 BANCA2 CONT2
    Decimal value, vat, total;
    std::vector<InvoiceLineInput> lines;
};

struct LotKeyInput {
    std::string location, product, unit;
    Decimal pretin, pretout;
};

struct LastIdInput {
    std::string table, field;
    long long id = 0;
};

struct Inputs {
    // W1: invoices posted from these identifiers on; repetition r shifts them by r * count.
    long long firstInvoiceId = 0, firstMovementId = 0, firstInvoiceNumber = 0;
    Date postingDate;
    std::vector<InvoiceInput> invoices;
    // W2: (location, product) of the product cards shown.
    std::vector<std::pair<std::string, std::string>> productCards;
    // W3: lot keys looked up, and stock cards updated with a quantity.
    std::vector<LotKeyInput> lots;
    std::vector<std::pair<long long, Decimal>> stockUpdates;
    // W4: the report year and the notes whose totals are recalculated.
    Date from, to;
    std::vector<long long> notes;
    // W5: the newest identifier of each main table.
    std::vector<LastIdInput> lastIds;
};

// Draws the inputs from the data directory (read only).
Inputs makeInputs(const std::filesystem::path& dataDir, uint64_t seed);
void saveInputs(const Inputs& inputs, const std::filesystem::path& file);
// Throws std::runtime_error naming the file and line when it is not a saved input file.
Inputs loadInputs(const std::filesystem::path& file);

}  // namespace tvx::bench
