// The printed delivery note: the label texts as report parameters, the note's lines read from
// the work table Aviz.dbf, and the preview of the result.
#include "ui/printing/DeliveryNoteReport.h"

#include "core/admin/BankAccounts.h"
#include "core/admin/CompanyProfile.h"
#include "core/app/Session.h"
#include "core/common/Lists.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/TextRoutines.h"
#include "printing/LayoutFiles.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/ResultSet.h"
#include "ui/common/Binding.h"
#include "ui/printing/TPreview.h"
#include "ui/printing/WorkTableGuard.h"

namespace tvx::ui {

using tables::Database;

printing::ReportInputs DeliveryNoteInputs(const core::DeliveryNoteLabels& labels) {
    printing::ReportInputs in;
    in.parameters = {
        {"SERIA", labels.series},   {"NRDOC", labels.number},    {"DATA", labels.date},
        {"SOC", labels.name},       {"RC", labels.regCom},       {"CUI", labels.fiscalCode},
        {"ADRESA", labels.address}, {"JUDET", labels.county},    {"BANCA", labels.bank},
        {"CONT", labels.account},   {"CAPITAL", labels.capital}, {"OPERATOR", labels.operatorName}};
    return in;
}

printing::LaidOutReport PrepareDeliveryNoteReport(Database& db, const core::CompanyProfile& company,
                                                  const core::Settings& settings, int vatRate,
                                                  const std::string& account,
                                                  const core::DeliveryNoteKey& note) {
    const printing::ReportLayout layout = printing::LoadNamedLayout(kDeliveryNoteLayoutName);
    const core::DeliveryNoteLabels labels =
        core::BindDeliveryNoteLabels(company, settings, account, note);
    WorkTableGuard guard([&db] { core::DeleteDeliveryNoteLines(db); });
    core::BuildDeliveryNoteLines(db, company, vatRate, note);
    const tables::ResultSet rows =
        db.query("SELECT * FROM " + core::QuotedPath(core::DeliveryNoteLinesFile(db)));
    printing::LaidOutReport report = printing::paginate(layout, &rows, DeliveryNoteInputs(labels));
    report.documentName = core::Trimmed(note.docJus) + " " + std::to_string(note.nrDoc);
    return report;
}

bool PrintDeliveryNote(core::Session& session, const core::DeliveryNoteKey& note, QWidget* parent) {
    printing::LaidOutReport report;
    const bool prepared = Guarded([&] {
        core::Settings& settings = session.settings();
        report = PrepareDeliveryNoteReport(session.db(), session.profile, settings,
                                           settings.readVatRate(),
                                           core::FirstCompanyAccount(session.db()), note);
    });
    if (!prepared) return false;
    // The note's printed flag: set when the engine starts producing it. Nothing counts it yet.
    bool printed = false;
    TPreview::ShowPreview(
        report, [&printed] { printed = true; }, parent);
    return printed;
}

}  // namespace tvx::ui
