// The printed stock, activity, declaration 394 and client reports read back from their PDF:
// each prints its title, its period line and its totals with two decimals, also for a period
// without rows (headings and zero totals).
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>

#include "core/common/Schema.h"
#include "core/reports/Declaration394.h"
#include "printing/ReportOutput.h"
#include "support/PdfText.h"
#include "tables/Database.h"
#include "ui/printing/ActivityReports.h"

namespace tvx::ui {
namespace {

using tables::Date;

const Date kDay = Date::fromYmd(2024, 3, 5);

// The report's PDF as pdftotext lays it out: one line per printed line, left to right, runs of
// blanks collapsed, so that a total is found beside its caption.
std::string PrintedLines(const printing::LaidOutReport& report) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("report.pdf");
    printing::ReportJob(report).writePdf(pdf.toStdString());
    QProcess tool;
    tool.start("pdftotext", {"-layout", "-enc", "UTF-8", pdf, "-"});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed";
        return {};
    }
    QString text = QString::fromUtf8(tool.readAllStandardOutput());
    text.replace(QRegularExpression("[ \\t]+"), " ");
    return text.toStdString();
}

class ActivityReportsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db_ = std::make_unique<tables::Database>(dir_.path().toStdString(),
                                                 dir_.path().toStdString());
        db_->setDurable(false);
        core::CreateMissingTables(*db_);
        Run("INSERT INTO CapFise (IDCAP, GESTIUNE, CATEG, PRODUS, UM, PRETOUT, STOC) VALUES "
            "(1, 'DEPOZIT', 'MARFA', 'FILTRU ULEI', 'BUC', 20, 4)");
        Run("INSERT INTO Fise (IDCAP, TIP, DOCJUS, NRDOC, DINDATA, CANTIN, CANTOUT, VALIN, VALOUT) "
            "VALUES (1, 'INTRARE', 'NIR', 7, '05.03.2024', 10, 0, 200.40, 0), (1, 'IESIRE', "
            "'BON DE CONSUM', 8, '05.03.2024', 0, 2, 0, 40.05), (1, 'TRANSFER', 'BON DE "
            "TRANSFER', 9, '05.03.2024', 1, 1, 20, 20), (1, 'VANZARE', 'FACTURA', 10, "
            "'05.03.2024', 0, 1, 0, 20)");
        Run("INSERT INTO FactOut (IDFACTO, SERIA, NR, DATAOUT, SOC2, CUI2, VALTOT, TVATOT, TOTAL, "
            "REST, GESTIUNE) VALUES (1, 'TVX', 1, '05.03.2024', 'ALFA SRL', 'RO123', 100, 19, "
            "119, 19, 'DEPOZIT'), (2, 'TVX', 2, '05.03.2024', 'ALFA SRL', 'RO123', 10, 1.90, "
            "11.90, 0, 'DEPOZIT')");
        Run("INSERT INTO ProdOut (IDFACTO, IDCAP, IDFISA, PRODUS, UM, CANT, PRETOUT, VALOUT, "
            "VALTVA) VALUES (1, 1, 1, 'FILTRU ULEI', 'BUC', 5, 23.80, 100, 19)");
        Run("INSERT INTO ChitOut (IDCHIT, IDFACTO, DOCJUS, SERIA, NR, DATAOUT, SUMA) VALUES (1, 1, "
            "'CHITANTA', 'C', 3, '06.03.2024', 100)");
    }
    void Run(const std::string& sql) { db_->execute(sql); }

    QTemporaryDir dir_;
    std::unique_ptr<tables::Database> db_;
};

TEST_F(ActivityReportsTest, EachReportPrintsItsTitlePeriodAndTotals) {
    const core::StockPeriod day{kDay, kDay},
        empty{Date::fromYmd(2010, 1, 1), Date::fromYmd(2010, 1, 31), "DEPOZIT"};
    using Make = std::function<printing::LaidOutReport(const core::StockPeriod&)>;
    struct Case {
        const char* name;
        Make make;
        std::vector<std::string> texts;       // of the one-day period
        std::vector<std::string> emptyTexts;  // of the empty period
    };
    tables::Database& db = *db_;
    const std::vector<Case> cases = {
        {"goods in",
         [&](auto& p) {
             return PrepareStockMovesReport(db, "FIRMA", core::StockMoveKind::GoodsIn, p);
         },
         {"FIRMA", "CENTRALIZATOR INTRARI MARFA", "la data de 05.03.2024", "Document",
          "justificativ", "FILTRU ULEI", "TOTAL 200.40"},
         {"Gestiunea : DEPOZIT", "perioada 01.01.2010 - 31.01.2010", "TOTAL 0.00"}},
        {"goods out",
         [&](auto& p) {
             return PrepareStockMovesReport(db, "FIRMA", core::StockMoveKind::GoodsOut, p);
         },
         {"CENTRALIZATOR IESIRI MARFA", "TOTAL 60.05"},
         {"TOTAL 0.00"}},
        {"transfers",
         [&](auto& p) {
             return PrepareStockMovesReport(db, "FIRMA", core::StockMoveKind::Transfers, p);
         },
         {"CENTRALIZATOR TRANSFERURI MARFA", "INTRARI", "IESIRI", "TOTAL 20.00 20.00"},
         {"TOTAL 0.00 0.00"}},
        {"consumption",
         [&](auto& p) { return PrepareConsumptionReport(db, p); },
         {"CENTRALIZATOR BONURI DE CONSUM", "in perioada 05.03.2024 - 05.03.2024",
          "DEPOZIT : BON DE CONSUM Nr.8 / 05.03.2024", "TOTAL 40.05"},
         {"TOTAL 0.00"}},
        {"mark-up",
         [&](auto& p) { return PrepareMarkupReport(db, "FIRMA", true, p); },
         {"CENTRALIZATOR MARTIE 2024", "vanzari - adaos comercial", "Total adaos comercial 119.00"},
         {"CENTRALIZATOR IANUARIE 2010", "Total adaos comercial 0.00"}},
        {"activity",
         [&](auto& p) { return PrepareActivityReport(db, "FIRMA", true, p); },
         {"REZUMAT ACTIVITATE", "in ziua de 05.03.2024", "Total vanzari 110.00 20.90 130.90",
          "marfa 100.00 19.00 119.00", "Total marfa magazie 80.00", "TVA de plata 20.90"},
         {"Gestiunea : DEPOZIT", "in perioada 01.01.2010 - 31.01.2010", "Total incasat 0.00"}},
        {"declaration 394",
         [&](auto& p) {
             const auto rows = core::QueryDeclaration394(db, p);
             return PrepareDeclaration394Report(rows, "FIRMA", p);
         },
         {"Centralizator cumulativ vanzari pe clienti", "declaratia 394",
          "in perioada 05.03.2024 - 05.03.2024", "1 ALFA SRL RO123 2 130.90", "TOTAL 2 130.90",
          "Semnatura,"},
         {"Denumire client", "TOTAL 0 0.00"}},
    };
    for (const Case& c : cases) {
        testing::ExpectAllTexts(PrintedLines(c.make(day)), c.texts);
        const auto none = c.make(empty);
        ASSERT_EQ(none.pages.size(), 1u) << c.name;
        testing::ExpectAllTexts(PrintedLines(none), c.emptyTexts);
    }
}

TEST_F(ActivityReportsTest, StatementAndSelectionPrintTheirTotals) {
    const std::string statement =
        PrintedLines(PrepareClientStatementReport(*db_, "FIRMA", "RO999", "ALFA SRL", kDay));
    testing::ExpectAllTexts(statement, {"Fisa client", "ALFA SRL", "CUI: RO999",
                                        "incasari:", "CHITANTA 06.03.2024 C 3 100.00",
                                        "Total facturat : 130.90", "Total rest : 19.00"});
    const auto rows = core::QueryUnpaidSelection(*db_, {"ALF", kDay, kDay}, {"* toate *"});
    testing::ExpectAllTexts(
        PrintedLines(PrepareUnpaidSelectionReport(rows, "ALF", kDay)),
        {"ALF", "Data : 05.03.2024", "RAPORT FACTURI NEINCASATE", "TOTAL 19.00"});
}

}  // namespace
}  // namespace tvx::ui
