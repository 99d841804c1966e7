// The export to the SAGA accounting program (core/exports): for a period, and optionally one
// stock location, the articles, the goods entries (NIR lines) and the goods exits (outgoing
// invoice lines) are written as three dBase level 7 tables, copies of the embedded empty
// tables "Articole", "IN" and "IE", into work files; the files are then placed in the folder
// the user chooses under dated names. The window and tvxcli both go through these routines.
// Texts are written in Windows-1250, the code page of the shop's own tables and of the
// Romanian Windows SAGA runs on (the only one of the two that holds ă, ş, ţ); the header's
// "DBWINUS0" is the fixed mark of the format SAGA imports.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "tables/Date.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

constexpr const char* kSagaTitle = "Export in SAGA";
constexpr const char* kSagaFolderTitle = "Unde punem fisierele?";
constexpr const char* kSagaDoneText = "\rExportul s-a facut cu succes!";
constexpr const char* kSagaKeptText =
    "Fisierele din folder au fost pastrate.\rAlegeti alt folder sau renuntati.";

struct SagaPeriod {
    tables::Date from;
    tables::Date to;
    std::string location;  // empty (or " * toate gestiunile *"): every location
};

// Which rows become articles and the article number each entry and exit line carries. The
// articles are every entry line in order (a card received on two lines gives two articles),
// then every exit line whose stock card is not yet an article. Article i (from 0) is
// numbered i + 1; a line carries the number of the first article of its card.
struct SagaArticlePlan {
    struct Source {
        bool fromExit = false;
        size_t line = 0;  // index into the entry or exit lines
    };
    std::vector<Source> articles;
    std::vector<long long> entryNumbers;
    std::vector<long long> exitNumbers;
};
// `entryCards` and `exitCards`: the stock card (IDCAP as text) of each line, in file order.
SagaArticlePlan PlanSagaArticles(const std::vector<std::string>& entryCards,
                                 const std::vector<std::string>& exitCards);

// The three files of one export, in the order articles, entries, exits.
struct SagaFiles {
    std::filesystem::path articles;
    std::filesystem::path entries;
    std::filesystem::path exits;
    size_t articleRows = 0;
    size_t entryRows = 0;
    size_t exitRows = 0;
    std::vector<std::filesystem::path> paths() const { return {articles, entries, exits}; }
};

// Writes the three tables of `period` into free work-file names of `workFolder` ("Art",
// "IN", "IE" + a number + ".dbf"). On any failure (engine error, a value the layout cannot
// hold, a folder that cannot be written) the work files made so far are removed and
// EngineError is thrown with the reason.
SagaFiles WriteSagaWorkFiles(tables::Database& db, const std::filesystem::path& workFolder,
                             const SagaPeriod& period);

// The names the files take in the chosen folder, e.g. "IN_01-03-2024_31-03-2024.dbf", in
// the order articles, entries, exits.
std::vector<std::string> SagaFileNames(tables::Date from, tables::Date to);
// Those of the names that already exist in `folder`.
std::vector<std::string> ExistingSagaFiles(const std::filesystem::path& folder, tables::Date from,
                                           tables::Date to);
// The question asked before files of the same names are replaced.
Message SagaReplaceQuestion(const std::vector<std::string>& existing);

// Puts the work files into `folder` under their dated names. A name that exists already is
// replaced only when `replace` is set; otherwise, or when a copy fails, EngineError says why
// and the folder and the work files stay as they were. The work files are removed only once
// all three are in place.
SagaFiles PlaceSagaFiles(const SagaFiles& work, const std::filesystem::path& folder,
                         tables::Date from, tables::Date to, bool replace);

// Removes whichever of the files still exist.
void RemoveSagaFiles(const SagaFiles& files);

}  // namespace tvx::core
