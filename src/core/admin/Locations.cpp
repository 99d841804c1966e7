// Stock locations: the list file and the add / rename / delete commands.
#include "core/admin/Locations.h"

#include <algorithm>
#include <system_error>

#include "core/common/AtomicFile.h"
#include "core/common/Schema.h"
#include "core/common/TextRoutines.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/Value.h"

namespace tvx::core {

namespace fs = std::filesystem;
using tables::EngineError;

std::vector<std::string> ReadLocationsFile(const fs::path& file) {
    const std::optional<std::string> content = ReadWholeFile(file);
    if (!content) return {};
    const std::string& bytes = *content;
    std::vector<std::string> names;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) names.push_back(std::move(line));
        start = end + 1;
    }
    return names;
}

void WriteLocationsFile(const fs::path& file, const std::vector<std::string>& names) {
    if (names.empty()) {
        std::error_code ec;
        fs::remove(file, ec);
        if (ec) throw EngineError("Cannot delete file " + file.string() + ": " + ec.message());
        return;
    }
    std::string bytes;
    for (const std::string& name : names) bytes += name + "\r\n";
    WriteFileAtomically(file, bytes);
}

Locations::Locations(fs::path dataDir) : dataDir_(std::move(dataDir)) {}

fs::path Locations::file() const {
    return dataDir_ / kLocationsFileName;
}

void Locations::load() {
    std::error_code ec;
    if (fs::exists(file(), ec)) setNames(ReadLocationsFile(file()));
}

void Locations::setNames(std::vector<std::string> names) {
    names_ = std::move(names);
    std::sort(names_.begin(), names_.end());
    selected = -1;
}

void Locations::save() const {
    WriteLocationsFile(file(), names_);
}

void Locations::copySelectedToEdit() {
    if (selected >= 0 && selected < static_cast<int>(names_.size())) editText = names_[selected];
}

std::string Locations::cleanedEdit() const {
    return FirstChars(tables::toUpperAscii(CleanText(editText)), kLocationWidth);
}

std::optional<FieldProblem> Locations::add() {
    editText = cleanedEdit();
    if (editText.empty()) return FieldProblem{kEditField, "Nu ati scris nici o gestiune!"};
    if (std::find(names_.begin(), names_.end(), editText) != names_.end())
        return FieldProblem{kListField, editText + " exista deja in lista!"};
    std::vector<std::string> updated = names_;
    updated.push_back(editText);
    std::sort(updated.begin(), updated.end());
    WriteLocationsFile(file(), updated);
    names_ = std::move(updated);
    selected = static_cast<int>(std::find(names_.begin(), names_.end(), editText) - names_.begin());
    editText.clear();
    return std::nullopt;
}

std::optional<FieldProblem> Locations::renameProblem() {
    editText = cleanedEdit();
    if (editText.empty()) return FieldProblem{kEditField, "Nu ati scris noua denumire!"};
    if (names_.empty()) return FieldProblem{kListField, "Nu aveti ce inlocui! Lista e goala!"};
    if (selected < 0 || selected >= static_cast<int>(names_.size()))
        return FieldProblem{kListField, "Alegeti din lista ce gestiune schimbam!"};
    if (editText == names_[selected])
        return FieldProblem{kEditField, "De fapt nu vreti sa schimbati nimic!"};
    if (std::find(names_.begin(), names_.end(), editText) != names_.end())
        return FieldProblem{kEditField, "Noua denumire exista deja in lista!"};
    return std::nullopt;
}

Message Locations::renameQuestion() const {
    return {"Modificare gestiune",
            "Doriti sa inlocuiti denumirea \rgestiunii " + names_.at(selected) + " cu " + editText +
                "?",
            MessageKind::Confirmation};
}

void Locations::rename(tables::Database& db,
                       const std::function<void(const std::string&, int)>& step) {
    if (renameProblem()) throw EngineError("No location chosen to rename in " + file().string());
    const std::string oldName = names_.at(selected);
    const std::string newName = editText;
    std::vector<std::string> updated = names_;
    updated[selected] = newName;
    std::sort(updated.begin(), updated.end());
    static const struct {
        const char* table;
        const char* text;
        int position;
    } kSteps[] = {{"ProdNIR", "Modific in Notele de Receptie...", 30},
                  {"CapFise", "Modific in Magazie...", 60},
                  {"FactOut", "Modific in Facturi vanzari...", 100}};
    db.atomically([&] {
        db.protectFile(file());
        int position = 0;
        for (const auto& s : kSteps) {
            if (step) step(s.text, position);
            db.execute("UPDATE " + QuotedPath(TableFile(db, s.table)) +
                           " SET GESTIUNE=:new WHERE GESTIUNE=:old",
                       {{"new", newName}, {"old", oldName}});
            position = s.position;
            if (step) step(s.text, position);
        }
        WriteLocationsFile(file(), updated);
    });
    if (step) step("Terminat...", 100);
    names_ = std::move(updated);
    selected = static_cast<int>(std::find(names_.begin(), names_.end(), newName) - names_.begin());
    editText.clear();
}

std::optional<FieldProblem> Locations::deleteProblem() const {
    if (names_.empty()) return FieldProblem{kListField, "Nu aveti ce sterge!"};
    if (selected < 0 || selected >= static_cast<int>(names_.size()))
        return FieldProblem{kListField, "Alegeti mai intai o gestiune din lista!"};
    return std::nullopt;
}

Message Locations::deleteQuestion() const {
    return {"Stergere Gestiune", "Sigur stergem gestiunea " + names_.at(selected) + "?",
            MessageKind::Confirmation};
}

std::optional<Message> Locations::remove(tables::Database& db) {
    if (deleteProblem()) throw EngineError("No location chosen to delete in " + file().string());
    const std::string name = names_.at(selected);
    const std::string refused = "Gestiunea " + name + " nu poate fi stearsa\r";
    tables::ResultSet nir = db.query("SELECT P.PRODUS, C.NRNIR, C.DATANIR FROM " +
                                         QuotedPath(TableFile(db, "ProdNIR")) + " P, " +
                                         QuotedPath(TableFile(db, "CapNIR")) +
                                         " C WHERE P.GESTIUNE=:g AND P.IDNIR=C.IDNIR",
                                     {{"g", name}});
    if (!nir.empty()) {
        nir.first();
        return Message{"Stergere Gestiune",
                       refused + "pentru ca apare in N.I.R.nr." + nir.asText("NRNIR") + " din " +
                           nir.asText("DATANIR") + "\rla produsul " + nir.asText("PRODUS") + " !",
                       MessageKind::Error};
    }
    tables::ResultSet invoices =
        db.query("SELECT SERIA, NR, DATAOUT FROM " + QuotedPath(TableFile(db, "FactOut")) +
                     " WHERE GESTIUNE=:g",
                 {{"g", name}});
    if (!invoices.empty()) {
        invoices.first();
        return Message{"Stergere Gestiune",
                       refused + "pentru ca apare in Factura de vanzare " +
                           invoices.asText("SERIA") + " nr." + invoices.asText("NR") + " din " +
                           invoices.asText("DATAOUT") + " !",
                       MessageKind::Error};
    }
    std::vector<std::string> updated = names_;
    updated.erase(updated.begin() + selected);
    WriteLocationsFile(file(), updated);
    names_ = std::move(updated);
    selected = -1;
    return std::nullopt;
}

}  // namespace tvx::core
