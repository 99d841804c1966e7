// tvxshots: pictures of the application's windows for the README and for review. Builds the
// whole application on a scratch program folder with a small sample company, walks through
// its windows offscreen and saves each one as a PNG file in the folder given.
//
//   tvxshots OUTPUT_DIR
#include <QApplication>
#include <QDir>
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
#include "core/reports/DeliveryNoteFile.h"
#include "core/reports/Estimate.h"
#include "core/sales/InvoiceEditor.h"
#include "core/sales/InvoicePosting.h"
#include "core/sales/Receipts.h"
#include "core/stock/Inventory.h"
#include "core/stock/NirHeader.h"
#include "core/stock/NirLine.h"
#include "core/stock/NirLineForm.h"
#include "core/stock/ProductCard.h"
#include "core/stock/StockCards.h"
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
#include "ui/printing/DeliveryNoteReport.h"
#include "ui/printing/EstimateReport.h"
#include "ui/printing/InventoryReport.h"
#include "ui/printing/InvoiceReport.h"
#include "ui/printing/ProductCardReport.h"
#include "ui/printing/ReceiptReport.h"
#include "ui/purchases/TFactInF.h"
#include "ui/sales/TFactOutAddF.h"
#include "ui/sales/TFactOutF.h"
#include "ui/sales/TServAddF.h"
#include "ui/stock/TFisaProdF.h"
#include "ui/stock/TMagazieF.h"
#include "ui/stock/TNIRF.h"
#include "ui/workshop/TAddComanda.h"
#include "ui/workshop/TCatalog.h"

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
    const int workbooks = SaveWorkbookPictures(session, output);
    std::printf("%d pictures, %d workbooks\n", saved, workbooks);
    return saved == 31 && workbooks == 2 ? 0 : 1;
}
