// What the main window offers (core/app): its button row in order with captions, hints and
// function keys, which buttons a grade and the activity show, and the report menu with every
// item and sub-item, the picker each asks first and the report it starts. The window builds
// itself from these lists; the working windows and reports attach to the ids as they exist.
#pragma once

#include <string>
#include <vector>

namespace tvx::core {

enum class MainCommand {
    IncomingInvoices,  // "FACTURI -Intrari-"
    ReceivedNotes,     // "Note de Receptie"
    ProductCard,       // "MAGAZIE - Fise, miscari"
    PreOrders,         // "Precomenzi"
    OutgoingInvoices,  // "FACTURI -Iesiri-"
    CashBook,          // "Registrul de casa"
    Reports,           // "Rapoarte": drops down the report menu
    Administration,    // "Setari"
    Backup,            // "Salvare"
    LogOut,            // "Iesire"
};

struct MainButton {
    MainCommand command;
    const char* name;  // control name
    const char* caption;
    const char* hint;
    int functionKey;  // 1..5 for F1..F5, 0 when the button has no key
};

// The button row in order.
const std::vector<MainButton>& MainButtons();
// Whether a button is shown after a login of `grade`: "Precomenzi" only for the workshop
// activity, "Rapoarte" not for grade 2 (CASIER).
bool MainButtonShown(MainCommand command, int grade, bool workshop);
// The button a function key (1..5) presses while the button row is shown; null when none.
const MainButton* ButtonOfKey(int functionKey);

enum class ReportId {
    None,  // headings and items that only hold sub-items
    UnpaidIncoming,
    UncollectedPrint,
    UncollectedExport,
    UncollectedSelection,
    NirSummary,
    ConsumptionSummary,
    DeliveryNotes,
    PurchaseJournal,
    SalesJournalInvoices,
    ReceiptsJournal,
    SalesMarkupSummary,
    SalesByRepresentative,
    Declaration394Print,
    Declaration394Export,
    ClientStatements,
    ActivitySummary,
    Inventory,
    GoodsReceived,
    GoodsIssued,
    Transfers,
    SagaExport,
    Warranties,
};

// What is asked before a report runs.
enum class ReportPicker {
    None,
    Period,  // the period picker (dates, and the location when withLocation)
    Month,   // the month picker: the 1st to the last day of the month
};

struct ReportItem {
    const char* caption;
    ReportId id = ReportId::None;
    ReportPicker picker = ReportPicker::None;
    const char* pickerTitle = "";
    bool withLocation = false;
    bool withRepresentative = false;  // filled from the representatives of FactOut
    bool heading = false;             // a disabled heading line
    std::vector<ReportItem> children = {};
};

// The report menu in order.
const std::vector<ReportItem>& ReportMenu();

constexpr const char* kMainStatusLine = "ESC - Iesire din program";

}  // namespace tvx::core
