// Labour lines from the time norms: the quantities pre-set from the document, the service
// lines replaced by the operations billed, and their amounts.
#include "core/workshop/WorkshopLines.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/common/PeriodChoice.h"
#include "core/common/Rounding.h"
#include "core/common/Schema.h"
#include "core/sales/InvoiceEditor.h"
#include "tables/Database.h"

namespace tvx::core {

using tables::Decimal;

namespace {

constexpr const char* kServiceLine = "IDFISA=-1 AND IDCAP=-1";
constexpr int kWarrantyMonths = 3;

}  // namespace

LabourAmounts LabourLineAmounts(const Decimal& hours, const Decimal& times, const Decimal& rate,
                                const Decimal& vatRate) {
    LabourAmounts a;
    const Decimal worked = hours * times;
    a.hours = RoundHalfAway(worked, 2);
    a.value = (RoundHalfAway(worked * rate * Decimal(100)) / Decimal(100)).rescaled(2);
    a.vat = (RoundHalfAway(a.value * vatRate) / Decimal(100)).rescaled(2);
    return a;
}

std::string LabourRemark(const std::string& section, const std::string& carType) {
    return section + " >> " + carType;
}

void PresetTimeQuantities(tables::Database& db, const std::filesystem::path& linesTable) {
    const std::string timp = QuotedPath(TableFile(db, "Timp"));
    db.atomically([&] {
        db.execute("UPDATE " + timp + " SET CANT=0");
        // The greatest quantity of each name and remark among the document's service lines.
        std::map<std::pair<std::string, std::string>, Decimal> billed;
        tables::ResultSet lines = db.query("SELECT PRODUS, OBS, CANT FROM " +
                                           QuotedPath(linesTable) + " WHERE " + kServiceLine);
        for (lines.first(); !lines.eof(); lines.next()) {
            const auto key = std::make_pair(lines.asText("PRODUS"), lines.asText("OBS"));
            const Decimal quantity = lines.asNumber("CANT");
            const auto found = billed.find(key);
            if (found == billed.end() || quantity > found->second) billed[key] = quantity;
        }
        if (billed.empty()) return;
        tables::ResultSet norms =
            db.query("SELECT IDTIMP, DENUMIRE, SECTIA, TIPAUTO, TIMP FROM " + timp);
        for (norms.first(); !norms.eof(); norms.next()) {
            const auto found =
                billed.find({norms.asText("DENUMIRE"),
                             LabourRemark(norms.asText("SECTIA"), norms.asText("TIPAUTO"))});
            if (found == billed.end()) continue;
            const Decimal hours = norms.asNumber("TIMP");
            // A line of an operation without standard time has 0 hours: it is billed once.
            const Decimal times = hours.isZero() ? Decimal(1) : found->second / hours;
            db.execute("UPDATE " + timp + " SET CANT=:cant WHERE IDTIMP=:id",
                       {{"cant", RoundHalfAway(times, 4)}, {"id", norms.value("IDTIMP")}});
        }
    });
}

int ReplaceWorkshopLines(tables::Database& db, const std::filesystem::path& linesTable,
                         const Decimal& vatRate, tables::Date today) {
    const std::string lines = QuotedPath(linesTable);
    const tables::Date warranty = AddMonths(today, kWarrantyMonths);
    return db.atomically([&] {
        db.execute("DELETE FROM " + lines + " WHERE " + kServiceLine);
        // The lines left keep their order, numbered from 1 without gaps.
        tables::ResultSet kept = db.query("SELECT NRCRT FROM " + lines + " ORDER BY NRCRT");
        long long nrCrt = 0;
        for (kept.first(); !kept.eof(); kept.next()) {
            ++nrCrt;
            const Decimal old = kept.asNumber("NRCRT");
            if (old != Decimal(nrCrt))
                db.execute("UPDATE " + lines + " SET NRCRT=:nr WHERE NRCRT=:old",
                           {{"nr", nrCrt}, {"old", old}});
        }
        tables::ResultSet norms = db.query(
            "SELECT DENUMIRE, SECTIA, TIPAUTO, TIMP, LEIORA, CANT FROM " +
            QuotedPath(TableFile(db, "Timp")) + " WHERE CANT>0 ORDER BY SECTIA, TIPAUTO, DENUMIRE");
        int added = 0;
        for (norms.first(); !norms.eof(); norms.next()) {
            const LabourAmounts a = LabourLineAmounts(
                norms.asNumber("TIMP"), norms.asNumber("CANT"), norms.asNumber("LEIORA"), vatRate);
            db.execute("INSERT INTO " + lines +
                           " (IDFISA, IDCAP, NRCRT, PRODUS, UM, CANT, PRETOUT, VALOUT, VALTVA,"
                           " OBS, GARANTIE, IDCAT) VALUES (-1, -1, :nr, :p, 'ORE', :q, :pu, :v,"
                           " :tva, :obs, :g, 0)",
                       {{"nr", ++nrCrt},
                        {"p", norms.value("DENUMIRE")},
                        {"q", a.hours},
                        {"pu", norms.asNumber("LEIORA")},
                        {"v", a.value},
                        {"tva", a.vat},
                        {"obs", LabourRemark(norms.asText("SECTIA"), norms.asText("TIPAUTO"))},
                        {"g", warranty}});
            ++added;
        }
        return added;
    });
}

bool AddWorkshopLines(InvoiceEditor& editor, const std::function<bool()>& openTimeNorms,
                      tables::Date today) {
    PresetTimeQuantities(editor.database(), editor.linesTable());
    if (!openTimeNorms || !openTimeNorms()) return false;
    ReplaceWorkshopLines(editor.database(), editor.linesTable(), editor.rate(), today);
    editor.recalcTotals();
    return true;
}

}  // namespace tvx::core
