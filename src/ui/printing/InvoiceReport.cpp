// The printed invoice: label texts, totals, VAT marks and stamp as report inputs, and the
// invoice body read from the work table Fact.dbf.
#include "ui/printing/InvoiceReport.h"

#include <QString>

#include "core/admin/CompanyProfile.h"
#include "core/common/Schema.h"
#include "core/common/TextRoutines.h"
#include "printing/LayoutFiles.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/ResultSet.h"
#include "ui/printing/WorkTableGuard.h"

namespace tvx::ui {

using tables::Database;
using tables::ResultSet;

namespace {

std::string TwoDecimals(const tables::Decimal& x) {
    return x.rescaled(2).toString();
}

}  // namespace

printing::ReportInputs LabelInputs(const core::DocumentLabels& labels, const QImage& stamp) {
    printing::ReportInputs in;
    for (const auto& row : labels.rows)
        if (row.text) in.parameters[row.label] = *row.text;
    in.parameters["TITLU"] = labels.title;
    in.parameters["CHITTITLU"] = labels.receiptTitle;
    in.parameters["TEL1"] = labels.telephone;
    if (!stamp.isNull()) in.pictures["stamp"] = stamp;
    return in;
}

printing::ReportInputs InvoiceInputs(const core::DocumentLabels& labels,
                                     const core::CompanyProfile& company,
                                     const InvoiceTotals& totals, const QImage& stamp) {
    printing::ReportInputs in = LabelInputs(labels, stamp);
    in.parameters["TOTVAL"] = totals.value;
    in.parameters["TOTTVA"] = totals.vat;
    in.parameters["TOTPLATA"] = totals.toPay;
    if (!company.tvaLaInc) in.hidden.insert("TvaLaIncasare");
    if (company.vatPayer())
        in.parameters["SPLITTVA"] =
            company.splitTva ? "Se aplica SPLIT TVA" : "Nu se aplica SPLIT TVA";
    else
        in.hidden.insert("SplitTva");
    if (!labels.receiptBand) in.hidden.insert("ChitJos");
    return in;
}

printing::LaidOutReport PrepareInvoiceReport(Database& db, const core::CompanyProfile& company,
                                             long long idFacto,
                                             const InvoicePrintOptions& options) {
    const printing::ReportLayout layout = printing::LoadNamedLayout(kInvoiceLayoutName);
    const core::DocumentLabels labels =
        core::BindDocumentLabels(db, company, idFacto, options.idChit);
    const ResultSet invoice =
        db.query("SELECT VALTOT, TVATOT, TOTAL, SERIA, NR FROM " +
                     core::QuotedPath(core::TableFile(db, "FactOut")) + " WHERE IDFACTO=:id",
                 {{"id", idFacto}});
    if (invoice.empty())
        throw tables::EngineError("FactOut: no row with IDFACTO " + std::to_string(idFacto));
    const InvoiceTotals totals{TwoDecimals(invoice.asNumber("VALTOT")),
                               TwoDecimals(invoice.asNumber("TVATOT")),
                               TwoDecimals(invoice.asNumber("TOTAL"))};

    WorkTableGuard guard([&db] { core::DeleteInvoiceLines(db); });
    const bool hasLines = core::BuildInvoiceLines(db, company, idFacto);
    core::AppendClosingRows(db, idFacto, hasLines);
    const ResultSet rows =
        db.query("SELECT * FROM " + core::QuotedPath(core::InvoiceLinesFile(db)));
    printing::LaidOutReport report =
        printing::paginate(layout, &rows, InvoiceInputs(labels, company, totals, options.stamp));
    report.documentName = "Factura " + core::Trimmed(invoice.asText("SERIA")) +
                          invoice.asNumber("NR").toPlainString();
    return report;
}

QImage LoadStampPicture(const Database& db) {
    const auto file = db.dataDir() / "Stamp.jpg";
    return QImage(QString::fromStdString(file.string()));
}

}  // namespace tvx::ui
