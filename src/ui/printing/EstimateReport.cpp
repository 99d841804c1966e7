// The printed work estimate: header texts as report parameters, rows from the invoice lines.
#include "ui/printing/EstimateReport.h"

#include "core/common/TextRoutines.h"
#include "printing/LayoutFiles.h"
#include "tables/Database.h"
#include "tables/ResultSet.h"

namespace tvx::ui {

printing::ReportInputs EstimateInputs(const core::EstimateHeader& header) {
    printing::ReportInputs in;
    in.parameters = {{"FIRMA", header.company},        {"ADRESA", header.address},
                     {"TELEFON", header.telephone},    {"JUDET", header.county},
                     {"CUI", header.fiscalCode},       {"CONT", header.account},
                     {"BENEFICIAR", header.buyer},     {"ADRESA2", header.buyerAddress},
                     {"CUI2", header.buyerFiscalCode}, {"DATA", header.date},
                     {"AUTOTIP", header.carType},      {"NRAUTO", header.plate},
                     {"STARE", header.technicalState}, {"COMANDA", header.orderLine}};
    return in;
}

printing::LaidOutReport PrepareEstimateReport(tables::Database& db,
                                              const core::EstimateHeader& header,
                                              long long idFacto) {
    const printing::ReportLayout layout = printing::LoadNamedLayout(kEstimateLayoutName);
    const tables::ResultSet rows = core::EstimateRows(db, idFacto);
    printing::LaidOutReport report = printing::paginate(layout, &rows, EstimateInputs(header));
    report.documentName = "Deviz " + core::Trimmed(header.plate);
    return report;
}

}  // namespace tvx::ui
