// tvxshots: pictures of the application's windows for the README and for review. Builds the
// whole application on a scratch program folder with a small sample company, walks through
// its windows offscreen and saves each one as a PNG file in the folder given.
//
//   tvxshots OUTPUT_DIR
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>

#include "core/admin/Backup.h"
#include "core/admin/BankAccounts.h"
#include "core/admin/Users.h"
#include "core/app/Session.h"
#include "core/app/Startup.h"
#include "core/common/PeriodChoice.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/einvoice/EInvoiceImport.h"
#include "core/reports/Declaration394.h"
#include "core/reports/DeliveryNoteFile.h"
#include "core/purchases/CashBook.h"
#include "core/purchases/CashEntry.h"
#include "core/reports/Estimate.h"
#include "core/sales/InvoiceEditor.h"
#include "core/sales/InvoicePosting.h"
#include "core/sales/Receipts.h"
#include "core/sales/Warranties.h"
#include "core/stock/Inventory.h"
#include "core/stock/NirHeader.h"
#include "core/stock/NirLine.h"
#include "core/stock/NirLineForm.h"
#include "core/stock/ProductCard.h"
#include "core/stock/StockCards.h"
#include "core/workshop/TimeNorms.h"
#include "core/workshop/PreOrderPrint.h"
#include "core/workshop/PreOrders.h"
#include "WorkbookShots.h"
#include "printing/ReportPainter.h"
#include "tables/Database.h"
#include "ui/admin/TForm21.h"
#include "ui/admin/TForm4.h"
#include "ui/app/Application.h"
#include "ui/app/TForm1.h"
#include "ui/app/TForm3.h"
#include "ui/common/Mesaj.h"
#include "ui/common/Pickers.h"
#include "ui/common/SmallDialogs.h"
#include "ui/common/Style.h"
#include "ui/common/Translations.h"
#include "ui/printing/ActivityReports.h"
#include "ui/printing/DeliveryNoteReport.h"
#include "ui/printing/EstimateReport.h"
#include "ui/printing/InventoryReport.h"
#include "ui/printing/InvoiceReport.h"
#include "ui/printing/NormativReport.h"
#include "ui/printing/JournalReports.h"
#include "ui/printing/ProductCardReport.h"
#include "ui/printing/ReceiptReport.h"
#include "ui/printing/WarrantiesReport.h"
#include "ui/purchases/TFPreluareEFactF.h"
#include "ui/purchases/TFactInF.h"
#include "ui/purchases/TRegCasaChitPlataF.h"
#include "ui/purchases/TRegCasaF.h"
#include "ui/reports/TExportF.h"
#include "ui/sales/TFactOutAddF.h"
#include "ui/sales/TFactOutF.h"
#include "ui/sales/TFiseClF.h"
#include "ui/sales/TGarantiiF.h"
#include "ui/sales/TServAddF.h"
#include "ui/stock/TFisaProdF.h"
#include "ui/stock/TMagazieF.h"
#include "ui/stock/TNIRF.h"
#include "ui/workshop/TAddComanda.h"
#include "ui/workshop/TAddServAuto.h"
#include "ui/workshop/TCatalog.h"
#include "ui/workshop/TFTarif.h"
#include "ui/workshop/TServAuto.h"
#include "ui/workshop/TFAddPrecom.h"
#include "ui/workshop/TFPrecomanda.h"

namespace {

QDir output;
int saved = 0;

void Save(QWidget* window, const QString& name) {
    QApplication::processEvents();
    const QString file = output.filePath(name + ".png");
    if (window->grab().save(file)) {
        ++saved;
        std::printf("%s\n", qPrintable(file));
    } else {
        std::fprintf(stderr, "tvxshots: cannot write %s\n", qPrintable(file));
    }
}

// Photographs the modal window that `open` shows, then closes it. The window is waited for
// (up to three seconds) and given a moment to lay itself out.
void SaveModal(const QString& name, const std::function<void()>& open) {
    auto* poll = new QTimer;
    auto waited = std::make_shared<int>(0);
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, waited, name] {
        QWidget* modal = QApplication::activeModalWidget();
        *waited += 20;
        if ((!modal || !modal->isVisible() || *waited < 200) && *waited < 3000) return;
        poll->stop();
        poll->deleteLater();
        if (!modal) {
            std::fprintf(stderr, "tvxshots: %s did not open\n", qPrintable(name));
            return;
        }
        Save(modal, name);
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    });
    poll->start();
    open();
}

// "Preluare e-Factura": the preview of a received invoice, one of its unit codes unknown.
void SaveEInvoicePreview(tvx::core::Session& session) {
    using tvx::tables::Decimal;
    const auto d = [](const char* text) { return *Decimal::parse(text); };
    session.settings().writeSetting("UMS", "BUC", "H87 - BUCATI");
    session.settings().writeSetting("UMS", "L", "LTR - LITRU");
    tvx::core::ReceivedEInvoice doc;
    doc.number = "DPA 2041";
    doc.issueDate = tvx::core::Today();
    doc.dueDate = doc.issueDate.addDays(30);
    doc.currency = "RON";
    doc.supplierName = "Distribuitor Piese Auto SRL";
    doc.supplierFiscalCode = "RO14399840";
    doc.supplierIban = "RO49AAAA1B31007593840000";
    const char* const lines[][5] = {{"Filtru ulei W712", "10", "H87", "23.50", "235.00"},
                                    {"Ulei motor 5W30", "20", "LTR", "41.20", "824.00"},
                                    {"Garnitura chiulasa", "2", "KT", "118.75", "237.50"}};
    int id = 0;
    for (const auto& l : lines) {
        tvx::core::ReceivedLine line;
        line.id = std::to_string(++id);
        line.name = l[0];
        line.quantity = d(l[1]);
        line.unitCode = l[2];
        line.price = d(l[3]);
        line.baseQuantity = Decimal(1);
        line.lineAmount = d(l[4]);
        line.vatCategory = "S";
        line.vatRate = Decimal(19);
        doc.lines.push_back(line);
    }
    doc.lineTotal = doc.taxExclusive = d("1296.50");
    doc.vatTotal = d("246.34");
    doc.taxInclusive = doc.payable = d("1542.84");
    doc.vat.push_back({"S", Decimal(19), d("1296.50"), d("246.34")});
    tvx::core::EInvoiceImport received(session.db(), session.settings(), session.profile);
    received.prepare(doc, tvx::core::Today());
    tvx::ui::TFPreluareEFactF preview;
    SaveModal("einvoice-import", [&] { preview.Preview(received, session.locations.names()); });
}

void SampleCompany(tvx::core::Session& session) {
    tvx::core::Settings& settings = session.settings();
    const char* values[][2] = {{"DENUMIRE", "AUTO SERVICE ALFA SRL"},
                               {"REGCOM", "J40/1234/2010"},
                               {"CODFISC", "RO1234567"},
                               {"ADRESA", "Str. Lunga nr. 10"},
                               {"Localit", "BRASOV"},
                               {"JUDET", "BRASOV"},
                               {"CAPSOC", "200"},
                               {"DOMENIU", "SERVICE AUTO"},
                               {"FACTSERIA", "ALF"},
                               {"FACTNRMAX", "9999"},
                               {"CHITSERIA", "ALC"},
                               {"CHITNRMAX", "9999"},
                               {"AVIZSERIA", "AV"},
                               {"TELFAX", "0268 000 000"}};
    for (const auto& [key, value] : values) settings.writeSetting("SETARI", key, value);
    std::ofstream(session.dataDir() / "GesLista.txt") << "DEPOZIT\r\nMAGAZIN\r\n";
    session.db().execute(
        "INSERT INTO Conturi (IDCONT, CONT, BANCA) VALUES "
        "(1, \"RO49AAAA1B31007593840000\", \"BANCA\")");
    session.db().execute(
        "INSERT INTO FactIn (IDFACT, NUMEFACT, SERIANR, DATAIN, DATASCAD, FURNIZOR, CUI, TVAPROC, "
        "VALOARE, TOTAL, REST) VALUES (1, \"FACTURA FISCALA\", \"AB 100\", \"02.12.2026\", "
        "\"17.12.2026\", \"FURNIZOR ALFA SRL\", \"RO123456\", 19, 100, 119, 119)");
    tvx::core::NirHeaderForm header;
    header.startNew(session.db(), settings, tvx::core::Today());
    if (!header.check(session.db(), 1)) {
        const long long note = header.save(session.db(), settings, 1);
        tvx::core::NirLineForm line;
        line.setVat(19, true);
        line.resetForAdd(settings, {"MAGAZIN"}, tvx::core::Today());
        line.product = "ULEI MOTOR 5W30";
        line.unit = "L";
        line.qf = 20;
        line.invoicedChanged();
        line.p = 5;
        line.a = 25;
        line.recalcLine();
        tvx::core::AddNirLine(session.db(), settings, note, line.toRow(), tvx::core::kGradeAdmin);
    }
    tvx::core::WriteUsersFile(session.dataDir() / tvx::core::kUsersFileName,
                              {{"ADMIN", "735", tvx::core::kGradeAdmin},
                               {"ANA", "1", tvx::core::kGradeContabil},
                               {"ION", "2", tvx::core::kGradeCasier}});
}

// One invoice composed through the editor's rules: the lot of the sample note and an hour of
// labour; and a service in the catalog.
long long SampleSale(tvx::core::Session& session) {
    using tvx::tables::Decimal;
    session.db().execute(
        "INSERT INTO Catalog (IDCAT, GRUPA, SUBGRUPA, CATEG, PRODUS, UM, VALOUT, OBS) VALUES "
        "(1, \"MECANICA\", \"MOTOR\", \"REVIZIE\", \"SCHIMB ULEI SI FILTRU\", \"ORE\", 119, \"\")");
    tvx::core::InvoiceEditor editor(session);
    editor.prepare("MAGAZIN", std::nullopt, tvx::core::Today(), 10 * 3600);
    if (editor.startNew()) return 0;
    editor.buyer = "CLIENT EXEMPLU SRL";
    editor.cui = "RO14399840";
    editor.locality = "BRASOV";
    editor.county = "BRASOV";
    editor.operatorName = "ION POPESCU";
    if (!editor.accounts().empty()) editor.iban = editor.accounts().front();
    tvx::tables::ResultSet stock = session.db().query("SELECT IDCAP, PRETOUT FROM " +
                                                      tvx::core::QuotedPath(editor.stockTable()));
    if (!stock.empty()) {
        tvx::core::ProductPick goods;
        goods.idCap = stock.asNumber("IDCAP").toLongLong();
        goods.quantity = Decimal(4);
        goods.price = stock.asNumber("PRETOUT");
        editor.addProduct(goods);
    }
    tvx::core::ServicePick labour;
    labour.name = "SCHIMB ULEI SI FILTRU";
    labour.unit = "ORE";
    labour.quantity = Decimal(1);
    labour.price = Decimal(119);
    editor.addService(labour);
    long long id = 0;
    if (std::holds_alternative<std::monostate>(editor.check(tvx::core::Today())))
        id = tvx::core::SaveNewInvoice(session.db(), session.settings(), editor.document());
    else
        std::fprintf(stderr, "tvxshots: the sample invoice did not pass its checks\n");
    editor.cleanup();
    return id;
}

// Two pieces of the first lot leave stock under delivery note `note`.
void SampleDeliveryNote(tvx::core::Session& session, const tvx::core::DeliveryNoteKey& note) {
    using tvx::tables::Decimal;
    tvx::tables::ResultSet lot = session.db().query(
        "SELECT IDCAP, PRETOUT FROM " +
        tvx::core::QuotedPath(tvx::core::TableFile(session.db(), "CapFise")) + " ORDER BY IDCAP");
    if (lot.empty()) return;
    tvx::core::Movement out =
        tvx::core::ExitMovement(Decimal(2), Decimal(2) * lot.asNumber("PRETOUT"));
    out.idFisa = session.settings().nextNumber("IDFISA");
    out.docJus = note.docJus;
    out.nrDoc = note.nrDoc;
    out.dinData = note.dinData;
    tvx::core::PostExit(session.db(), lot.asNumber("IDCAP").toLongLong(), out);
}

// The time norms of two car types, some operations billed.
void SampleTimeNorms(tvx::core::Session& session) {
    const char* rows[] = {
        "(1, 'DACIA LOGAN', 'MECANICA', 'M01', 'INLOCUIT KIT DISTRIBUTIE', 3.5, 120, 1)",
        "(2, 'DACIA LOGAN', 'MECANICA', 'M02', 'SCHIMB ULEI SI FILTRE', 0.8, 120, 0)",
        "(3, 'DACIA LOGAN', 'MECANICA', 'M03', 'INLOCUIT PLACUTE FRANA FATA', 1.2, 120, 0)",
        "(4, 'DACIA LOGAN', 'MECANICA', 'M04', 'REGLAJ GEOMETRIE ROTI', 1, 120, 0)",
        "(5, 'DACIA LOGAN', 'ELECTRICA', 'E01', 'INLOCUIT ALTERNATOR', 1.5, 110, 0)",
        "(6, 'FORD FOCUS', 'MECANICA', 'M01', 'INLOCUIT KIT DISTRIBUTIE', 4.2, 140, 0)"};
    for (const char* row : rows)
        session.db().execute(
            "INSERT INTO Timp (IDTIMP, TIPAUTO, SECTIA, COD, DENUMIRE, TIMP, LEIORA, CANT) "
            "VALUES " +
            std::string(row));
    session.settings().setIndex("IDTIMP", "7");
}

// A car received for a service: one pre-order with its client, car and complaints.
void SamplePreOrder(tvx::core::Session& session) {
    tvx::core::PreOrders list(session.db(), session.settings());
    list.open();
    tvx::core::PreOrderEntry entry;
    list.startAdd(entry, "", "", tvx::core::Today(), 9 * 60 + 30);
    entry.client = "POPESCU ION";
    entry.adresa = "Str. Florilor nr. 3, Brasov";
    entry.telefon = "0722 000 111";
    entry.plate = "BV12XYZ";
    entry.sasiu = "UU1LSDAAH12345678";
    entry.model = "DACIA LOGAN";
    entry.km = "128400";
    entry.motor = "K7J 1.4 MPI";
    entry.receptOm = "VASILE IONESCU";
    entry.revizie = "120000 KM";
    entry.nivel = "1 / 2";
    entry.v[2] = "NU";
    entry.obs[2] = "lipsa capac spate dreapta";
    entry.obsG = "Zgarietura usor pe bara fata";
    entry.description =
        "Zgomot la franare pe fata\nMartorul de motor aprins intermitent\nRevizie "
        "completa cu schimb ulei si filtre";
    if (!entry.check()) list.add(entry);
    list.close();
}

// The filled reception sheet of the sample pre-order, page 1 as LibreOffice renders it.
bool SaveReceptionSheet(tvx::core::Session& session, const QDir& scratch) {
    tvx::core::PreOrders list(session.db(), session.settings());
    list.open();
    if (list.empty() || !tvx::core::EnsurePreorderTemplate(session.dataDir())) return false;
    const auto printout = tvx::core::PrintPreOrder(
        session.dataDir(), scratch.absolutePath().toStdString(), list.current());
    list.close();
    if (printout.failure) return false;
    // LibreOffice makes the PDF a reader sees; poppler's pdftoppm makes its first page a picture.
    const QString pdf =
        scratch.filePath(QString::fromStdString(printout.file.stem().string()) + ".pdf");
    const QString toPdf =
        QString(
            "soffice --headless --norestore \"-env:UserInstallation=file://%1/lo\" "
            "--convert-to pdf --outdir \"%1\" \"%2\" >/dev/null 2>&1")
            .arg(scratch.absolutePath(), QString::fromStdString(printout.file.string()));
    const QString target = output.filePath("reception-sheet-print.png");
    QFile::remove(target);
    const QString toPng = QString("pdftoppm -png -r 120 -f 1 -l 1 -singlefile \"%1\" \"%2\"")
                              .arg(pdf, output.filePath("reception-sheet-print"));
    if (std::system(toPdf.toLocal8Bit().constData()) != 0 ||
        std::system(toPng.toLocal8Bit().constData()) != 0 || !QFile::exists(target)) {
        std::fprintf(stderr,
                     "tvxshots: LibreOffice (soffice) and pdftoppm could not render the "
                     "reception sheet\n");
        return false;
    }
    ++saved;
    std::printf("%s\n", qPrintable(target));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tvxshots OUTPUT_DIR\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tvx::ui::ApplyAppStyle(app);
    tvx::ui::InstallQtTranslations(app);
    // Absolute: the backup window makes the program folder the current one when it closes.
    output = QDir(QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
    if (!output.mkpath(".")) {
        std::fprintf(stderr, "tvxshots: cannot create %s\n", argv[1]);
        return 1;
    }
    QTemporaryDir folder;
    tvx::core::Session session(folder.path().toStdString());
    tvx::core::PrepareData(session);
    SampleCompany(session);

    tvx::ui::Application windows(session);
    tvx::ui::TForm1& splash = windows.splash();
    splash.setStartDelay(60000);
    splash.show();
    Save(&splash, "splash");
    splash.Timer1Timer();

    tvx::ui::TForm3& main = windows.main();
    main.resize(1280, main.height());
    Save(&main, "main-login");
    main.findChild<QLineEdit*>("UserName")->setText("ADMIN");
    main.findChild<QLineEdit*>("Parola")->setText("735");
    main.LogButClick();
    Save(&main, "main-buttons");
    QMenu* menu = main.reportMenu();
    menu->popup(main.button(tvx::core::MainCommand::Reports)->mapToGlobal(QPoint(0, 80)));
    Save(menu, "main-report-menu");
    menu->close();

    SaveModal("administration", [&] { windows.admin().Open(); });
    SaveModal("backup", [&] { windows.backup().Open(session.grade); });
    SaveModal("incoming-documents", [&] { windows.incoming().Open(); });
    SaveModal("received-notes", [&] { windows.notes().OpenNirList(); });
    SaveEInvoicePreview(session);
    SaveModal("period-picker", [&] {
        main.periodPicker().setTitle("Jurnal cumparari");
        main.periodPicker().Alege(session.locations.names());
    });
    SaveModal("month-picker", [&] {
        main.monthPicker().setTitle("Jurnal incasari");
        main.monthPicker().Alege();
    });
    SaveModal("message", [] {
        tvx::ui::Mesaj("Stergere Gestiune", "Sigur stergem gestiunea MAGAZIN?",
                       tvx::ui::kButtonDa | tvx::ui::kButtonNu, tvx::ui::kKindConfirmation);
    });
    SaveModal("message-restore", [] {
        tvx::ui::Mesaj(tvx::core::RestoreQuestion(), tvx::ui::kButtonDa | tvx::ui::kButtonNu);
    });
    SaveModal("file-dialog", [] {
        QFileDialog chooser(nullptr, tvx::core::kSaveDialogTitle);
        chooser.setAcceptMode(QFileDialog::AcceptSave);
        chooser.selectFile("Tarvix 2026-12-09.tvx");
        chooser.exec();
    });
    SaveModal("print-dialog", [] {
        QPrinter printer;
        QPrintDialog dialog(&printer);
        dialog.exec();
    });
    tvx::ui::TFAddUser user;
    SaveModal("user-dialog", [&] { user.Edit("Adaugare Utilizator", {"ADMIN"}); });
    tvx::ui::TAddCont account;
    SaveModal("iban-dialog", [&] { account.Edit("RO49AAAA1B31007593840000"); });
    tvx::ui::TUMSF units(session.settings());
    SaveModal("unit-chooser", [&] { units.Alege("BUC"); });

    const long long invoice = SampleSale(session);
    windows.sales().Bind(session);
    windows.invoiceEditor().Bind(session);
    SaveModal("sales-list", [&] { windows.sales().OpenInvoiceList(false); });
    SaveModal("invoice-view", [&] { windows.invoiceEditor().viewInvoice(invoice); });
    // The printed documents, page 1 at 120 dpi.
    const auto savePage = [&](const char* name, const tvx::printing::LaidOutReport& report) {
        const QString file = output.filePath(QString(name) + ".png");
        tvx::printing::writePagePng(report, 0, 120, file.toStdString());
        ++saved;
        std::printf("%s\n", qPrintable(file));
    };
    tvx::tables::Database& db = session.db();
    // The invoice alone, then with a cash receipt under it, and the receipt on its own page.
    savePage("invoice-print", tvx::ui::PrepareInvoiceReport(db, session.profile, invoice, {}));
    tvx::core::ReceiptEntry receipt;
    receipt.open(*tvx::core::ReadReceiptDocument(db, invoice), session.profile, session.settings(),
                 tvx::core::Today());
    receipt.text = "contravaloare factura";
    const long long idChit = tvx::core::AddReceipt(db, session.settings(), invoice, receipt);
    savePage("invoice-receipt-print",
             tvx::ui::PrepareInvoiceReport(db, session.profile, invoice, {idChit, {}}));
    savePage("receipt-print",
             tvx::ui::PrepareReceiptReport(db, session.profile, invoice, idChit, {}));
    // A delivery note of two pieces of the sample lot.
    const tvx::core::DeliveryNoteKey note{"AVIZ DE INSOTIRE MARFA", 1, tvx::core::Today()};
    SampleDeliveryNote(session, note);
    savePage("delivery-note-print",
             tvx::ui::PrepareDeliveryNoteReport(db, session.profile, session.settings(),
                                                session.settings().readVatRate(),
                                                tvx::core::FirstCompanyAccount(db), note));
    // The product card of the sample lot (location MAGAZIN, the second of the list), on screen
    // and printed.
    SaveModal("product-card", [&] {
        QTimer::singleShot(50, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                if (auto* locations = modal->findChild<QListWidget*>("Gestiunea"))
                    locations->setCurrentRow(1);
        });
        windows.productCard().OpenProductCard();
    });
    tvx::tables::ResultSet lots =
        db.query("SELECT IDCAP, GESTIUNE, CATEG, PRODUS, UM, PRETOUT, STOC FROM " +
                 tvx::core::QuotedPath(tvx::core::TableFile(db, "CapFise")) + " ORDER BY IDCAP");
    if (!lots.empty()) {
        const tvx::core::StockTexts texts = tvx::core::CardStockTexts(
            lots.asNumber("STOC"), lots.asText("UM"), lots.asNumber("PRETOUT"));
        savePage(
            "product-card-print",
            tvx::ui::PrepareProductCardReport(
                tvx::core::QueryCardMovements(db, lots.asNumber("IDCAP").toLongLong()),
                tvx::core::MakeCardReportCaptions(session.profile.denumire, lots.asText("GESTIUNE"),
                                                  tvx::core::Today(), lots.asText("PRODUS"), texts,
                                                  lots.asText("CATEG"), lots.asNumber("PRETOUT"))));
    }
    // The warehouse of every location and its printed inventory.
    SaveModal("warehouse", [&] { windows.warehouse().OpenWarehouse(); });
    savePage("inventory-print",
             tvx::ui::PrepareInventoryReport(tvx::core::QueryInventory(db, {}),
                                             tvx::core::MakeInventoryCaptions(
                                                 session.profile.denumire, tvx::core::kAllLocations,
                                                 tvx::core::kAllCategories, tvx::core::Today())));
    // The work estimate of the sample invoice with a service order.
    tvx::core::EstimateHeader estimate = tvx::core::EstimateHeaderFor(db, session.profile, invoice);
    tvx::core::ServiceOrder order;
    order.number = "5";
    order.date = tvx::core::Today();
    order.carType = "DACIA LOGAN";
    order.plate = "BV 12 XYZ";
    order.state = "BUNA";
    tvx::core::SetServiceOrder(estimate, order);
    savePage("estimate-print", tvx::ui::PrepareEstimateReport(db, estimate, invoice));
    windows.serviceOrder().Bind(session);
    SaveModal("service-order",
              [&] { windows.serviceOrder().EditServiceOrder(QString::number(invoice)); });
    windows.servicePicker().Bind(session);
    SaveModal("service-picker", [&] { windows.servicePicker().pickService(); });
    windows.catalog().Bind(session);
    SaveModal("service-catalog", [&] { windows.catalog().chooseService(); });
    // The time norms window on DACIA LOGAN / MECANICA, its dialogs and the printed list.
    SampleTimeNorms(session);
    windows.timeNorms().Bind(session);
    SaveModal("time-norms", [&] {
        QTimer::singleShot(50, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                if (auto* types = modal->findChild<QComboBox*>("TipAuto"))
                    types->setCurrentIndex(0);
                if (auto* sections = modal->findChild<QComboBox*>("Sectia"))
                    sections->setCurrentIndex(1);
            }
        });
        windows.timeNorms().OpenTimeNorms();
    });
    tvx::core::TimeNorms norms(db, session.settings());
    norms.open();
    norms.chooseCarType(0);
    norms.chooseSection(1);
    tvx::ui::TAddServAuto operation;
    operation.Bind(session.settings());
    norms.startAdd(operation.entry());
    operation.entry().name = "INLOCUIT AMORTIZOARE FATA";
    operation.entry().code = "M05";
    operation.entry().hours = "2";
    operation.entry().rate = "120";
    SaveModal("time-norm-operation", [&] { operation.EditOperation(); });
    tvx::ui::TFTarif rate;
    norms.startRate(rate.entry());
    SaveModal("time-norm-rate", [&] { rate.AskRate(); });
    savePage("time-norms-print",
             tvx::ui::PrepareNormativReport(norms.rows(), session.profile.denumire));
    // The stock, activity, declaration 394 and client reports of the last month.
    const tvx::core::StockPeriod month{tvx::core::AddMonths(tvx::core::Today(), -1),
                                       tvx::core::Today()};
    const std::string& company = session.profile.denumire;
    savePage("goods-in-print", tvx::ui::PrepareStockMovesReport(
                                   db, company, tvx::core::StockMoveKind::GoodsIn, month));
    savePage("goods-out-print", tvx::ui::PrepareStockMovesReport(
                                    db, company, tvx::core::StockMoveKind::GoodsOut, month));
    savePage("transfers-print", tvx::ui::PrepareStockMovesReport(
                                    db, company, tvx::core::StockMoveKind::Transfers, month));
    savePage("consumption-print", tvx::ui::PrepareConsumptionReport(db, month));
    savePage("markup-print", tvx::ui::PrepareMarkupReport(db, company, true, month));
    savePage("activity-print", tvx::ui::PrepareActivityReport(db, company, true, month));
    savePage("declaration394-print",
             tvx::ui::PrepareDeclaration394Report(tvx::core::QueryDeclaration394(db, month),
                                                  company, month));
    savePage("client-statement-print",
             tvx::ui::PrepareClientStatementReport(db, company, session.profile.codFisc,
                                                   "CLIENT EXEMPLU SRL", month.from));
    const std::vector<std::string> buyers = tvx::core::SelectionBuyers(tvx::core::BuyerNames(db));
    savePage("unpaid-selection-print",
             tvx::ui::PrepareUnpaidSelectionReport(
                 tvx::core::QueryUnpaidSelection(db, {"", month.from, month.to}, buyers),
                 tvx::core::kAllBuyers, tvx::core::Today()));
    SaveModal("client-statements", [&] { windows.clientStatements().OpenClientStatements(); });
    SaveModal("unpaid-selection", [&] { windows.unpaidSelection().Selecteaza(buyers); });
    // The journals and summaries of this month, and the export window.
    db.execute("UPDATE " + tvx::core::QuotedPath(tvx::core::TableFile(db, "FactOut")) +
               " SET REPREZ='ION POPESCU'");
    const tvx::tables::Date today = tvx::core::Today();
    const tvx::tables::Date first = tvx::tables::Date::fromYmd(today.year(), today.month(), 1);
    const tvx::tables::Date last = tvx::core::AddMonths(first, 1).addDays(-1);
    savePage("payables-print", tvx::ui::PreparePayablesReport(db, session.profile, today));
    savePage("receivables-print",
             tvx::ui::PrepareReceivablesReport(tvx::core::QueryReceivables(db),
                                               session.profile.denumire, today));
    savePage("nir-summary-print",
             tvx::ui::PrepareNirSummaryReport(db, session.profile, first, last));
    savePage("purchase-journal-print",
             tvx::ui::PreparePurchaseJournalReport(db, session.profile, first, last));
    savePage("receipts-journal-print",
             tvx::ui::PrepareReceiptsJournalReport(db, session.profile, first, last));
    savePage("sales-by-agent-print",
             tvx::ui::PrepareSalesByAgentReport(db, "ION POPESCU", first, last));
    tvx::core::ExportOptions exportOptions;
    exportOptions.created = today;
    const tvx::tables::ResultSet receivables = tvx::core::QueryReceivablesForExport(db);
    SaveModal("export-window", [&] { windows.exportWindow().Exporta(receivables, exportOptions); });
    // The pre-orders of the workshop, the editor on the sample one, and its printed sheet.
    SamplePreOrder(session);
    windows.preOrders().Bind(session);
    SaveModal("pre-orders", [&] { windows.preOrders().OpenPreOrders(); });
    tvx::core::PreOrders preOrders(session.db(), session.settings());
    preOrders.open();
    tvx::core::PreOrderEntry entry;
    if (!preOrders.empty()) preOrders.startEdit(entry, tvx::core::Today(), 9 * 60 + 30);
    preOrders.close();
    SaveModal("pre-order-editor", [&] {
        windows.preOrders().editor().Edit(entry, tvx::core::PreOrderEntry::kEditCaption);
    });
    SaveReceptionSheet(session, QDir(folder.path()));
    // The cash book of today: the sample invoice's receipt and a manual payment; the entry
    // dialog of a payment.
    {
        tvx::core::CashBook book(db, session.settings(), session.programFolder(),
                                 tvx::core::Today());
        book.build();
        tvx::core::CashEntry payment;
        payment.open(tvx::core::CashEntryKind::Payment, tvx::core::Today(), {});
        payment.document = "DISPOZITIE PLATA";
        payment.number = "3";
        payment.sum = "150";
        payment.text = "avans salariu";
        if (!payment.check()) book.addEntry(payment);
        book.drop();
    }
    SaveModal("cash-book", [&] { windows.cashBook().OpenCashBook(); });
    SaveModal("cash-entry", [&] {
        tvx::ui::TRegCasaChitPlataF& dialog = windows.cashBook().entryDialog();
        dialog.entry().open(tvx::core::CashEntryKind::Collection, tvx::core::Today(),
                            {"DISPOZITIE INCASARE"});
        dialog.AddEntry();
    });
    // The warranties: the sample invoice's lines carry a year of warranty.
    db.execute("UPDATE " + tvx::core::QuotedPath(tvx::core::TableFile(db, "ProdOut")) +
                   " SET GARANTIE=:g",
               {{"g", tvx::core::Today().addDays(365)}});
    SaveModal("warranties", [&] { windows.warranties().OpenWarranties(); });
    savePage("warranties-print",
             tvx::ui::PrepareWarrantiesReport(tvx::core::QueryWarranties(db),
                                              session.profile.denumire, tvx::core::Today()));
    const int workbooks = SaveWorkbookPictures(session, output);
    std::printf("%d pictures, %d workbooks\n", saved, workbooks);
    return saved == 61 && workbooks == 3 ? 0 : 1;
}
