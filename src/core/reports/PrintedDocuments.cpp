// Label texts of the printed invoice and receipt, and the printed lines table Fact.dbf.
#include "core/reports/PrintedDocuments.h"

#include "core/admin/AdminCommon.h"
#include "core/admin/CompanyProfile.h"
#include "core/common/AmountInWords.h"
#include "core/common/Rounding.h"
#include "core/common/Schema.h"
#include "core/common/TableLayouts.h"
#include "core/common/TextRoutines.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/ResultSet.h"
#include "tables/Value.h"

namespace tvx::core {

using tables::Database;
using tables::Date;
using tables::Decimal;
using tables::EngineError;
using tables::ResultSet;

namespace {

constexpr const char* kFiscalReceiptSeries = "BON F.";
constexpr int kBlankRowsWithoutLines = 25;

std::string Table(const Database& db, const char* name) {
    return QuotedPath(TableFile(db, name));
}

std::string Whole(const Decimal& x) {
    return std::to_string(x.rescaled(0, tables::Rounding::Truncate).toLongLong());
}

std::string TwoDecimals(const Decimal& x) {
    return x.rescaled(2).toString();
}

int FirstPrintedSerial() {
    return Date::fromYmd(2000, 1, 1).toSerial();
}

// dd.MM.yyyy, a single blank for no date or one before 2000.
std::string PrintedDate(const std::optional<Date>& date) {
    if (!date || date->toSerial() < FirstPrintedSerial()) return " ";
    return date->toString();
}

std::string TwoDigits(long long n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

// DATALIV: whole days the date, the fraction the time of day; "dd.MM.yyyy  hh:mm".
std::string PrintedDelivery(const Decimal& stamp) {
    long long days = stamp.rescaled(0, tables::Rounding::Truncate).toLongLong();
    if (days < FirstPrintedSerial()) return " ";
    long long seconds = RoundHalfAway((stamp - Decimal(days)) * Decimal(86400)).toLongLong();
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    if (seconds < 0) seconds = 0;
    return Date::fromSerial(static_cast<int>(days)).toString() + "  " + TwoDigits(seconds / 3600) +
           ":" + TwoDigits(seconds % 3600 / 60);
}

ResultSet OneRow(Database& db, const char* table, const char* key, long long id) {
    ResultSet rs =
        db.query("SELECT * FROM " + Table(db, table) + " WHERE " + key + "=:id", {{"id", id}});
    if (rs.empty())
        throw EngineError(std::string(table) + ": no row with " + key + " " + std::to_string(id),
                          table);
    rs.first();
    return rs;
}

BoundLabel Text(const char* label, std::string text) {
    return {label, false, std::move(text)};
}
BoundLabel Box(const char* label, std::string text) {
    return {label, true, std::move(text)};
}
BoundLabel Untouched(const char* label, bool textBox = false) {
    return {label, textBox, std::nullopt};
}

// Appends one row; each text is cut to its column width.
void InsertLine(Database& db, const std::string& table, const std::vector<std::string>& values) {
    const auto& layout = tableLayout("Fact");
    tables::Params params;
    std::string names, slots;
    for (size_t i = 0; i < layout.fields.size(); ++i) {
        const auto& field = layout.fields[i];
        names += (i ? ", " : "") + field.name;
        slots += (i ? ", :" : ":") + field.name;
        params[field.name] = FirstChars(values[i], static_cast<size_t>(field.width));
    }
    db.execute("INSERT INTO " + table + " (" + names + ") VALUES (" + slots + ")", params);
}

// A Fact.dbf row in column order: NRCRT, PRODUS, UM, CANT, PU, VALOARE, VALTVA.
std::vector<std::string> LineValues(std::string nr, std::string product, std::string unit,
                                    std::string quantity, const Decimal& price,
                                    const Decimal& value, const Decimal& vat) {
    return {std::move(nr),      std::move(product), std::move(unit), std::move(quantity),
            TwoDecimals(price), TwoDecimals(value), TwoDecimals(vat)};
}

}  // namespace

const BoundLabel* DocumentLabels::find(std::string_view componentName) const {
    if (componentName.empty()) return nullptr;
    const std::string_view name = componentName.substr(0, componentName.size() - 1);
    for (const auto& row : rows)
        if (tables::equalsIgnoreCase(row.label, name)) return &row;
    return nullptr;
}

std::optional<std::string> DocumentLabels::textFor(std::string_view componentName) const {
    const BoundLabel* row = find(componentName);
    return row ? row->text : std::nullopt;
}

DocumentLabels BindDocumentLabels(Database& db, const CompanyProfile& company, long long idFacto,
                                  std::optional<long long> idChit) {
    const ResultSet f = OneRow(db, "FactOut", "IDFACTO", idFacto);
    const auto t = [&](const char* field) { return f.asText(field); };

    DocumentLabels labels;
    labels.title = t("SERIA") == kFiscalReceiptSeries ? "BON FISCAL" : "F A C T U R A";
    labels.receiptTitle = "CHITANTA";
    labels.telephone = company.telFax;
    labels.receiptBand = idChit.has_value();
    labels.rows = {
        Box("LMySocNume", t("SOC")),
        Box("LMySocAdresa", t("ADRESA")),
        Box("LCumparatorNume", t("SOC2")),
        Box("LCumparatorAdresa", t("LOC2") + " " + t("ADRESA2")),
        Text("LMySocRC", t("RJ")),
        Text("LMySocCUI", t("CUI")),
        Text("LMySocJudet", t("JUD")),
        Text("LMySocBanca", t("BANCA")),
        Text("LMySocCont", t("CONT")),
        Text("LFacturaSeria", t("SERIA")),
        Text("LCumparatorRJ", t("RJ2")),
        Text("LCumparatorCUI", t("CUI2")),
        Text("LCumparatorJudet", t("JUD2")),
        Text("LCumparatorBanca", t("BANCA2")),
        Text("LCumparatorCont", t("CONT2")),
        Text("LDelegat", t("DELEG")),
        Text("LTransport", t("MIJT")),
        Text("LOperator", t("OPERAT")),
        Text("LMySocCapital", Whole(f.asNumber("CAPITAL"))),
        Text("LFacturaNr", Whole(f.asNumber("NR"))),
        Text("LCotaTVA", Whole(f.asNumber("TVAPROC")) + " %"),
        Untouched("LTotalPlata"),
        Untouched("LTotalValoare"),
        Untouched("LTotalTVA"),
        Text("LData", PrintedDate(f.asDate("DATAOUT"))),
        Text("LLivrare", PrintedDelivery(f.asNumber("DATALIV"))),
    };
    if (!idChit) {
        for (const char* label : {"LChitMySoc", "LChitMySocAdresa"})
            labels.rows.push_back(Untouched(label, true));
        for (const char* label : {"LChitMySocRJ", "LChitMySocCUI", "LChitMySocJudet",
                                  "LChitCumparator", "LChitAdresaCumparator", "LChitReprezentand",
                                  "LChitSuma", "LChitSeriaNr", "LChitData", "LChitSumaLitere"})
            labels.rows.push_back(Untouched(label));
        return labels;
    }

    const ResultSet c = OneRow(db, "ChitOut", "IDCHIT", *idChit);
    const std::string sum = TwoDecimals(c.asNumber("SUMA"));
    const auto date = c.asDate("DATAOUT");
    const std::vector<BoundLabel> receipt = {
        Box("LChitMySoc", t("SOC")),
        Box("LChitMySocAdresa", t("ADRESA")),
        Text("LChitMySocRJ", t("RJ")),
        Text("LChitMySocCUI", t("CUI")),
        Text("LChitMySocJudet", t("JUD")),
        Text("LChitCumparator", t("SOC2") + " CIF " + t("CUI2") + " RC " + t("RJ2")),
        Text("LChitAdresaCumparator",
             CleanText(t("LOC2") + " " + t("ADRESA2")) + " jud." + t("JUD2")),
        Text("LChitReprezentand", c.asText("REPREZ")),
        Text("LChitSuma", sum),
        Text("LChitSeriaNr", "seria " + c.asText("SERIA") + " nr." + Whole(c.asNumber("NR"))),
        Text("LChitData", "data : " + (date ? date->toString() : std::string())),
        Text("LChitSumaLitere", AmountInWords(sum)),
    };
    labels.rows.insert(labels.rows.end(), receipt.begin(), receipt.end());
    return labels;
}

std::filesystem::path InvoiceLinesFile(const Database& db) {
    return db.programDir() / "Fact.dbf";
}

bool BuildInvoiceLines(Database& db, const CompanyProfile& company, long long idFacto) {
    DeleteInvoiceLines(db);
    const auto file = InvoiceLinesFile(db);
    db.execute(createTableStatement(tableLayout("Fact"), file));
    const std::string fact = QuotedPath(file);

    ResultSet lines =
        db.query("SELECT * FROM " + Table(db, "ProdOut") + " WHERE IDFACTO=:id ORDER BY NRCRT",
                 {{"id", idFacto}});
    if (company.workshop()) {
        Decimal partsValue, partsVat, labourValue, labourVat;
        for (lines.first(); !lines.eof(); lines.next()) {
            const bool labour = lines.asNumber("IDFISA") == Decimal(-1);
            (labour ? labourValue : partsValue) += lines.asNumber("VALOUT");
            (labour ? labourVat : partsVat) += lines.asNumber("VALTVA");
        }
        InsertLine(
            db, fact,
            LineValues("1", "Piese - conform deviz", "BUC", "1", partsValue, partsValue, partsVat));
        InsertLine(db, fact,
                   LineValues("2", "Manopera - conform deviz", "BUC", "1", labourValue, labourValue,
                              labourVat));
    } else {
        for (lines.first(); !lines.eof(); lines.next())
            InsertLine(db, fact,
                       LineValues(Whole(lines.asNumber("NRCRT")), lines.asText("PRODUS"),
                                  lines.asText("UM"), TwoDecimals(lines.asNumber("CANT")),
                                  lines.asNumber("PRETOUT"), lines.asNumber("VALOUT"),
                                  lines.asNumber("VALTVA")));
    }
    return !lines.empty();
}

void AppendClosingRows(Database& db, long long idFacto, bool hasLines) {
    const std::string fact = QuotedPath(InvoiceLinesFile(db));
    const std::vector<std::string> blank(tableLayout("Fact").fields.size());
    if (!hasLines) {
        for (int i = 0; i < kBlankRowsWithoutLines; ++i) InsertLine(db, fact, blank);
        return;
    }
    const ResultSet f = OneRow(db, "FactOut", "IDFACTO", idFacto);
    const auto due = f.asDate("DATASCAD");
    auto textRow = [&](std::string text) {
        std::vector<std::string> row = blank;
        row[1] = std::move(text);
        InsertLine(db, fact, row);
    };
    InsertLine(db, fact, blank);
    textRow("Termen de achitare a facturii : " + (due ? due->toString() : std::string()));
    textRow(f.asText("OBS"));
}

void DeleteInvoiceLines(Database& db) {
    const auto file = InvoiceLinesFile(db);
    if (db.tableExists(file)) db.execute("DROP TABLE " + QuotedPath(file));
}

}  // namespace tvx::core
