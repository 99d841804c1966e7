// "XML e-Factura" of "Facturi de iesire - Vanzari": the e-invoice of the current document. The
// data is checked before the file is chosen (core/einvoice refuses what the national system
// would reject); a unit without a code marked "do not ask again" is asked in the unit window;
// the file is written whole or not at all.
#include <QFileDialog>
#include <QPushButton>
#include <filesystem>

#include "core/app/Session.h"
#include "core/einvoice/EInvoice.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/SmallDialogs.h"
#include "ui/sales/TFactOutF.h"

namespace tvx::ui {

namespace {

std::function<QString(QWidget*, const QString&)> xmlChooser;

QString ChooseXmlPath(QWidget* parent, const QString& proposed) {
    if (xmlChooser) return xmlChooser(parent, proposed);
    QFileDialog dialog(parent, QString::fromUtf8(core::kEInvoiceSaveTitle));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);  // the window asks its own question
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(
        FileNameFilters((std::string(core::kEInvoiceFileType) + "|*.xml").c_str()));
    dialog.setDefaultSuffix("xml");
    dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace

void TFactOutF::setXmlPathChooser(std::function<QString(QWidget*, const QString&)> choose) {
    xmlChooser = std::move(choose);
}

void TFactOutF::XMLButClick() {
    const std::optional<long long> id = CurrentDocument();
    if (!session_ || !id) return;
    core::Session& s = *session_;
    core::EInvoice invoice;
    std::optional<core::Message> refusal;
    if (!Guarded([&] {
            invoice = core::LoadEInvoice(s.db(), s.settings(), *id);
            refusal = core::EInvoiceRefusal(invoice, false);
        }))
        return;
    if (refusal) {
        Mesaj(*refusal);
        return;
    }
    const QString path = ChooseXmlPath(this, Text(invoice.proposedFileName()));
    if (path.isEmpty()) return;
    const std::filesystem::path file = path.toStdString();
    if (std::filesystem::exists(file) &&
        !Confirmed(
            {core::kEInvoiceTitle, core::kEInvoiceReplaceText, core::MessageKind::Confirmation}))
        return;
    const bool resolved = core::ResolveUnitCodes(
        invoice, s.settings(), [&](const std::string& unit) -> std::optional<std::string> {
            TUMSF chooser(s.settings(), this);
            if (!chooser.Alege(Text(unit))) return std::nullopt;
            return core::UnitChoice::codeOf(chooser.choice().chosenItem());
        });
    if (!resolved) {
        Mesaj({core::kEInvoiceInterruptedTitle, core::kEInvoiceInterruptedText,
               core::MessageKind::Error});
        return;
    }
    if (!Guarded([&] {
            refusal = core::EInvoiceRefusal(invoice, true);
            if (!refusal) core::WriteEInvoice(invoice, file);
        }))
        return;
    if (refusal) Mesaj(*refusal);
}

}  // namespace tvx::ui
