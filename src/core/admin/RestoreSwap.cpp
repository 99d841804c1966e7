// The folder swap of a restore and its recovery at start-up.
#include "core/admin/RestoreSwap.h"

#include <set>
#include <sstream>
#include <system_error>

#include "core/common/AtomicFile.h"
#include "tables/EngineError.h"
#include "tables/platform/File.h"

namespace tvx::core {

namespace fs = std::filesystem;
using tables::EngineError;

namespace {

constexpr const char* kMarkerBegun = "restaurare inceputa";
constexpr const char* kMarkerComplete = "restaurare completa";

enum class Mark { None, Begun, Complete };

// What the marker in `folder` says (None when there is none or it says something else).
Mark MarkIn(const fs::path& folder) {
    std::error_code ec;
    if (!fs::is_regular_file(folder / kRestoreMarkerName, ec)) return Mark::None;
    const std::optional<std::string> text = ReadWholeFile(folder / kRestoreMarkerName);
    const std::string header = text ? text->substr(0, text->find('\n')) : std::string();
    if (header == kMarkerComplete) return Mark::Complete;
    if (header == kMarkerBegun) return Mark::Begun;
    return Mark::None;
}

bool Exists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

// Renames and makes the change durable, so a later step never overtakes it on the disk.
void Rename(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (ec)
        throw EngineError("Cannot rename " + from.string() + " to " + to.string() + ": " +
                          ec.message());
    tables::platform::syncDirectory(to.parent_path());
}

void RemoveTree(const fs::path& path) {
    std::error_code ec;
    fs::remove_all(path, ec);
    if (ec) throw EngineError("Cannot delete " + path.string() + ": " + ec.message());
    tables::platform::syncDirectory(path.parent_path());
}

// The files of the old data directory that the marker asks to move over.
std::set<std::string> KeptNames(const fs::path& marker) {
    std::set<std::string> names;
    const std::optional<std::string> text = ReadWholeFile(marker);
    if (!text) return names;
    std::istringstream lines(*text);
    std::string line;
    std::getline(lines, line);  // the header
    while (std::getline(lines, line))
        if (!line.empty()) names.insert(line);
    return names;
}

// Moves the subfolders and the kept files of <Data>.previous into the restored data
// directory. One whose name a restored file took stays where it is; returns false then.
bool CarryOver(const fs::path& previous, const fs::path& dataDir) {
    const std::set<std::string> keep = KeptNames(dataDir / kRestoreMarkerName);
    std::vector<fs::path> moving;
    for (const auto& entry : fs::directory_iterator(previous)) {
        std::error_code ec;
        if (entry.is_directory(ec) || keep.count(entry.path().filename().string()))
            moving.push_back(entry.path());
    }
    bool all = true;
    for (const fs::path& from : moving) {
        if (Exists(dataDir / from.filename()))
            all = false;
        else
            Rename(from, dataDir / from.filename());
    }
    return all;
}

Message FinishedNotice() {
    return {"Restaurare intrerupta", "Restaurarea intrerupta a fost terminata.",
            MessageKind::Information};
}

Message UndoneNotice() {
    return {"Restaurare intrerupta",
            "Restaurarea intrerupta a fost anulata; datele dinainte au fost pastrate.",
            MessageKind::Warning};
}

}  // namespace

fs::path RestoreFolder(const fs::path& dataDir) {
    return dataDir.parent_path() / (dataDir.filename().string() + ".restore");
}

fs::path PreviousFolder(const fs::path& dataDir) {
    return dataDir.parent_path() / (dataDir.filename().string() + ".previous");
}

void StartRestoreFolder(const fs::path& dataDir) {
    const fs::path staging = RestoreFolder(dataDir);
    std::error_code ec;
    fs::create_directories(staging, ec);
    if (ec) throw EngineError("Cannot create the folder " + staging.string() + ": " + ec.message());
    WriteFileAtomically(staging / kRestoreMarkerName, std::string(kMarkerBegun) + "\n");
}

void MarkRestoreComplete(const fs::path& dataDir, const std::vector<std::string>& keep) {
    const fs::path staging = RestoreFolder(dataDir);
    for (const auto& entry : fs::directory_iterator(staging))
        if (entry.is_regular_file()) tables::platform::File(entry.path(), false).sync();
    tables::platform::syncDirectory(staging);
    std::string text = std::string(kMarkerComplete) + "\n";
    for (const std::string& name : keep) text += name + "\n";
    WriteFileAtomically(staging / kRestoreMarkerName, text);
}

bool FinishRestore(const fs::path& dataDir, const RestoreStepHook& hook) {
    const auto goOn = [&](RestoreStep step) { return !hook || hook(step); };
    const fs::path staging = RestoreFolder(dataDir);
    const fs::path previous = PreviousFolder(dataDir);
    if (Exists(staging)) {
        if (Exists(dataDir)) {
            if (Exists(previous))
                throw EngineError("Cannot finish the restore: " + dataDir.string() + ", " +
                                  previous.string() + " and " + staging.string() +
                                  " all exist; keep the one you need as " + dataDir.string());
            Rename(dataDir, previous);
            if (!goOn(RestoreStep::SetAside)) return false;
        }
        Rename(staging, dataDir);
        if (!goOn(RestoreStep::PutInPlace)) return false;
    }
    if (Exists(previous)) {
        const bool carried = CarryOver(previous, dataDir);
        if (!goOn(RestoreStep::Carried)) return false;
        // What could not be carried keeps the folder from being deleted.
        if (carried) RemoveTree(previous);
        if (!goOn(RestoreStep::PreviousRemoved)) return false;
    }
    std::error_code ec;
    fs::remove(dataDir / kRestoreMarkerName, ec);
    if (ec)
        throw EngineError("Cannot delete " + (dataDir / kRestoreMarkerName).string() + ": " +
                          ec.message());
    return true;
}

void UndoRestore(const fs::path& dataDir) {
    const fs::path previous = PreviousFolder(dataDir);
    if (!Exists(dataDir) && Exists(previous)) Rename(previous, dataDir);
    if (Exists(RestoreFolder(dataDir))) RemoveTree(RestoreFolder(dataDir));
}

std::optional<Message> FinishInterruptedRestore(const fs::path& dataDir) {
    const fs::path staging = RestoreFolder(dataDir);
    const fs::path previous = PreviousFolder(dataDir);
    const bool staged = Exists(staging);
    // The marker is in <Data>.restore until that becomes <Data>, then in <Data>.
    const Mark mark = MarkIn(staged ? staging : dataDir);
    if (mark == Mark::Complete) {
        FinishRestore(dataDir);
        Message notice = FinishedNotice();
        if (Exists(previous))
            notice.text += " Directorul " + previous.string() +
                           " a ramas: contine fisiere cu nume luate de datele restaurate.";
        return notice;
    }
    std::error_code ec;
    if (staged && (mark == Mark::Begun || fs::is_empty(staging, ec))) {
        const bool begun = mark == Mark::Begun;
        UndoRestore(dataDir);
        if (begun) return UndoneNotice();
    }
    if (!Exists(dataDir) && Exists(previous)) {
        UndoRestore(dataDir);
        return UndoneNotice();
    }
    return std::nullopt;
}

}  // namespace tvx::core
