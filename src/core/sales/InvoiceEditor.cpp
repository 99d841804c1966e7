// The outgoing invoice editor's header: defaults and work tables of a new, modified or viewed
// document, the reactions of the type, buyer and account fields, the checks of "&Memoreaza",
// the defaults it remembers and the document handed to posting.
#include "core/sales/InvoiceEditor.h"

#include <algorithm>

#include "core/admin/CompanyProfile.h"
#include "core/app/Session.h"
#include "core/common/Checks.h"
#include "core/common/Lists.h"
#include "core/common/Rounding.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/TableLayouts.h"
#include "core/common/TextRoutines.h"
#include "core/common/TypedNumbers.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {

using tables::Date;
using tables::Decimal;
using tables::EngineError;

namespace {

constexpr const char* kMunicipality = "MUNICIPIUL BUCURESTI";
constexpr const char* kNumberingTitle = "Adaugare factura";
constexpr const char* kAdminHint = "Intrati la sectiunea Administrare si completati datele!";

// A typed whole number; 0 for anything that is not one.
long long WholeNumber(const std::string& text) {
    const auto value = ParseTypedNumber(text);
    if (!value || value->isNegative() || value->units() > static_cast<__int128>(9999999999LL))
        return 0;
    return value->toLongLong();
}

std::string Money(const Decimal& amount) {
    return RoundHalfAway(amount, 2).toString();
}

bool Contains(const std::vector<std::string>& items, const std::string& text) {
    return SelectListItem(items, text) >= 0;
}

}  // namespace

InvoiceEditor::InvoiceEditor(Session& session)
    : InvoiceEditor(session.db(), session.settings(), session.profile, session.programFolder()) {}

InvoiceEditor::InvoiceEditor(tables::Database& db, Settings& settings,
                             const CompanyProfile& profile, std::filesystem::path programFolder)
    : db_(db), settings_(settings), profile_(profile), folder_(std::move(programFolder)) {}

std::vector<std::string> InvoiceEditor::counties() {
    std::vector<std::string> names;
    for (const County& county : Counties()) names.emplace_back(county.name);
    return names;
}

std::vector<std::string> InvoiceEditor::docTypes() {
    return {kInvoiceDocument, kFiscalReceiptDocument};
}

const char* InvoiceEditor::caption() const {
    switch (mode_) {
        case Mode::Modify:
            return kModifyCaption;
        case Mode::View:
            return kViewCaption;
        case Mode::New:
            break;
    }
    return kNewCaption;
}

bool InvoiceEditor::workshop() const {
    return profile_.workshop();
}

std::string InvoiceEditor::linesName() const {
    return QuotedPath(linesTable());
}

std::string InvoiceEditor::stockName() const {
    return QuotedPath(stockTable());
}

Decimal InvoiceEditor::rate() const {
    const Decimal value = TypedNumber(vatRate);
    return value.isNegative() ? Decimal(0) : value;
}

void InvoiceEditor::readLists() {
    accounts_ = FillDistinct(db_, TableFile(db_, "Conturi").string(), "", "CONT");
    const std::string factOut = TableFile(db_, "FactOut").string();
    buyers_ = FillDistinct(db_, factOut, "", "SOC2");
    representatives_ = FillDistinct(db_, factOut, "", "REPREZ");
}

void InvoiceEditor::openHistory() {
    history_ = db_.query("SELECT * FROM " + QuotedPath(TableFile(db_, "FactOut")) +
                         " ORDER BY GESTIUNE, SOC2, DATAOUT DESC");
}

void InvoiceEditor::dropTable(const std::filesystem::path& file) {
    if (db_.tableExists(file)) db_.execute("DROP TABLE " + QuotedPath(file));
}

void InvoiceEditor::createWorkTables() {
    dropTable(linesTable());
    dropTable(stockTable());
    db_.execute(createTableStatement(tableLayout("ProdTemp"), linesTable()));
    db_.execute(createTableStatement(tableLayout("Stoc"), stockTable()));
    db_.execute("INSERT INTO " + stockName() +
                    " (IDCAP, CATEG, PRODUS, UM, PRETOUT, STOC, CODBARE, REST)"
                    " SELECT IDCAP, CATEG, PRODUS, UM, PRETOUT, STOC, CODBARE, STOC FROM " +
                    QuotedPath(TableFile(db_, "CapFise")) + " WHERE GESTIUNE=:g AND STOC>0",
                {{"g", location}});
}

void InvoiceEditor::prepare(const std::string& stockLocation,
                            const std::optional<PreorderBuyer>& preorder, Date today, int now) {
    mode_ = Mode::New;
    typeEnabled_ = true;
    viewId_ = 0;
    history_.reset();
    readLists();
    iban.clear();
    buyer.clear();
    series.clear();
    number.clear();

    const std::string term = Trimmed(settings_.readSetting("CONSTANTE", "TERMENPL"));
    const auto days = Decimal::parse(term);
    const int termDays = term.empty() || !days
                             ? 5
                             : static_cast<int>(std::clamp(days->toLongLong(), -3650LL, 3650LL));
    obs = settings_.readSetting("CONSTANTE", "OBSF");
    transport = settings_.readSetting("FACTURA", "MASINA");
    operatorName = settings_.readSetting("FACTURA", "OPERATOR");
    date = today;
    dueDate = today.addDays(termDays);

    regCom.clear();
    cui.clear();
    address.clear();
    county.clear();
    locality.clear();
    bank.clear();
    account.clear();
    delegate.clear();
    representative.clear();
    totalValue = totalVat = totalPay = "0.00";
    vatRate = profile_.vatPayer() ? std::to_string(settings_.readVatRate()) : "0";
    deliveryDate = today;
    deliverySeconds = std::clamp(now, 0, 86399);

    location = stockLocation;
    createWorkTables();

    if (preorder) {
        buyer = preorder->name;
        regCom = preorder->regCom;
        cui = preorder->cui;
        bank = preorder->bank;
        account = preorder->iban;
        if (!Trimmed(preorder->address).empty()) address = preorder->address;
    }
}

std::optional<Message> InvoiceEditor::startNew() {
    mode_ = Mode::New;
    typeEnabled_ = true;
    if (Trimmed(profile_.factSeria).empty())
        return Message{kNumberingTitle,
                       std::string("Nu aveti specificata seria facturilor!\n") + kAdminHint,
                       MessageKind::Error};
    const long long next = WholeNumber(profile_.factNr);
    const long long last = WholeNumber(profile_.factNrMax);
    if (next == 0 || last == 0)
        return Message{kNumberingTitle,
                       std::string("Nu ati specificat numerele facturilor!\n") + kAdminHint,
                       MessageKind::Error};
    if (last < next)
        return Message{kNumberingTitle,
                       "Nu mai aveti numere disponibile pentru factura!\n"
                       "Intrati la sectiunea Administrare si introduceti interval nou!",
                       MessageKind::Error};
    openHistory();
    docType = lastChoice_;
    typeChanged();
    return std::nullopt;
}

void InvoiceEditor::loadHeader(const tables::ResultSet& row) {
    series = row.asText("SERIA");
    number = row.asNumber("NR").toPlainString();
    location = row.asText("GESTIUNE");
    date = row.asDate("DATAOUT").value_or(date);
    dueDate = row.asDate("DATASCAD").value_or(date);
    buyer = row.asText("SOC2");
    regCom = row.asText("RJ2");
    cui = row.asText("CUI2");
    obs = row.asText("OBS");
    address = row.asText("ADRESA2");
    const std::string storedCounty = row.asText("JUD2");
    county = Contains(counties(), storedCounty) ? storedCounty : "";
    locality = row.asText("LOC2");
    bank = row.asText("BANCA2");
    account = row.asText("CONT2");
    vatRate = row.asNumber("TVAPROC").toPlainString();
    delegate = row.asText("DELEG");
    representative = row.asText("REPREZ");
    transport = row.asText("MIJT");
    operatorName = row.asText("OPERAT");

    // DATALIV: whole days are the date, the fraction the time of day.
    const Decimal stamp = row.asNumber("DATALIV");
    long long days = stamp.toLongLong();
    long long seconds = RoundHalfAway((stamp - Decimal(days)) * Decimal(86400)).toLongLong();
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    deliveryDate = Date::fromSerial(static_cast<int>(days));
    deliverySeconds = static_cast<int>(std::clamp(seconds, 0LL, 86399LL));

    totalValue = Money(row.asNumber("VALTOT"));
    totalVat = Money(row.asNumber("TVATOT"));
    totalPay = Money(row.asNumber("TOTAL"));

    const std::string stored = row.asText("CONT");
    iban = Contains(accounts_, stored) ? stored : "";
    // A fiscal receipt is stored under its own series, shown blank.
    if (series == kFiscalReceiptSeries) {
        docType = kFiscalReceiptDocument;
        series.clear();
    } else {
        docType = kInvoiceDocument;
    }
}

namespace {

tables::ResultSet StoredRow(tables::Database& db, long long idFacto) {
    tables::ResultSet row =
        db.query("SELECT * FROM " + QuotedPath(TableFile(db, "FactOut")) + " WHERE IDFACTO=:id",
                 {{"id", idFacto}});
    if (row.empty())
        throw EngineError("Invoice " + std::to_string(idFacto) + " does not exist in " +
                              TableFile(db, "FactOut").string(),
                          "FactOut");
    row.first();
    return row;
}

}  // namespace

void InvoiceEditor::startModify(long long idFacto, Date today, int now) {
    const tables::ResultSet row = StoredRow(db_, idFacto);
    prepare(row.asText("GESTIUNE"), std::nullopt, today, now);
    loadHeader(row);
    mode_ = Mode::Modify;
    typeEnabled_ = false;
    openHistory();
    db_.execute("INSERT INTO " + linesName() +
                    " (IDFISA, IDCAP, NRCRT, PRODUS, UM, CANT, PRETOUT, VALOUT, VALTVA, OBS,"
                    " GARANTIE, IDCAT) SELECT IDFISA, IDCAP, NRCRT, PRODUS, UM, CANT, PRETOUT,"
                    " VALOUT, VALTVA, OBS, GARANTIE, IDCAT FROM " +
                    QuotedPath(TableFile(db_, "ProdOut")) + " WHERE IDFACTO=:id",
                {{"id", idFacto}});
    recalcTotals();
}

void InvoiceEditor::startView(long long idFacto) {
    const tables::ResultSet row = StoredRow(db_, idFacto);
    readLists();
    history_.reset();
    loadHeader(row);
    mode_ = Mode::View;
    typeEnabled_ = false;
    viewId_ = idFacto;
}

void InvoiceEditor::typeChanged() {
    if (mode_ == Mode::New) lastChoice_ = docType;
    if (docType == kFiscalReceiptDocument) {
        series.clear();
        number = settings_.peekIndex("NRBON");
        if (Trimmed(number).empty()) number = "1";
    } else {
        series = profile_.factSeria;
        number = Trimmed(profile_.factNr);
    }
}

void InvoiceEditor::buyerChanged() {
    if (!autoComplete) return;
    if (!history_ || !Contains(buyers_, buyer)) {
        for (std::string* field : {&regCom, &cui, &address, &county, &locality, &bank, &account,
                                   &delegate, &representative, &transport})
            field->clear();
    }
    if (!history_) return;
    history_->setFilter("");
    if (!history_->locate("SOC2", buyer)) return;
    const tables::ResultSet& h = *history_;
    const std::string stored = h.asText("CONT");
    iban = Contains(accounts_, stored) ? stored : "";
    regCom = h.asText("RJ2");
    cui = h.asText("CUI2");
    address = h.asText("ADRESA2");
    const std::string storedCounty = h.asText("JUD2");
    county = Contains(counties(), storedCounty) ? storedCounty : "";
    locality = h.asText("LOC2");
    bank = h.asText("BANCA2");
    account = h.asText("CONT2");
    delegate = h.asText("DELEG");
    representative = h.asText("REPREZ");
    transport = h.asText("MIJT");
}

void InvoiceEditor::accountChanged() {
    std::string normalised = account;
    std::string name;
    bank = CheckIBAN(normalised, name) ? name : "";
}

std::optional<FieldProblem> InvoiceEditor::rateProblem() const {
    if (auto problem = RateProblem(vatRate, VatRateRange()))
        return FieldProblem{kVatField, *problem};
    return std::nullopt;
}

InvoiceCheck InvoiceEditor::check(Date today) {
    if (mode_ == Mode::View) return std::monostate{};
    if (auto problem = rateProblem()) return *problem;
    buyer = CleanText(buyer);
    regCom = CleanText(regCom);
    if (WholeNumber(number) == 0) number = "0";

    cui = tables::toUpperAscii(RemoveSpaces(cui));
    if (cui.empty()) return FieldProblem{kCuiField, "Lipseste CUI/CNP !"};
    std::string code = cui;
    if (!CheckCUI(code) && !CheckCNP(cui)) return FieldProblem{kCuiField, "CUI incorect!"};

    if (Trimmed(iban).empty()) return FieldProblem{kIbanField, "Lipseste contul IBAN!"};

    address = CleanText(JoinLines(address));
    county = CleanText(county);
    locality = CleanText(locality);
    bank = CleanText(bank);
    account = CleanText(account);
    if (!account.empty()) {
        std::string normalised = account;
        std::string name;
        if (!CheckIBAN(normalised, name))
            return FieldProblem{kAccountField, "Cont bancar incorect!"};
        account = normalised;  // stored without the blanks of typed groups (24 characters)
    }
    if (locality.empty()) return FieldProblem{kLocalityField, "Lipseste localitatea!"};
    if (county.find("BUCURE") != std::string::npos) county = kMunicipality;
    if (county == kMunicipality) {
        std::erase_if(locality, [](char c) { return c == ' ' || c == '-'; });
        const bool sector = locality.size() == 7 && locality.rfind("SECTOR", 0) == 0 &&
                            locality[6] >= '1' && locality[6] <= '6';
        if (!sector)
            return FieldProblem{kLocalityField, "Sectorul trebuie sa fie de forma SECTOR1 !!"};
    }

    delegate = CleanText(delegate);
    representative = CleanText(representative);
    transport = CleanText(transport);
    operatorName = CleanText(operatorName);
    if (operatorName.empty())
        return FieldProblem{kOperatorField, "Lipsesc datele despre operator!"};

    // A document without lines would take a number and say nothing.
    if (db_.query("SELECT COUNT(*) FROM " + linesName()).at(0, 0).number().isZero())
        return FieldProblem{kGridField, kNoLines};

    if (mode_ == Mode::New) {
        const std::string factOut = QuotedPath(TableFile(db_, "FactOut"));
        const long long nr = WholeNumber(number);
        if (docType == kFiscalReceiptDocument) {
            const auto same =
                db_.query("SELECT COUNT(*) FROM " + factOut + " WHERE NR=:nr AND DATAOUT=:today",
                          {{"nr", nr}, {"today", today}});
            if (same.at(0, 0).number() > Decimal(0))
                return Message{"Adaugare Bon Fiscal",
                               "Mai exista un Bon Fiscal azi, cu acelasi numar!",
                               MessageKind::Error};
        } else {
            const auto same =
                db_.query("SELECT COUNT(*) FROM " + factOut +
                              " WHERE SERIA=:s AND NR=:nr AND DATAOUT>=:from AND DATAOUT<:to",
                          {{"s", series},
                           {"nr", nr},
                           {"from", Date::fromYmd(date.year(), 1, 1)},
                           {"to", Date::fromYmd(date.year() + 1, 1, 1)}});
            if (same.at(0, 0).number() > Decimal(0))
                return FieldProblem{
                    kNumberField, "Mai exista o factura cu aceasta serie si numar in acelasi an!"};
        }
    }
    return std::monostate{};
}

void InvoiceEditor::saveSettings() {
    if (mode_ != Mode::New) return;
    settings_.writeSetting("FACTURA", "OPERATOR", operatorName);
    settings_.writeSetting("CONSTANTE", "TERMENPL",
                           std::to_string(dueDate.dayNumber() - date.dayNumber()));
    settings_.writeSetting("FACTURA", "MASINA", transport);
    settings_.writeSetting("CONSTANTE", "OBSF", obs);
}

Decimal InvoiceEditor::deliveryValue() const {
    return RoundHalfAway(
        Decimal(deliveryDate.toSerial()) + Decimal(deliverySeconds) / Decimal(86400), 6);
}

InvoiceDocument InvoiceEditor::document() const {
    InvoiceDocument doc;
    doc.docType = docType;
    doc.series = Trimmed(series);
    doc.number = WholeNumber(number);
    doc.date = date;
    doc.vatRate = rate();
    doc.buyerName = buyer;
    doc.buyerRegCom = regCom;
    doc.buyerCui = cui;
    doc.buyerAddress = FirstChars(JoinLines(address), 120);  // ADRESA2 holds 120 characters
    doc.buyerCounty = county;
    doc.buyerLocality = locality;
    doc.buyerBank = bank;
    doc.buyerAccount = account;
    doc.delegate = delegate;
    doc.representative = representative;
    doc.transport = transport;
    doc.deliveryTime = deliveryValue();
    doc.operatorName = operatorName;
    doc.netTotal = Decimal::parse(totalValue).value_or(Decimal(0));
    doc.vatTotal = Decimal::parse(totalVat).value_or(Decimal(0));
    doc.total = Decimal::parse(totalPay).value_or(Decimal(0));
    doc.dueDate = dueDate;
    doc.obs = obs;
    doc.location = location;
    doc.iban = iban;
    tables::ResultSet rows = db_.query("SELECT * FROM " + linesName() + " ORDER BY NRCRT");
    for (rows.first(); !rows.eof(); rows.next()) {
        InvoiceLine line;
        line.idCap = rows.asNumber("IDCAP").toLongLong();
        line.nrCrt = rows.asNumber("NRCRT").toLongLong();
        line.product = rows.asText("PRODUS");
        line.unit = rows.asText("UM");
        line.quantity = rows.asNumber("CANT");
        line.price = rows.asNumber("PRETOUT");
        line.value = rows.asNumber("VALOUT");
        line.vat = rows.asNumber("VALTVA");
        line.obs = rows.asText("OBS");
        line.warranty = rows.asDate("GARANTIE");
        line.idCat = rows.asNumber("IDCAT").toLongLong();
        doc.lines.push_back(std::move(line));
    }
    return doc;
}

void InvoiceEditor::dropStockTable() {
    dropTable(stockTable());
}

void InvoiceEditor::dropLinesTable() {
    dropTable(linesTable());
}

void InvoiceEditor::cleanup() {
    dropStockTable();
    dropLinesTable();
}

}  // namespace tvx::core
