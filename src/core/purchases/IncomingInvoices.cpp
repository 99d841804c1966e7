// The list of incoming documents and the commands of its buttons.
#include "core/purchases/IncomingInvoices.h"

#include <array>

#include "core/common/Rounding.h"
#include "core/common/Settings.h"
#include "core/common/TextRoutines.h"
#include "core/purchases/IncomingDocument.h"
#include "core/purchases/IncomingInvoiceEditor.h"
#include "core/purchases/PaymentEntry.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {

using tables::Decimal;
using tables::EngineError;

namespace {

constexpr const char* kDefaultOrder = "DATAIN, FURNIZOR, SERIANR";
constexpr size_t kSearchWidth = 40;

// The columns of the list, the only names a title click may order by.
constexpr std::array<const char*, 12> kListColumns = {"NUMEFACT", "SERIANR", "DATAIN", "FURNIZOR",
                                                      "CUI",      "BANCA",   "CONT",   "DATASCAD",
                                                      "VALOARE",  "TVAPROC", "TOTAL",  "REST"};

}  // namespace

IncomingInvoices::IncomingInvoices(tables::Database& db, Settings& settings)
    : db_(db), settings_(settings) {}

void IncomingInvoices::sortBy(const std::string& field) {
    if (field.empty()) {
        sortField_.clear();
        return;
    }
    const std::string upper = tables::toUpperAscii(field);
    for (const char* column : kListColumns) {
        if (upper == column) {
            sortField_ = upper;
            return;
        }
    }
    throw EngineError("The list of incoming documents has no column " + field, "FactIn");
}

std::string IncomingInvoices::SupplierFilter(const std::string& searchText) {
    // Stored names went through the same cleaning, and a quote cannot reach the filter.
    const std::string text = FirstChars(tables::toUpperAscii(CleanText(searchText)), kSearchWidth);
    if (text.empty()) return {};
    return "(FURNIZOR='" + text + "*')";
}

tables::ResultSet IncomingInvoices::documents() const {
    const std::string order = sortField_.empty() ? kDefaultOrder : sortField_;
    auto rs = db_.query("SELECT * FROM " + FactInTable(db_) + " ORDER BY " + order);
    rs.setFilter(SupplierFilter(searchText));
    return rs;
}

tables::ResultSet IncomingInvoices::payments() const {
    return db_.query("SELECT * FROM " + ChitInTable(db_) +
                         " WHERE IDFACT=:id AND IDFACT>0 ORDER BY IDFACT, DATAC, SERIANR",
                     {{"id", current}});
}

IncomingDocument IncomingInvoices::currentDocument() const {
    auto document = ReadIncomingDocument(db_, current);
    if (!document)
        throw EngineError("Incoming document " + std::to_string(current) + " does not exist",
                          "FactIn");
    return *document;
}

long long IncomingInvoices::addDocument(const IncomingInvoiceEditor& editor) {
    const long long id = db_.atomically([&] {
        const long long idFact = settings_.nextNumber("IDFACT");
        const Decimal total = RoundAmount(editor.grossTotal());
        InsertIncomingDocument(db_, {idFact, editor.numeFact, editor.seriaNr, editor.dataIn,
                                     editor.furnizor, editor.cui, editor.banca, editor.cont,
                                     editor.dataScad, editor.netTotal(), editor.vatRate(), total,
                                     total});
        if (editor.numeFact == kFiscalReceipt) {
            // A fiscal receipt is paid on the spot, by itself.
            const long long idChit = settings_.nextNumber("IDCHIT");
            db_.execute("INSERT INTO " + ChitInTable(db_) +
                            " (IDCHIT, IDFACT, SERIANR, DATAC, FURNIZOR, PLATIT, INCLTVA, DOCJUS,"
                            " REPREZ) VALUES (:idchit, :idfact, :serianr, :datac, :furnizor,"
                            " :total, :total, :docjus, :reprez)",
                        {{"idchit", idChit},
                         {"idfact", idFact},
                         {"serianr", editor.seriaNr},
                         {"datac", editor.dataIn},
                         {"furnizor", editor.furnizor},
                         {"total", total},
                         {"docjus", kFiscalReceipt},
                         {"reprez", "Bon Fiscal : " + editor.furnizor}});
            db_.execute("UPDATE " + FactInTable(db_) + " SET REST=0 WHERE IDFACT=:id",
                        {{"id", idFact}});
        }
        if (editor.adding()) {
            db_.protectFile(std::filesystem::absolute(settings_.path()));
            settings_.writeVatRate(editor.vatRate());
        }
        return idFact;
    });
    current = id;
    currentPayment = 0;
    return id;
}

std::optional<FieldProblem> IncomingInvoices::editProblem() const {
    if (current <= 0) return FieldProblem{kEditDocumentButton, "Nu aveti ce modifica!"};
    return std::nullopt;
}

void IncomingInvoices::startEdit(IncomingInvoiceEditor& editor) const {
    editor.startEdit(currentDocument());
}

void IncomingInvoices::updateDocument(const IncomingInvoiceEditor& editor) {
    db_.atomically([&] {
        const IncomingDocument old = currentDocument();
        const Decimal total = RoundAmount(editor.grossTotal());
        db_.execute("UPDATE " + FactInTable(db_) +
                        " SET SERIANR=:serianr, DATAIN=:datain, NUMEFACT=:numefact,"
                        " FURNIZOR=:furnizor, BANCA=:banca, CONT=:cont, TVAPROC=:tvaproc,"
                        " DATASCAD=:datascad, REST=REST+:change, VALOARE=:valoare,"
                        " TOTAL=:total, CUI=:cui WHERE IDFACT=:id",
                    {{"serianr", editor.seriaNr},
                     {"datain", editor.dataIn},
                     {"numefact", editor.numeFact},
                     {"furnizor", editor.furnizor},
                     {"banca", editor.banca},
                     {"cont", editor.cont},
                     {"tvaproc", editor.vatRate()},
                     {"datascad", editor.dataScad},
                     {"change", total - old.total},
                     {"valoare", editor.netTotal()},
                     {"total", total},
                     {"cui", editor.cui},
                     {"id", current}});
        db_.execute("UPDATE " + ChitInTable(db_) + " SET FURNIZOR=:furnizor WHERE IDFACT=:id",
                    {{"furnizor", editor.furnizor}, {"id", current}});
        db_.execute("UPDATE " + CapNirTable(db_) +
                        " SET FURNIZOR=:furnizor, NUMEFACT=:numefact, SERIENR=:serianr,"
                        " TVAPROC=:tvaproc, DATAFACT=:datain WHERE IDFACT=:id",
                    {{"furnizor", editor.furnizor},
                     {"numefact", editor.numeFact},
                     {"serianr", editor.seriaNr},
                     {"tvaproc", editor.vatRate()},
                     {"datain", editor.dataIn},
                     {"id", current}});
    });
}

std::optional<FieldProblem> IncomingInvoices::deleteProblem() const {
    if (current <= 0) return FieldProblem{kDeleteDocumentButton, "Nu aveti ce sterge!"};
    return std::nullopt;
}

std::optional<Message> IncomingInvoices::noteRefusal(long long idFact) const {
    auto notes = db_.query("SELECT NRNIR, DATANIR FROM " + CapNirTable(db_) +
                               " WHERE IDFACT=:id ORDER BY DATANIR, NRNIR",
                           {{"id", idFact}});
    if (notes.empty()) return std::nullopt;
    notes.first();
    const auto date = notes.asDate("DATANIR");
    return Message{"Stergere Factura",
                   "Stergeti mai intai Nota de receptie\rnr. " +
                       std::to_string(notes.asNumber("NRNIR").toLongLong()) + " / " +
                       (date ? date->toString() : std::string()) + "!",
                   MessageKind::Error};
}

std::optional<Message> IncomingInvoices::deleteRefusal() const {
    return noteRefusal(current);
}

Message IncomingInvoices::deleteQuestion() const {
    const IncomingDocument document = currentDocument();
    return {
        "Stergere Factura",
        "Sunteti sigur ca vreti sa stergeti " + document.numeFact + " " + document.seriaNr + " ?",
        MessageKind::Warning};
}

void IncomingInvoices::removeDocument() {
    db_.atomically([&] {
        if (noteRefusal(current))
            throw EngineError("Incoming document " + std::to_string(current) +
                                  " has a goods received note and cannot be deleted",
                              "CapNIR");
        db_.execute("DELETE FROM " + ChitInTable(db_) + " WHERE IDFACT=:id", {{"id", current}});
        db_.execute("DELETE FROM " + FactInTable(db_) + " WHERE IDFACT=:id", {{"id", current}});
    });
    current = 0;
    currentPayment = 0;
}

std::optional<FieldProblem> IncomingInvoices::addPaymentProblem() const {
    if (current <= 0)
        return FieldProblem{kAddPaymentButton, "Alegeti sau adaugati mai intai o factura!"};
    return std::nullopt;
}

std::optional<Message> IncomingInvoices::alreadyPaidQuestion() const {
    if (!currentDocument().rest.isZero()) return std::nullopt;
    return Message{"Adaugare plata", "Factura aleasa este deja achitata!\rContinuati totusi ?",
                   MessageKind::Warning};
}

void IncomingInvoices::startNewPayment(PaymentEntry& entry) const {
    entry.startNew(currentDocument());
}

long long IncomingInvoices::addPayment(const PaymentEntry& entry) {
    currentPayment = AddPayment(db_, settings_, current, entry);
    return currentPayment;
}

std::optional<FieldProblem> IncomingInvoices::editPaymentProblem() const {
    if (currentPayment <= 0) return FieldProblem{kEditPaymentButton, "Nu exista nici o plata!"};
    return std::nullopt;
}

void IncomingInvoices::startEditPayment(PaymentEntry& entry) const {
    const auto payment = ReadPayment(db_, currentPayment);
    if (!payment)
        throw EngineError("Payment " + std::to_string(currentPayment) + " does not exist",
                          "ChitIn");
    entry.startEdit(currentDocument(), *payment);
}

void IncomingInvoices::updatePayment(const PaymentEntry& entry) {
    UpdatePayment(db_, currentPayment, entry);
}

std::optional<FieldProblem> IncomingInvoices::deletePaymentProblem() const {
    if (currentPayment <= 0) return FieldProblem{kDeletePaymentButton, "Nu aveti ce sterge!"};
    return std::nullopt;
}

Message IncomingInvoices::deletePaymentQuestion() const {
    const auto payment = ReadPayment(db_, currentPayment);
    if (!payment)
        throw EngineError("Payment " + std::to_string(currentPayment) + " does not exist",
                          "ChitIn");
    return {"Stergere plata",
            "Doriti sa stergeti " + payment->docJus + " " + " nr." + payment->seriaNr + "?",
            MessageKind::Confirmation};
}

void IncomingInvoices::removePayment() {
    RemovePayment(db_, currentPayment);
    currentPayment = 0;
}

}  // namespace tvx::core
