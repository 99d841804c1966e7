// The main window's button row and report menu.
#include "core/app/MainMenu.h"

#include "core/admin/Users.h"

namespace tvx::core {

const std::vector<MainButton>& MainButtons() {
    static const std::vector<MainButton> buttons = {
        {MainCommand::IncomingInvoices, "MB1", "FACTURI -Intrari-", "Facturi intrate. Plati.", 1},
        {MainCommand::ReceivedNotes, "MB2", "Note de Receptie",
         "Note de Receptie. Adaugare, modificare, stergere.", 2},
        {MainCommand::ProductCard, "MB3", "MAGAZIE - Fise, miscari",
         "Magazie. Intrari, iesiri. Fisa produsului.", 3},
        {MainCommand::PreOrders, "PrecoBut", "Precomenzi", "Evidenta precomenzilor.", 0},
        {MainCommand::OutgoingInvoices, "MB4", "FACTURI -Iesiri-",
         "Facturare. Gestionare facturi si chitante.", 4},
        {MainCommand::CashBook, "MB6", "Registrul de casa", "Registrul de casa.", 0},
        {MainCommand::Reports, "MB5", "Rapoarte", "Diverse rapoarte.", 5},
        {MainCommand::Administration, "MButAdm", "Setari", "Administrare program.", 0},
        {MainCommand::Backup, "MBut3", "Salvare", "Salvare sau restaurare date.", 0},
        {MainCommand::LogOut, "ToolButton1", "Iesire", "Inchide programul.", 0},
    };
    return buttons;
}

bool MainButtonShown(MainCommand command, int grade, bool workshop) {
    if (command == MainCommand::PreOrders) return workshop;
    if (command == MainCommand::Reports) return grade != kGradeCasier;
    return true;
}

const MainButton* ButtonOfKey(int functionKey) {
    if (functionKey <= 0) return nullptr;
    for (const MainButton& button : MainButtons())
        if (button.functionKey == functionKey) return &button;
    return nullptr;
}

const std::vector<ReportItem>& ReportMenu() {
    using P = ReportPicker;
    using R = ReportId;
    static const std::vector<ReportItem> menu = {
        {.caption = "----- Financiar ------", .heading = true},
        {.caption = "Facturi de plata", .id = R::UnpaidIncoming},
        {.caption = "Facturi de incasat",
         .children = {{.caption = "Listare", .id = R::UncollectedPrint},
                      {.caption = "Export Excel", .id = R::UncollectedExport},
                      {.caption = "Selectii", .id = R::UncollectedSelection}}},
        {.caption = "Magazie",
         .children = {{.caption = "Centralizator N.I.R.",
                       .id = R::NirSummary,
                       .picker = P::Period,
                       .pickerTitle = "Centralizator N.I.R."},
                      {.caption = "Centralizator Bonuri de consum",
                       .id = R::ConsumptionSummary,
                       .picker = P::Period,
                       .pickerTitle = "Perioada",
                       .withLocation = true},
                      {.caption = "Avize de insotire a marfii", .id = R::DeliveryNotes}}},
        {.caption = "Jurnal cumparari",
         .id = R::PurchaseJournal,
         .picker = P::Period,
         .pickerTitle = "Jurnal cumparari"},
        {.caption = "Jurnal pentru vanzari",
         .children = {{.caption = "Facturi",
                       .id = R::SalesJournalInvoices,
                       .picker = P::Period,
                       .pickerTitle = "Jurnal vanzari facturi"},
                      {.caption = "Chitante",
                       .id = R::ReceiptsJournal,
                       .picker = P::Month,
                       .pickerTitle = "Jurnal incasari"},
                      {.caption = "Centralizator vanzari-adaos",
                       .id = R::SalesMarkupSummary,
                       .picker = P::Month,
                       .pickerTitle = "Centralizator Vanzari-Adaos"},
                      {.caption = "Vanzari pe Reprezentant",
                       .id = R::SalesByRepresentative,
                       .picker = P::Period,
                       .pickerTitle = "Vanzari pe Reprezentant",
                       .withRepresentative = true}}},
        {.caption = "Declaratia 394",
         .children = {{.caption = "Listare",
                       .id = R::Declaration394Print,
                       .picker = P::Period,
                       .pickerTitle = "Declaratia 394",
                       .withLocation = true},
                      {.caption = "Export in Excel",
                       .id = R::Declaration394Export,
                       .picker = P::Period,
                       .pickerTitle = "Declaratia 394",
                       .withLocation = true}}},
        {.caption = "Fise clienti", .id = R::ClientStatements},
        {.caption = "Rezumat",
         .id = R::ActivitySummary,
         .picker = P::Period,
         .pickerTitle = "Rezumat activitate",
         .withLocation = true},
        {.caption = "-------- Marfa ------", .heading = true},
        {.caption = "Inventar", .id = R::Inventory},
        {.caption = "Intrari in gestiune",
         .id = R::GoodsReceived,
         .picker = P::Period,
         .pickerTitle = "Raport intrari marfa",
         .withLocation = true},
        {.caption = "Iesiri din gestiune",
         .id = R::GoodsIssued,
         .picker = P::Period,
         .pickerTitle = "Raport iesiri marfa",
         .withLocation = true},
        {.caption = "Transferuri",
         .id = R::Transfers,
         .picker = P::Period,
         .pickerTitle = "Raport transferuri marfa",
         .withLocation = true},
        {.caption = "Export in SAGA",
         .id = R::SagaExport,
         .picker = P::Period,
         .pickerTitle = "Export in SAGA",
         .withLocation = true},
        {.caption = "------- Servicii --------", .heading = true},
        {.caption = "Garantii", .id = R::Warranties},
    };
    return menu;
}

}  // namespace tvx::core
