// Set-up shared by the goods received note tests: incoming documents, notes made through the
// header dialog, lines computed by the line dialog, and a dump of every table and counter to
// compare before and after a failed operation.
#pragma once

#include "StockTestSupport.h"
#include "core/stock/NirHeader.h"
#include "core/stock/NirLine.h"
#include "core/stock/NirLineForm.h"
#include "core/stock/NirNotes.h"

namespace tvx::core::stocktest {

class NirTest : public StockTest {
  protected:
    void SetUp() override {
        StockTest::SetUp();
        AddDocument(1, "FACTURA FISCALA", "AB 100", Day(1, 4, 2024), "ALFA SRL", "RO123", 19);
        AddDocument(2, "FACTURA FISCALA", "AB 101", Day(2, 4, 2024), "ALFA SRL", "RO123", 19);
        AddDocument(3, "BON FISCAL", "7", Day(3, 4, 2024), "BETA SA", "456", 9);
        AddDocument(4, "FACTURA FISCALA", "C 1", Day(4, 4, 2024), "ALFA", "789", 19);
    }
    void AddDocument(long long id, const char* kind, const char* number, Date date,
                     const char* supplier, const char* cui, int vat) {
        db_->execute(
            "INSERT INTO FactIn (IDFACT, NUMEFACT, SERIANR, DATAIN, FURNIZOR, CUI, TVAPROC) "
            "VALUES (:id, :k, :n, :d, :s, :c, :v)",
            {{"id", id},
             {"k", kind},
             {"n", number},
             {"d", date},
             {"s", supplier},
             {"c", cui},
             {"v", vat}});
    }
    long long NewNote(long long document, long long number, Date date) {
        NirHeaderForm header;
        header.startNew(*db_, *settings_, date);
        header.number = number;
        const auto problem = header.check(*db_, document);
        EXPECT_FALSE(problem) << problem->message;
        return header.save(*db_, *settings_, document);
    }
    // A line as the dialog computes it (payer company, the note's rate).
    NirLineRow Line(const std::string& product, const char* q, const char* p,
                    const char* markup = "0", const std::string& category = "MARFA",
                    const std::string& location = "MAGAZIN", const char* vat = "19",
                    bool adding = true) {
        NirLineForm form;
        form.setVat(D(vat), true);
        form.category = category;
        form.resetForAdd(*settings_, {location}, Day(1, 4, 2024));
        form.adding = adding;
        form.product = product;
        form.unit = "BUC";
        form.qf = D(q);
        form.invoicedChanged();
        form.p = D(p);
        form.a = D(markup);
        form.recalcLine();
        return form.toRow();
    }
    std::string Snapshot() {
        std::string out;
        for (const char* table : {"CapNIR", "ProdNIR", "CapFise", "Fise", "FactIn"}) {
            tables::ResultSet rows = Query(std::string("SELECT * FROM ") + table);
            out += table;
            out += "\n";
            for (size_t r = 0; r < rows.rowCount(); ++r) {
                for (int c = 0; c < rows.columnCount(); ++c) out += rows.at(r, c).toString() + "|";
                out += "\n";
            }
        }
        return out + testsupport::FileBytes(settings_->path());
    }
};

}  // namespace tvx::core::stocktest
