// Backup and restore of the data directory (core/admin). An archive (".tvx") holds every
// non-empty file of the data directory: a signed 32-bit little-endian file count, then per
// file the name length, the name "Data\" + file name, the uncompressed size (all 32-bit
// little-endian) and the file as one zlib stream at the highest level, with nothing between
// entries and no other header. A save brings the tables to disk first, writes a temporary
// archive and renames it into place; a restore unpacks and checks the whole archive beside
// the data directory before it swaps the folders (RestoreSwap.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "core/admin/RestoreSwap.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

// Texts of the window "Salvare - Restaurare".
constexpr const char* kArchiveFilter = "Arhiva Tarvix|*.tvx";
constexpr const char* kArchiveExtension = ".tvx";
constexpr const char* kSaveDialogTitle = "Unde salvam arhiva ?";
constexpr const char* kRestoreDialogTitle = "Indicati salvarea precedenta Tarvix 2007.";
constexpr const char* kSaveProgressText = "Salvez starea actuala...";
constexpr const char* kRestoreProgressText = "Restaurez baza de date...";

// Position and maximum of the progress bar.
using BackupProgress = std::function<void(int position, int maximum)>;

// Files of the data directory that a save takes: regular files above 0 bytes, in listing
// order. Left out: subfolders, the engine's journal ("Tvx.jnl*") and lock file ("Tvx.lck"),
// half-written tables ("*.dbf.tmp") and a restore's marker.
std::vector<std::filesystem::path> ListDataFiles(const std::filesystem::path& dataDir);

// Asked before an existing archive is replaced; anything but Da stops the save.
Message ReplaceArchiveQuestion(const std::filesystem::path& archive);
Message SaveDoneNotice();

// Brings the tables of `db` to disk (a checkpoint: refused inside a transaction), then
// writes the archive of its data directory to `archive` (replacing it only when complete).
// The bar moves to each file's position, 0 for the first. Throws EngineError naming the
// file that failed; the previous archive, if any, stays as it was.
void SaveArchive(tables::Database& db, const std::filesystem::path& archive,
                 const BackupProgress& progress = {});

// The error shown when the chosen archive does not exist, else nothing.
std::optional<Message> MissingArchiveProblem(const std::filesystem::path& archive);
Message RestoreQuestion();
Message RestoreDoneNotice();

struct ArchiveEntryInfo {
    std::string fileName;  // without the "Data\" prefix
    uint32_t size = 0;
};

// Reads and checks the whole archive without writing anything: names, sizes, each zlib
// stream complete and of the stored size, nothing after the last entry. A name must be a
// plain file name, once in the archive (ignoring case), and neither the journal nor the
// restore marker. Throws EngineError naming the archive and what is wrong.
std::vector<ArchiveEntryInfo> CheckArchive(const std::filesystem::path& archive);

// Replaces the files of `dataDir` by those of the archive (subfolders, and the archive when
// it lies there, stay). The archive is unpacked and checked in <Data>.restore first; a
// damaged archive, a restored name taken by a subfolder, or a <Data>.restore or
// <Data>.previous already there (not the program's: start-up resolves its own) throws
// EngineError and changes nothing. An archive without files gives an empty data
// directory, which the next start fills with empty tables. The bar moves to each entry's
// number, 1 for the first. `afterStep` is told each step of the swap (tests stop it there).
// The engine must be closed; the program must start again afterwards.
void RestoreArchive(const std::filesystem::path& dataDir, const std::filesystem::path& archive,
                    const BackupProgress& progress = {}, const RestoreStepHook& afterStep = {});

}  // namespace tvx::core
