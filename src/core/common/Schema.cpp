// Creation of missing permanent tables, the upgrade of older data directories step by step,
// the start-up packing and the drop of the old Timp index. A table stands in the statements
// for the quoted full path of its file; each step first tests for the old layout, so a
// current data directory is read but never written.
#include "core/common/Schema.h"

#include <system_error>

#include "core/common/Checks.h"
#include "core/common/Settings.h"
#include "core/common/TableLayouts.h"
#include "core/common/TableMaintenance.h"
#include "core/common/TypedNumbers.h"
#include "tables/Database.h"
#include "tables/Decimal.h"
#include "tables/EngineError.h"
#include "tables/Value.h"

namespace tvx::core {

namespace fs = std::filesystem;
using tables::Database;
using tables::EngineError;

namespace {

std::string Table(const Database& db, std::string_view name) {
    return QuotedPath(TableFile(db, name));
}

std::optional<tables::FieldLayout> Field(Database& db, std::string_view table,
                                         std::string_view field) {
    return db.readFieldLayout(TableFile(db, table), field);
}

bool Narrower(const std::optional<tables::FieldLayout>& field, int width) {
    return field && field->width < width;
}

// The hourly rate of older versions; empty or unreadable counts as 0, a decimal comma is
// accepted since older settings files were written with the regional separator.
tables::Decimal OldHourlyRate(const Settings& settings) {
    return TypedNumber(settings.readSetting("CONSTANTE", "TARIF"));
}

}  // namespace

std::string QuotedPath(const fs::path& file) {
    const std::string text = file.string();
    if (text.find('"') != std::string::npos)
        throw EngineError("A table path cannot hold a double quote: " + text);
    return "\"" + text + "\"";
}

fs::path EnsureDataDirectory(const fs::path& programFolder) {
    const fs::path dataDir = programFolder / "Data";
    std::error_code ec;
    fs::create_directories(dataDir, ec);
    if (ec || !fs::is_directory(dataDir))
        throw EngineError("Cannot create the data directory " + dataDir.string() +
                          (ec ? ": " + ec.message() : std::string()));
    return dataDir;
}

fs::path TableFile(const Database& db, std::string_view table) {
    return db.resolveTable(table, false);
}

std::vector<std::string> CreateMissingTables(Database& db) {
    std::vector<std::string> missing;
    for (const TableLayout& layout : permanentTables())
        if (!db.tableExists(TableFile(db, layout.name))) missing.push_back(layout.name);
    if (missing.empty()) return missing;
    db.atomically([&] {
        for (const std::string& name : missing)
            db.execute(createTableStatement(tableLayout(name), db.dataDir() / (name + ".dbf")));
    });
    return missing;
}

LayoutProbe ProbeLayouts(Database& db) {
    LayoutProbe probe;
    probe.catalogWithoutObs = !Field(db, "Catalog", "OBS");
    probe.prodOutWithoutIdCat = !Field(db, "ProdOut", "IDCAT");
    probe.factOutNarrowCui = Narrower(Field(db, "FactOut", "CUI"), 13);
    probe.factOutNarrowCui2 = Narrower(Field(db, "FactOut", "CUI2"), 13);
    probe.factOutNarrowSeria = Narrower(Field(db, "FactOut", "SERIA"), 16);
    probe.factOutWithoutLoc2 = !Field(db, "FactOut", "LOC2");
    probe.factOutWithoutListari = !Field(db, "FactOut", "LISTARI");
    probe.factOutWithoutReprez = !Field(db, "FactOut", "REPREZ");
    const auto cantf = Field(db, "ProdNIR", "CANTF");
    probe.prodNirCantfWidth = cantf ? cantf->width : 0;
    return probe;
}

namespace upgrade {

bool MoveBankAccount(Database& db, Settings& settings) {
    const std::string account = settings.readSetting("SETARI", "CONT");
    if (account.empty()) return false;
    std::string normalised = account;
    std::string bank;
    CheckIBAN(normalised, bank);
    db.atomically([&] {
        db.protectFile(settings.path());
        const std::string id = settings.nextIndex("IDCONT");
        db.execute("INSERT INTO " + Table(db, "Conturi") +
                       " (IDCONT, CONT, BANCA) VALUES (:id, :cont, :banca)",
                   {{"id", tables::Value(id)}, {"cont", account}, {"banca", bank}});
        settings.deleteSetting("SETARI", "CONT");
        settings.deleteSetting("SETARI", "BANCA");
    });
    return true;
}

bool RenameOldSettingsFile(const fs::path& dataDir, const Settings& settings) {
    const fs::path old = dataDir / "Tvx2007.ini";
    std::error_code ec;
    if (!fs::exists(old, ec)) return false;
    // A taken new name makes the rename fail, and then nothing else happens.
    if (fs::exists(settings.path(), ec)) return false;
    fs::rename(old, settings.path(), ec);
    return !ec;
}

bool AddFactOutListari(Database& db, const LayoutProbe& probe) {
    if (!probe.factOutWithoutListari) return false;
    const std::string t = Table(db, "FactOut");
    db.atomically([&] {
        db.execute("ALTER TABLE " + t + " ADD LISTARI DECIMAL(6,0)");
        db.execute("UPDATE " + t + " SET LISTARI=0");
    });
    return true;
}

bool AddChitInReprez(Database& db) {
    if (Field(db, "ChitIn", "REPREZ")) return false;
    const std::string t = Table(db, "ChitIn");
    db.atomically([&] {
        db.execute("ALTER TABLE " + t + " ADD REPREZ CHAR(80)");
        db.execute("UPDATE " + t +
                   " SET REPREZ=CAST(\"achitat \"+FURNIZOR AS CHAR(80))"
                   " WHERE (DOCJUS=\"CHITANTA\" OR DOCJUS=\"BON FISCAL\") AND IDFACT>=0");
        db.execute("UPDATE " + t + " SET REPREZ=CAST(\"alte plati\" AS CHAR(80)) WHERE IDFACT<1");
    });
    return true;
}

bool AddTimpColumns(Database& db, Settings& settings) {
    if (Field(db, "Timp", "LEIORA")) return false;
    const fs::path file = TableFile(db, "Timp");
    db.atomically([&] {
        db.protectFile(settings.path());
        db.execute("ALTER TABLE " + QuotedPath(file) +
                   " ADD IDTIMP DECIMAL(10,0), ADD TIPAUTO CHAR(24), ADD SECTIA CHAR(32),"
                   " ADD LEIORA DECIMAL(8,2), ADD CANT DECIMAL(8,2)");
        const tables::Decimal rate = OldHourlyRate(settings);
        auto editor = db.edit(file);
        for (editor->first(); !editor->eof(); editor->next()) {
            const auto id = tables::Decimal::parse(settings.nextIndex("IDTIMP"));
            if (!id) throw EngineError("Counter IDTIMP of the settings file is not a number");
            editor->setField("IDTIMP", *id);
            editor->setField("TIPAUTO", "DACIA");
            editor->setField("SECTIA", "MECANICA");
            editor->setField("LEIORA", rate);
            editor->setField("CANT", 0);
            editor->post();
        }
    });
    return true;
}

bool WidenFactOutCode(Database& db, const std::string& field) {
    if (!Narrower(Field(db, "FactOut", field), 13)) return false;
    const std::string t = Table(db, "FactOut");
    // The moved codes keep one leading blank, as existing documents carry them so.
    db.atomically([&] {
        db.execute("ALTER TABLE " + t + " ADD XXX CHAR(13)");
        db.execute("UPDATE " + t + " SET XXX=\" \"+" + field);
        db.execute("ALTER TABLE " + t + " DROP " + field);
        db.execute("ALTER TABLE " + t + " ADD " + field + " CHAR(13)");
        db.execute("UPDATE " + t + " SET " + field + "=XXX");
        db.execute("ALTER TABLE " + t + " DROP XXX");
    });
    return true;
}

bool AddFactInCui(Database& db) {
    if (Field(db, "FactIn", "CUI")) return false;
    db.execute("ALTER TABLE " + Table(db, "FactIn") + " ADD CUI CHAR(15)");
    return true;
}

bool AddCapNirListat(Database& db) {
    if (Field(db, "CapNIR", "LISTAT")) return false;
    const std::string t = Table(db, "CapNIR");
    db.atomically([&] {
        db.execute("ALTER TABLE " + t + " ADD LISTAT DECIMAL(6,0)");
        db.execute("UPDATE " + t + " SET LISTAT=1");  // old notes count as printed once
    });
    return true;
}

bool WidenQuantities(Database& db, const LayoutProbe& probe) {
    if (probe.prodNirCantfWidth != 6) return false;
    static const std::pair<const char*, const char*> kFields[] = {
        {"ProdNIR", "CANTF"}, {"ProdNIR", "CANTR"}, {"Fise", "CANTIN"},
        {"Fise", "CANTOUT"},  {"CapFise", "STOC"},  {"ProdOut", "CANT"},
    };
    bool changed = false;
    for (const auto& [table, field] : kFields) {
        try {
            ChangeFieldLayout(db, table, field, tables::FieldLayout{"", 'N', 8, 2});
            changed = true;
        } catch (const EngineError&) {
            // One field that cannot change does not stop the others.
        }
    }
    return changed;
}

bool AddFactOutReprez(Database& db, const LayoutProbe& probe) {
    if (!probe.factOutWithoutReprez) return false;
    db.execute("ALTER TABLE " + Table(db, "FactOut") + " ADD REPREZ CHAR(32)");
    return true;
}

bool WidenSeria(Database& db, const LayoutProbe& probe) {
    if (!probe.factOutNarrowSeria) return false;
    bool changed = false;
    try {
        auto layout = Field(db, "FactOut", "SERIA");
        if (!layout) return false;
        layout->width = 16;
        for (const char* table : {"FactOut", "ChitOut"}) {
            try {
                ChangeFieldLayout(db, table, "SERIA", *layout);
                changed = true;
            } catch (const EngineError&) {
            }
        }
    } catch (const EngineError&) {
    }
    return changed;
}

bool AddProdOutIdCat(Database& db, const LayoutProbe& probe) {
    if (!probe.prodOutWithoutIdCat) return false;
    const std::string t = Table(db, "ProdOut");
    db.atomically([&] {
        db.execute("ALTER TABLE " + t + " ADD IDCAT DECIMAL(10,0)");
        db.execute("UPDATE " + t + " SET IDCAT=0");
    });
    return true;
}

bool AddCatalogObs(Database& db, const LayoutProbe& probe) {
    if (!probe.catalogWithoutObs) return false;
    db.execute("ALTER TABLE " + Table(db, "Catalog") + " ADD OBS CHAR(64)");
    return true;
}

bool AddFactOutLoc2(Database& db, const LayoutProbe& probe) {
    if (!probe.factOutWithoutLoc2) return false;
    db.execute("ALTER TABLE " + Table(db, "FactOut") + " ADD LOC2 CHAR(24)");
    return true;
}

}  // namespace upgrade

std::vector<std::string> UpgradeSchema(Database& db, Settings& settings) {
    std::vector<std::string> done;
    auto note = [&](bool changed, const char* step) {
        if (changed) done.emplace_back(step);
    };
    note(upgrade::MoveBankAccount(db, settings), "bank account");
    const LayoutProbe probe = ProbeLayouts(db);
    // The settings file of older versions takes the current name only after the bank
    // account step has looked at the current one.
    note(upgrade::RenameOldSettingsFile(db.dataDir(), settings), "settings file");
    note(upgrade::AddFactOutListari(db, probe), "FactOut.LISTARI");
    note(upgrade::AddChitInReprez(db), "ChitIn.REPREZ");
    note(upgrade::AddTimpColumns(db, settings), "Timp columns");
    note(upgrade::WidenFactOutCode(db, "CUI"), "FactOut.CUI");
    note(upgrade::AddFactInCui(db), "FactIn.CUI");
    note(upgrade::WidenFactOutCode(db, "CUI2"), "FactOut.CUI2");
    note(upgrade::AddCapNirListat(db), "CapNIR.LISTAT");
    note(upgrade::WidenQuantities(db, probe), "quantity widths");
    note(upgrade::AddFactOutReprez(db, probe), "FactOut.REPREZ");
    note(upgrade::WidenSeria(db, probe), "SERIA width");
    note(upgrade::AddProdOutIdCat(db, probe), "ProdOut.IDCAT");
    note(upgrade::AddCatalogObs(db, probe), "Catalog.OBS");
    note(upgrade::AddFactOutLoc2(db, probe), "FactOut.LOC2");
    return done;
}

const std::vector<PackStep>& PackOrder() {
    static const std::vector<PackStep> order = {
        {"FactIn", 10},  {"ChitIn", 10}, {"CapNIR", 10},  {"ProdNIR", 10},
        {"CapFise", 10}, {"Fise", 10},   {"FactOut", 10}, {"ProdOut", 10},
        {"ChitOut", 10}, {"Comenzi", 5}, {"Timp", 5},
    };
    return order;
}

void PackTables(Database& db, const std::function<void(int position)>& advanced) {
    int position = 0;
    for (const PackStep& step : PackOrder()) {
        PackTable(db, TableFile(db, step.table));
        position += step.progress;
        if (advanced) advanced(position);
    }
}

bool DropTimpIndex(Database& db) {
    std::error_code ec;
    bool present = false;
    for (const auto& entry : fs::directory_iterator(db.dataDir(), ec))
        if (tables::equalsIgnoreCase(entry.path().filename().string(), "Timp.mdx")) present = true;
    if (!present) return false;
    try {
        db.execute("DROP INDEX " + Table(db, "Timp") + ".COD");
        return true;
    } catch (const EngineError&) {
        return false;
    }
}

std::string TidyTables(Database& db, const std::function<void(int position)>& advanced) {
    try {
        PackTables(db, advanced);
        DropTimpIndex(db);
        return {};
    } catch (const EngineError& error) {
        return error.what();
    }
}

}  // namespace tvx::core
