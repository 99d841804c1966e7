// The export to SAGA (core/exports): the two sources read through the engine, the article
// plan, the three work tables written from the embedded empty tables in one write each,
// and their placing in the chosen folder (copies beside the targets, then renames).
#include "core/exports/SagaExport.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <system_error>

#include "core/common/PeriodChoice.h"
#include "core/common/Schema.h"
#include "core/common/TempFiles.h"
#include "core/common/Templates.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/FieldCodec.h"
#include "tables/dbf/DbfFile.h"
#include "tables/platform/File.h"

namespace tvx::core {

namespace fs = std::filesystem;
using tables::Date;
using tables::Decimal;
using tables::EngineError;
using tables::ResultSet;
using tables::Value;

SagaArticlePlan PlanSagaArticles(const std::vector<std::string>& entryCards,
                                 const std::vector<std::string>& exitCards) {
    SagaArticlePlan plan;
    std::map<std::string, long long> numberOfCard;  // a card's first article
    const auto add = [&](const std::string& card, bool fromExit, size_t line) {
        plan.articles.push_back({fromExit, line});
        const auto number = static_cast<long long>(plan.articles.size());
        numberOfCard.emplace(card, number);  // kept when the card has an article already
    };
    for (size_t i = 0; i < entryCards.size(); ++i) add(entryCards[i], false, i);
    for (size_t i = 0; i < exitCards.size(); ++i)
        if (!numberOfCard.contains(exitCards[i])) add(exitCards[i], true, i);
    for (const auto& card : entryCards) plan.entryNumbers.push_back(numberOfCard.at(card));
    for (const auto& card : exitCards) plan.exitNumbers.push_back(numberOfCard.at(card));
    return plan;
}

namespace {

constexpr const char* kModelKind = "MODEL";
constexpr const char* kGoods = "Marfuri";
constexpr const char* kLocationCode = "1";
constexpr const char* kLocationName = "LACTATE";

bool AllLocations(const std::string& location) {
    return location.empty() || location == kAllLocations;
}

ResultSet QueryEntries(tables::Database& db, const SagaPeriod& period) {
    tables::Params params{{"from", period.from}, {"to", period.to}};
    std::string sql =
        "SELECT A.NRNIR, A.DATANIR, A.SERIENR, A.TVAPROC, B.IDCAP, B.PRODUS, B.UM, B.CANTR, "
        "B.VALOARE, B.VALTVA, B.PRETA FROM " +
        QuotedPath(TableFile(db, "CapNIR")) + " A JOIN " + QuotedPath(TableFile(db, "ProdNIR")) +
        " B ON A.IDNIR=B.IDNIR WHERE A.DATANIR>=:from AND A.DATANIR<=:to";
    if (!AllLocations(period.location)) {
        sql += " AND B.GESTIUNE=:location";
        params["location"] = period.location;
    }
    return db.query(sql + " ORDER BY A.DATANIR, A.NRNIR, B.IDPROD", params);
}

ResultSet QueryExits(tables::Database& db, const SagaPeriod& period) {
    tables::Params params{{"from", period.from}, {"to", period.to}};
    std::string sql =
        "SELECT B.IDCAP, B.PRODUS, B.UM, B.CANT, B.PRETOUT, B.VALOUT, B.VALTVA, A.NR, "
        "A.DATAOUT, A.TVAPROC, A.DATASCAD FROM " +
        QuotedPath(TableFile(db, "ProdOut")) + " B JOIN " + QuotedPath(TableFile(db, "FactOut")) +
        " A ON B.IDFACTO=A.IDFACTO WHERE A.DATAOUT>=:from AND A.DATAOUT<=:to";
    if (!AllLocations(period.location)) {
        sql += " AND A.GESTIUNE=:location";
        params["location"] = period.location;
    }
    return db.query(sql + " ORDER BY A.DATAOUT, A.IDFACTO, B.NRCRT", params);
}

std::vector<std::string> CardsOf(const ResultSet& rows) {
    const int column = rows.fieldIndex("IDCAP");
    std::vector<std::string> cards;
    cards.reserve(rows.rowCount());
    for (size_t r = 0; r < rows.rowCount(); ++r) cards.push_back(rows.at(r, column).toString());
    return cards;
}

// One work table: its layout read from the extracted empty table, the records built in
// memory and the whole file written at the end.
class WorkTable {
  public:
    WorkTable(const char* model, const fs::path& file) : model_(model), file_(file) {
        if (!ExtractTemplate(model, kModelKind, file))
            throw EngineError("Fisierul de lucru " + file.string() + " nu a putut fi scris.");
        table_ = tables::dbf::DbfFile::open(file);
        if (table_->header().version != 0x04 || table_->header().productionIndex)
            throw EngineError("Tabelul gol " + model_ + " din program nu este dBase nivel 7.");
        head_ = *FindTemplate(model, kModelKind);
        head_.resize(static_cast<size_t>(table_->header().headerLength));
    }

    void startRow() { record_ = table_->blankRecord(); }
    // A value the field cuts when too long (names).
    void set(const char* field, const Value& value) {
        tables::encodeField(value, descriptor(field), record_, model_);
    }
    // A code: refused rather than cut when it does not fit.
    void setCode(const char* field, const std::string& code) {
        const auto& d = descriptor(field);
        if (static_cast<int>(code.size()) > d.width)
            throw EngineError("Valoarea " + code + " nu incape in campul " + d.name + " (" +
                              std::to_string(d.width) + " caractere) al tabelului " + model_ + ".");
        tables::encodeField(Value(code), d, record_, model_);
    }
    void endRow() {
        records_ += record_;
        ++rows_;
    }

    // Writes header, records and end mark with the count and today's date in the header.
    void write() {
        std::string image = head_;
        const Date today = Today();
        image[1] = static_cast<char>(today.year() - 1900);
        image[2] = static_cast<char>(today.month());
        image[3] = static_cast<char>(today.day());
        for (int i = 0; i < 4; ++i) image[4 + i] = static_cast<char>((rows_ >> (8 * i)) & 0xFF);
        image += records_;
        image += '\x1A';
        std::ofstream out(file_, std::ios::binary | std::ios::trunc);
        out.write(image.data(), static_cast<std::streamsize>(image.size()));
        out.close();
        if (!out)
            throw EngineError("Fisierul de lucru " + file_.string() + " nu a putut fi scris.");
    }
    size_t rows() const { return rows_; }

  private:
    const tables::dbf::FieldDescriptor& descriptor(const char* field) const {
        const int index = table_->findField(field);
        if (index < 0) throw EngineError("Tabelul " + model_ + " nu are campul " + field + ".");
        return table_->fields()[static_cast<size_t>(index)];
    }

    std::string model_;
    fs::path file_;
    std::unique_ptr<tables::dbf::DbfFile> table_;
    std::string head_;
    std::string record_;
    std::string records_;
    uint32_t rows_ = 0;
};

fs::path FreeWorkName(const fs::path& folder, const char* prefix) {
    fs::path file = TempFileName(folder, prefix, ".dbf");
    if (file.empty())
        throw EngineError("Nu exista nume liber pentru fisierul de lucru " + std::string(prefix) +
                          " in " + folder.string() + ".");
    return file;
}

// Removes the files listed unless released (the work files of a failed export).
class RemoveUnlessKept {
  public:
    explicit RemoveUnlessKept(const SagaFiles& files) : files_(files) {}
    ~RemoveUnlessKept() {
        if (!kept_) RemoveSagaFiles(files_);
    }
    void keep() { kept_ = true; }

  private:
    const SagaFiles& files_;
    bool kept_ = false;
};

void WriteArticles(WorkTable& table, const SagaArticlePlan& plan, const ResultSet& entries,
                   const ResultSet& exits) {
    const auto column = [](const ResultSet& rows, const char* name) {
        return rows.fieldIndex(name);
    };
    const int entryName = column(entries, "PRODUS"), entryUnit = column(entries, "UM"),
              entryVat = column(entries, "TVAPROC");
    const int exitName = column(exits, "PRODUS"), exitUnit = column(exits, "UM"),
              exitVat = column(exits, "TVAPROC");
    for (size_t i = 0; i < plan.articles.size(); ++i) {
        const auto& source = plan.articles[i];
        const ResultSet& rows = source.fromExit ? exits : entries;
        table.startRow();
        table.setCode("COD", std::to_string(i + 1));
        table.set("DENUMIRE", rows.at(source.line, source.fromExit ? exitName : entryName));
        table.set("UM", rows.at(source.line, source.fromExit ? exitUnit : entryUnit));
        table.set("TVA", rows.at(source.line, source.fromExit ? exitVat : entryVat));
        table.set("TIP", Value("01"));
        table.set("DEN_TIP", Value(kGoods));
        table.set("PRET_VANZ", Value(0));
        table.set("PRET_V_TVA", Value(0));
        table.set("CANT_MIN", Value(0));
        table.endRow();
    }
}

// A VAT percentage as a whole number.
Value WholeNumber(const Value& value) {
    if (!value.isNumber()) return value;
    return Value(value.number().rescaled(0));
}

void WriteEntries(WorkTable& table, const SagaArticlePlan& plan, const ResultSet& rows) {
    const int nr = rows.fieldIndex("NRNIR"), series = rows.fieldIndex("SERIENR"),
              date = rows.fieldIndex("DATANIR"), vat = rows.fieldIndex("TVAPROC"),
              name = rows.fieldIndex("PRODUS"), unit = rows.fieldIndex("UM"),
              quantity = rows.fieldIndex("CANTR"), value = rows.fieldIndex("VALOARE"),
              vatValue = rows.fieldIndex("VALTVA"), price = rows.fieldIndex("PRETA");
    for (size_t r = 0; r < rows.rowCount(); ++r) {
        table.startRow();
        table.set("NR_NIR", rows.at(r, nr));
        table.set("NR_INTRARE", rows.at(r, series));
        table.set("GESTIUNE", Value(kLocationCode));
        table.set("DEN_GEST", Value(kLocationName));
        table.set("COD", Value("01"));
        table.set("DATA", rows.at(r, date));
        table.set("SCADENT", rows.at(r, date));
        table.set("TVAI", Value(0));
        table.setCode("COD_ART", std::to_string(plan.entryNumbers[r]));
        table.set("DEN_ART", rows.at(r, name));
        table.set("UM", rows.at(r, unit));
        table.set("CANTITATE", rows.at(r, quantity));
        table.set("DEN_TIP", Value(kGoods));
        table.set("TVA_ART", WholeNumber(rows.at(r, vat)));
        table.set("VALOARE", rows.at(r, value));
        table.set("TVA", rows.at(r, vatValue));
        table.set("CONT", Value("371"));
        table.set("PRET_VANZ", rows.at(r, price));
        table.endRow();
    }
}

void WriteExits(WorkTable& table, const SagaArticlePlan& plan, const ResultSet& rows) {
    const int nr = rows.fieldIndex("NR"), date = rows.fieldIndex("DATAOUT"),
              due = rows.fieldIndex("DATASCAD"), vat = rows.fieldIndex("TVAPROC"),
              name = rows.fieldIndex("PRODUS"), unit = rows.fieldIndex("UM"),
              quantity = rows.fieldIndex("CANT"), value = rows.fieldIndex("VALOUT"),
              vatValue = rows.fieldIndex("VALTVA"), price = rows.fieldIndex("PRETOUT");
    for (size_t r = 0; r < rows.rowCount(); ++r) {
        table.startRow();
        table.setCode("NR_IESIRE", rows.at(r, nr).toString());
        table.setCode("COD", std::to_string(r + 1));
        table.set("DATA", rows.at(r, date));
        table.set("SCADENT", rows.at(r, due));
        table.set("TVAI", Value(0));
        table.set("GESTIUNE", Value(kLocationCode));
        table.set("DEN_GEST", Value(kLocationName));
        table.setCode("COD_ART", std::to_string(plan.exitNumbers[r]));
        table.set("DEN_ART", rows.at(r, name));
        table.set("UM", rows.at(r, unit));
        table.set("CANTITATE", rows.at(r, quantity));
        table.set("DEN_TIP", Value(kGoods));
        table.set("TVA_ART", WholeNumber(rows.at(r, vat)));
        table.set("VALOARE", rows.at(r, value));
        table.set("TVA", rows.at(r, vatValue));
        table.set("CONT", Value("707"));
        table.set("PRET_VANZ", rows.at(r, price));
        table.endRow();
    }
}

std::string DashedDate(Date date) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d-%02d-%04d", date.day(), date.month(), date.year());
    return text;
}

bool Exists(const fs::path& file) {
    std::error_code ec;
    return fs::symlink_status(file, ec).type() != fs::file_type::not_found;
}

}  // namespace

SagaFiles WriteSagaWorkFiles(tables::Database& db, const fs::path& workFolder,
                             const SagaPeriod& period) {
    SagaFiles work;
    RemoveUnlessKept cleanup(work);
    const ResultSet entries = QueryEntries(db, period);
    const ResultSet exits = QueryExits(db, period);
    const SagaArticlePlan plan = PlanSagaArticles(CardsOf(entries), CardsOf(exits));

    // Each name is taken once the previous file exists, so the three never collide.
    work.articles = FreeWorkName(workFolder, "Art");
    WorkTable articles("Articole", work.articles);
    work.entries = FreeWorkName(workFolder, "IN");
    WorkTable entryTable("IN", work.entries);
    work.exits = FreeWorkName(workFolder, "IE");
    WorkTable exitTable("IE", work.exits);

    WriteArticles(articles, plan, entries, exits);
    WriteEntries(entryTable, plan, entries);
    WriteExits(exitTable, plan, exits);
    articles.write();
    entryTable.write();
    exitTable.write();
    work.articleRows = articles.rows();
    work.entryRows = entryTable.rows();
    work.exitRows = exitTable.rows();
    cleanup.keep();
    return work;
}

std::vector<std::string> SagaFileNames(Date from, Date to) {
    const std::string period = "_" + DashedDate(from) + "_" + DashedDate(to) + ".dbf";
    return {"Articole" + period, "IN" + period, "IE" + period};
}

std::vector<std::string> ExistingSagaFiles(const fs::path& folder, Date from, Date to) {
    std::vector<std::string> existing;
    for (const auto& name : SagaFileNames(from, to))
        if (Exists(folder / name)) existing.push_back(name);
    return existing;
}

Message SagaReplaceQuestion(const std::vector<std::string>& existing) {
    std::string text = "In folderul ales exista deja:";
    for (const auto& name : existing) text += "\r" + name;
    text += "\rLe inlocuim cu cele noi?";
    return {kSagaTitle, text, MessageKind::Confirmation};
}

SagaFiles PlaceSagaFiles(const SagaFiles& work, const fs::path& folder, Date from, Date to,
                         bool replace) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        throw EngineError("Folderul " + folder.string() + " nu exista.");
    const auto names = SagaFileNames(from, to);
    if (!replace) {
        const auto existing = ExistingSagaFiles(folder, from, to);
        if (!existing.empty())
            throw EngineError("In folderul " + folder.string() + " exista deja " + existing[0] +
                              "; fisierele nu au fost inlocuite.");
    }
    const auto sources = work.paths();
    std::vector<fs::path> staged;
    const auto fail = [&](const std::string& reason) {
        std::error_code ignored;
        for (const auto& file : staged) fs::remove(file, ignored);
        throw EngineError("Fisierele nu au putut fi puse in folderul " + folder.string() + ": " +
                          reason);
    };
    // Copies beside the targets first: a failure leaves the folder as it was.
    // Named after this process and never written over: a file of the user's is not touched.
    for (size_t i = 0; i < names.size(); ++i) {
        const fs::path copy =
            folder / ("." + names[i] + "." + tables::platform::processId() + ".tmp");
        fs::copy_file(sources[i], copy, fs::copy_options::none, ec);
        if (ec) fail(copy.filename().string() + ": " + ec.message());
        staged.push_back(copy);
    }
    SagaFiles placed = work;
    for (size_t i = 0; i < names.size(); ++i) {
        const fs::path target = folder / names[i];
        fs::rename(staged[i], target, ec);
        if (ec) fail(target.filename().string() + ": " + ec.message());
    }
    placed.articles = folder / names[0];
    placed.entries = folder / names[1];
    placed.exits = folder / names[2];
    RemoveSagaFiles(work);
    return placed;
}

void RemoveSagaFiles(const SagaFiles& files) {
    std::error_code ec;
    for (const auto& file : files.paths())
        if (!file.empty()) fs::remove(file, ec);
}

}  // namespace tvx::core
