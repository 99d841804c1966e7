// The generated shop's settings file: a fixed company profile, and units and counters read
// back from the rows through the engine, the way the program would find them.
#include "ShopSettings.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "ShopModel.h"
#include "core/app/Session.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "tables/EngineError.h"

namespace tvx::gen {

namespace {

using tables::Database;

// The e-invoice unit item (as the unit chooser lists it) of each unit the generator writes.
const std::map<std::string, std::string>& UnitItems() {
    static const std::map<std::string, std::string> items = {
        {"BUC", "H87 - BUCATI"}, {"KG", "KGM - KILOGRAM"}, {"L", "LTR - LITRU"},
        {"M", "MTR - METRU"},    {"ORA", "HUR - ORA"},     {"PER", "PR - PERECHE"},
        {"SAC", "XBG - SAC"},    {"SET", "SET - SET"},     {"ROLA", "XRL - ROLA"},
        {"TOP", "XBE - PACHET"}, {"KM", "SX - TRANSPORT"},
    };
    return items;
}

std::string Table(const Database& db, const char* name) {
    return core::QuotedPath(core::TableFile(db, name));
}

// One past the highest value of `column` in the statement's rows; 1 when there are none.
long long NextAfter(Database& db, const std::string& sql) {
    const tables::Value highest = db.query(sql).at(0, 0);
    return highest.isNull() ? 1 : highest.number().toLongLong() + 1;
}

long long NextOfColumn(Database& db, const char* table, const char* column,
                       const std::string& where = "") {
    return NextAfter(db, "SELECT MAX(" + std::string(column) + ") FROM " + Table(db, table) +
                             (where.empty() ? "" : " WHERE " + where));
}

void WriteProfile(core::Settings& settings, const ShopProfileOptions& options) {
    const Party self = shopCompany(options.vatPayer);
    const std::vector<std::pair<const char*, std::string>> keys = {
        {"DENUMIRE", self.name},
        {"REGCOM", self.tradeRegister},
        {"CODFISC", self.taxCode},
        {"ADRESA", self.address},
        {"Localit", self.place.locality},
        {"JUDET", self.place.county},
        {"TELFAX", "0264 123 456"},
        {"CAPSOC", "200"},
        {"DOMENIU", "GENERAL"},
        {"FACTSERIA", "TVX"},
        {"FACTNRMAX", "9999999"},
        {"CHITSERIA", "TVXC"},
        {"CHITNRMAX", "9999999"},
        {"AVIZSERIA", "TVXA"},
        {"TVALAINC", "NU"},
        {"SPLITTVA", "NU"},
        {"OFFICEOLD", "NU"},
    };
    for (const auto& [key, value] : keys) settings.writeSetting("SETARI", key, value);
    settings.writeVatRate(19);
    settings.writeSetting("CONSTANTE", "TERMENPL", "30");
    settings.writeSetting("VARFACT", "NRCOPII", "1");
    settings.writeSetting("FACTURA", "OPERATOR", "POPESCU ANA");
}

void WriteUnits(Database& db, core::Settings& settings) {
    for (const char* table : {"ProdNIR", "ProdOut", "Catalog", "CapFise"}) {
        const auto units = db.query("SELECT UM FROM " + Table(db, table) + " GROUP BY UM");
        for (size_t r = 0; r < units.rowCount(); ++r) {
            const std::string unit = units.at(r, 0).toString();
            if (unit.empty()) continue;
            const auto item = UnitItems().find(unit);
            if (item == UnitItems().end())
                throw tables::EngineError("No e-invoice unit code for the unit " + unit);
            settings.writeSetting("UMS", unit, item->second);
            settings.writeSetting("UMS", unit + "Auto", "DA");
        }
    }
}

void WriteCounters(Database& db, core::Settings& settings) {
    const auto set = [&](const std::string& counter, long long next) {
        settings.setIndex(counter, std::to_string(next));
    };
    set("IDFACT", NextOfColumn(db, "FactIn", "IDFACT"));
    set("IDCHIT",
        std::max(NextOfColumn(db, "ChitIn", "IDCHIT"), NextOfColumn(db, "ChitOut", "IDCHIT")));
    set("IDNIR", NextOfColumn(db, "CapNIR", "IDNIR"));
    set("NRNIR", NextOfColumn(db, "CapNIR", "NRNIR"));
    set("IDPROD", NextOfColumn(db, "ProdNIR", "IDPROD"));
    set("IDCAP", NextOfColumn(db, "CapFise", "IDCAP"));
    set("IDFISA", NextOfColumn(db, "Fise", "IDFISA"));
    set("IDFACTO", NextOfColumn(db, "FactOut", "IDFACTO"));
    set("FACTNR", NextOfColumn(db, "FactOut", "NR", "SERIA='TVX'"));
    set("NRBON", NextOfColumn(db, "FactOut", "NR", "SERIA='BON F.'"));
    set("CHITNR", NextOfColumn(db, "ChitOut", "NR", "SERIA='TVXC'"));
    set("COMANDANR", NextOfColumn(db, "Comenzi", "NR"));
    set("IDCAT", NextOfColumn(db, "Catalog", "IDCAT"));
    set("IDTIMP", NextOfColumn(db, "Timp", "IDTIMP"));
    set("IDCOM", NextOfColumn(db, "Precom", "IDCOM"));
    set("NRCOM", NextOfColumn(db, "Precom", "NRCOM"));
    set("IDCONT", NextOfColumn(db, "Conturi", "IDCONT"));
    // Stock-exit documents are numbered per document name.
    const auto exits = db.query("SELECT DOCJUS, MAX(NRDOC) FROM " + Table(db, "Fise") +
                                " WHERE TIP='IESIRE' OR TIP='TRANSFER' GROUP BY DOCJUS");
    for (size_t r = 0; r < exits.rowCount(); ++r)
        set(exits.at(r, 0).toString(), exits.at(r, 1).number().toLongLong() + 1);
}

}  // namespace

void writeShopSettings(Database& db, const ShopProfileOptions& options) {
    core::Settings settings(db.dataDir() / core::kSettingsFileName, &db);
    db.atomically([&] {
        WriteProfile(settings, options);
        WriteUnits(db, settings);
        WriteCounters(db, settings);
    });
}

}  // namespace tvx::gen
