// Shared set-up of the e-invoice tests: a data directory with a company profile (a VAT payer
// in Cluj unless a test changes it), the unit codes of settings section UMS, invoices posted
// through the sales posting, and the national validation toolkit run on written files.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "../stock/StockTestSupport.h"
#include "core/common/Rounding.h"
#include "core/einvoice/EInvoice.h"
#include "core/sales/InvoicePosting.h"
#include "tables/EngineError.h"

namespace tvx::core::einvoicetest {

using stocktest::D;
using stocktest::Day;
using tables::Decimal;

struct WantedLine {
    const char* product;
    const char* unit;
    const char* quantity;
    const char* price;
};

class EInvoiceTest : public stocktest::StockTest {
  protected:
    void SetUp() override {
        StockTest::SetUp();
        Company("RO18547290", "CLUJ", "Cluj-Napoca");
        settings_->writeSetting("SETARI", "DENUMIRE", "TARVIX SERVICE SRL");
        settings_->writeSetting("SETARI", "ADRESA", "Str. Fabricii nr. 3");
        const char* const units[][2] = {{"BUC", "H87 - BUCATI"},
                                        {"ORA", "HUR - ORA"},
                                        {"SET", "SET - SET"},
                                        {"L", "LTR - LITRU"}};
        for (const auto& [unit, item] : units) {
            settings_->writeSetting("UMS", unit, item);
            settings_->writeSetting("UMS", std::string(unit) + "Auto", "DA");
        }
    }

    void Company(const char* fiscalCode, const char* county, const char* locality) {
        settings_->writeSetting("SETARI", "CodFisc", fiscalCode);
        settings_->writeSetting("SETARI", "JUDET", county);
        settings_->writeSetting("SETARI", "Localit", locality);
    }

    // Posts an invoice to the buyer with the lines given (services: no stock card), each
    // line's VAT rounded on its own at `rate` percent, and returns its IDFACTO.
    long long Post(const std::string& buyer, const std::string& cui, const std::string& county,
                   const std::string& locality, const std::vector<WantedLine>& lines, int rate = 19) {
        InvoiceDocument doc;
        doc.series = "TVX";
        doc.number = 1000 + ++posted_;
        doc.date = Day(12, 3, 2026);
        doc.dueDate = Day(11, 4, 2026);
        doc.vatRate = Decimal(rate);
        doc.buyerName = buyer;
        doc.buyerCui = cui;
        doc.buyerAddress = "Str. Memorandumului nr. 28";
        doc.buyerCounty = county;
        doc.buyerLocality = locality;
        doc.iban = "RO49AAAA1B31007593840000";
        doc.location = "MAGAZIN";
        long long nrCrt = 0;
        for (const WantedLine& wanted : lines) {
            InvoiceLine line;
            line.nrCrt = ++nrCrt;
            line.product = wanted.product;
            line.unit = wanted.unit;
            line.quantity = D(wanted.quantity);
            line.price = D(wanted.price);
            line.value = RoundHalfAway(line.quantity * line.price, 2);
            line.vat = RoundHalfAway(line.value * Decimal(rate) / Decimal(100), 2);
            doc.netTotal += line.value;
            doc.vatTotal += line.vat;
            doc.lines.push_back(line);
        }
        doc.total = doc.netTotal + doc.vatTotal;
        return SaveNewInvoice(*db_, *settings_, doc);
    }

    int posted_ = 0;
};

// A program's exit status and its output (both streams).
struct CommandRun {
    int status = -1;
    std::string output;
};
inline CommandRun RunCommand(const std::string& command) {
    CommandRun run;
    if (FILE* pipe = ::popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
        const int status = ::pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return run;
}

// The validation toolkit on one file: exit status 0 when it found nothing fatal.
inline CommandRun Validate(const std::filesystem::path& file) {
    return RunCommand(std::string("\"") + TVX_SHARED_DIR + "/validation/einvoice/validate\" \"" +
                      file.string() + "\"");
}

// Why the toolkit cannot run here; empty when it can.
inline std::string ValidatorMissing() {
    if (std::system("command -v java >/dev/null 2>&1 && command -v xmllint >/dev/null 2>&1") != 0)
        return "java or xmllint is not installed (scripts/deps.sh installs them)";
    if (!std::filesystem::exists("/usr/share/java/Saxon-HE.jar") && !std::getenv("SAXON_JAR"))
        return "Saxon-HE is not installed (scripts/deps.sh installs libsaxonhe-java)";
    return {};
}

}  // namespace tvx::core::einvoicetest
