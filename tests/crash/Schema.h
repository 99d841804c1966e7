// The data directory the crash test works on: an invoice posting in miniature (document
// headers, document lines, stock movements, the stock cards) plus the small settings file
// that carries the document counters. Shared by the writing child and the checking parent.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tables/Decimal.h"

namespace tvx::crash {

namespace fs = std::filesystem;

// Stock cards 1..kItems exist from the start; documents move goods of these cards only.
inline constexpr int kItems = 20;

struct Paths {
    fs::path dir;
    fs::path factOut;   // document headers
    fs::path prodOut;   // document lines
    fs::path fise;      // stock movements, one per line
    fs::path capFise;   // stock cards
    fs::path settings;  // INI-like counters, carried by the transactions
    fs::path journal;   // the engine's rollback journal
    fs::path lock;      // the engine's lock file: the directory belongs to one process
    fs::path scratch;   // a table that is only ever created by rolled-back transactions
};

Paths pathsFor(const fs::path& dir);

// The four tables in the order they are checked.
std::vector<fs::path> tableFiles(const Paths& paths);

// Field names and widths of a table as created, "NAME:type:width:decimals" each.
std::vector<std::string> expectedLayout(const fs::path& table, const Paths& paths);

// Opening stock of a card (before any movement).
tables::Decimal initialStock(int idcap);

// The counters of the settings file.
struct Settings {
    long long idFacto = 1;  // next document number
    long long idFisa = 1;   // next movement number
    long long lastDel = 0;  // number of the last document removed
    friend bool operator==(const Settings&, const Settings&) = default;
};

// Reads the settings file; a missing file, key or malformed number throws std::runtime_error
// naming the file.
Settings readSettings(const fs::path& file);
// Rewrites the settings file as a whole: a temporary file renamed over the old one.
void writeSettings(const fs::path& file, const Settings& settings);
std::string describe(const Settings& settings);

// Creates the tables, the stock cards and the settings file in an empty directory.
void createDataDirectory(const Paths& paths);

}  // namespace tvx::crash
