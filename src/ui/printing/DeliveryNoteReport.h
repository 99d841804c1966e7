// The printed delivery note (ui/printing): the layout LAviz over the note's lines, read from
// the work table Aviz.dbf (built for the report and deleted once the pages are laid out), with
// the supplier box, series, number, date and operator as report parameters.
#pragma once

#include <QImage>
#include <string>

#include "core/reports/DeliveryNoteFile.h"
#include "printing/ReportPaginator.h"

class QWidget;

namespace tvx::tables {
class Database;
}

namespace tvx::core {
class CompanyProfile;
class Session;
class Settings;
}  // namespace tvx::core

namespace tvx::ui {

inline constexpr const char* kDeliveryNoteLayoutName = "LAviz";

// The label texts as the parameters of LAviz: SERIA, NRDOC, DATA, SOC, RC, CUI, ADRESA,
// JUDET, BANCA, CONT, CAPITAL and OPERATOR.
printing::ReportInputs DeliveryNoteInputs(const core::DeliveryNoteLabels& labels);

// Lays the note out: builds Aviz.dbf (entry prices without VAT for a VAT payer, at
// `vatRate`), reads it as the detail rows in stored order and deletes it again, also when a
// step fails. `account` is the company account printed with its bank. Throws EngineError.
printing::LaidOutReport PrepareDeliveryNoteReport(tables::Database& db,
                                                  const core::CompanyProfile& company,
                                                  const core::Settings& settings, int vatRate,
                                                  const std::string& account,
                                                  const core::DeliveryNoteKey& note);

// Shows the note in the preview window with the session's company, default VAT rate and
// account (FirstCompanyAccount); an engine error is shown instead. Returns whether the note was
// produced (the preview was shown).
bool PrintDeliveryNote(core::Session& session, const core::DeliveryNoteKey& note, QWidget* parent);

}  // namespace tvx::ui
