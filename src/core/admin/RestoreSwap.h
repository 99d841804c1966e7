// How a restore puts its files in place of the data directory, and how the next start
// finishes or undoes a restore that was killed half-way (core/admin).
//
// The archive is unpacked into "<Data>.restore", which the marker file "Tvx.restore" names
// as the program's own from its creation; once every file is there and on the disk, the
// marker says the folder is complete. Then: "<Data>" is renamed to
// "<Data>.previous", "<Data>.restore" to "<Data>" (the marker travels with it), the
// subfolders of the old data directory (and the archive, when it lay there) are moved
// over from "<Data>.previous", "<Data>.previous" is deleted and last the marker. Each
// moment between two steps is recognisable from which folders exist and where the marker
// is and what it says: while the folder is being filled the old data directory is
// untouched, so the restore is undone; once it is complete the restore is finished. A
// "<Data>.restore" without the marker is not the program's and is left alone.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"

namespace tvx::core {

// The marker of the program's "<Data>.restore" folder; never a file of an archive.
constexpr const char* kRestoreMarkerName = "Tvx.restore";

std::filesystem::path RestoreFolder(const std::filesystem::path& dataDir);   // <Data>.restore
std::filesystem::path PreviousFolder(const std::filesystem::path& dataDir);  // <Data>.previous

// The steps of a restore, in their order; a hook is told after each one.
enum class RestoreStep {
    Unpacked,         // every file is in <Data>.restore, not yet marked complete
    Marked,           // <Data>.restore is complete
    SetAside,         // <Data> is now <Data>.previous
    PutInPlace,       // <Data>.restore is now <Data>
    Carried,          // subfolders (and the archive) moved from <Data>.previous
    PreviousRemoved,  // <Data>.previous deleted; only the marker is left to remove
};
// Returning false stops the restore right there, as if the program had been killed.
using RestoreStepHook = std::function<bool(RestoreStep)>;

// Creates <Data>.restore with its marker saying it is being filled. Throws EngineError.
void StartRestoreFolder(const std::filesystem::path& dataDir);

// Marks the unpacked, checked <Data>.restore complete after bringing its files to the disk. `keep`:
// names of files of the old data directory to move over besides its subfolders (the archive being
// restored, when it lies there).
void MarkRestoreComplete(const std::filesystem::path& dataDir,
                         const std::vector<std::string>& keep);

// From a marked <Data>.restore (or any later step) to the end of the swap. Returns false
// when the hook stopped it. Throws EngineError; before PutInPlace the caller may still
// undo the swap with UndoRestore, after it the restored data is in place.
bool FinishRestore(const std::filesystem::path& dataDir, const RestoreStepHook& hook = {});

// Puts back the state before the restore: the old data directory under its name, no
// <Data>.restore. Only for a swap that has not reached PutInPlace.
void UndoRestore(const std::filesystem::path& dataDir);

// Start-up, before anything opens the data directory: finishes a restore that was killed
// after its files were complete, or undoes one killed before (an empty <Data>.restore, left
// by a kill before its marker, is simply removed). Returns the notice saying which was
// done, or nothing when no restore was interrupted. Throws EngineError when the
// folders are in a state no restore leaves (the start must not go on then).
std::optional<Message> FinishInterruptedRestore(const std::filesystem::path& dataDir);

}  // namespace tvx::core
