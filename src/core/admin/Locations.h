// Stock locations (core/admin): the sorted list of GesLista.txt in the data directory with
// the edit box beside it, and adding, renaming (across ProdNIR, CapFise and FactOut) and
// deleting a location with the checks and refusals of the administration window. Every
// change is written to the file at once; a rename changes the tables and the file in one
// transaction.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

constexpr const char* kLocationsFileName = "GesLista.txt";
constexpr size_t kLocationWidth = 24;

// The names of a location list file in file order; a missing file is an empty list.
std::vector<std::string> ReadLocationsFile(const std::filesystem::path& file);
// Writes the names one per line ended by CR LF; an empty list deletes the file instead.
void WriteLocationsFile(const std::filesystem::path& file, const std::vector<std::string>& names);

class Locations {
  public:
    // Control names used in the problems.
    static constexpr const char* kEditField = "GesEdit";
    static constexpr const char* kListField = "GesLista";

    explicit Locations(std::filesystem::path dataDir);

    // Reads GesLista.txt when it exists (it then replaces the list), sorted.
    void load();
    const std::vector<std::string>& names() const { return names_; }
    void setNames(std::vector<std::string> names);  // sorted on the way in
    std::filesystem::path file() const;

    // The edit box (upper case, 24 characters) and the chosen item (-1: none).
    std::string editText;
    int selected = -1;

    // Double click on the list: the chosen name goes into the edit box.
    void copySelectedToEdit();

    // "Adauga": cleans the box, checks it, adds and selects the name, empties the box and
    // writes the file. Returns the failed check, if any.
    std::optional<FieldProblem> add();

    // "Modifica": cleans the box and runs the checks in order.
    std::optional<FieldProblem> renameProblem();
    Message renameQuestion() const;
    // After a confirmed question: renames the chosen location to the box's text in ProdNIR,
    // CapFise and FactOut and in the list, as one transaction with the list file; `step`
    // (optional) gets the progress text and bar position. An engine error leaves tables,
    // list and file as they were and propagates.
    void rename(tables::Database& db,
                const std::function<void(const std::string&, int)>& step = {});

    // "Sterge": the checks before the question, then the question.
    std::optional<FieldProblem> deleteProblem() const;
    Message deleteQuestion() const;
    // After a confirmed question: refuses (returning the message) when the location is used
    // in a NIR line or an outgoing invoice; otherwise removes it and rewrites the file.
    std::optional<Message> remove(tables::Database& db);

    // Writes the list to GesLista.txt (deleting the file when the list is empty).
    void save() const;

  private:
    std::string cleanedEdit() const;
    std::filesystem::path dataDir_;
    std::vector<std::string> names_;
};

}  // namespace tvx::core
