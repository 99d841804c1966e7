// Pictures of the filled workbooks (tools/tvxshots): the sample note printed into the NIR
// template, the month's sales journal and the cash register book of the last days, each printed by
// LibreOffice and turned into PNG by pdftoppm. Nothing is written when LibreOffice (soffice) is not
// installed.
#include "WorkbookShots.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>

#include "core/app/Session.h"
#include "core/common/PeriodChoice.h"
#include "core/common/Schema.h"
#include "core/purchases/CashBook.h"
#include "core/purchases/CashBookExport.h"
#include "core/purchases/CashEntry.h"
#include "core/reports/WorkbookExports.h"
#include "core/stock/NirWorkbook.h"
#include "tables/Database.h"

namespace {

// Renders the first page of `workbook` as output/name.png: LibreOffice prints it to PDF,
// pdftoppm (poppler) turns the page into a picture. False when either cannot.
bool Render(const std::filesystem::path& workbook, const QDir& output, const QString& name) {
    QTemporaryDir work;
    QProcess office;
    office.start("soffice", {"-env:UserInstallation=file://" + work.filePath("profile"),
                             "--headless", "--convert-to", "pdf", "--outdir", work.path(),
                             QString::fromStdString(workbook.string())});
    const QString pdf = work.filePath(QString::fromStdString(workbook.stem().string()) + ".pdf");
    if (!office.waitForFinished(120000) || office.exitCode() != 0 || !QFile::exists(pdf)) {
        std::fprintf(stderr, "tvxshots: LibreOffice could not print %s\n", workbook.c_str());
        return false;
    }
    const QString target = output.filePath(name);
    QProcess pages;
    pages.start("pdftoppm", {"-png", "-r", "90", "-singlefile", pdf, target});
    if (!pages.waitForFinished(60000) || pages.exitCode() != 0) {
        std::fprintf(stderr, "tvxshots: pdftoppm could not render %s\n", qPrintable(pdf));
        return false;
    }
    std::printf("%s.png\n", qPrintable(target));
    return true;
}

}  // namespace

int SaveWorkbookPictures(tvx::core::Session& session, const QDir& output) {
    if (QStandardPaths::findExecutable("soffice").isEmpty()) {
        std::fprintf(stderr, "tvxshots: soffice not found, no workbook pictures\n");
        return 0;
    }
    int saved = 0;
    tvx::tables::Database& db = session.db();
    tvx::tables::ResultSet notes =
        db.query("SELECT IDNIR FROM " + tvx::core::QuotedPath(tvx::core::TableFile(db, "CapNIR")));
    if (notes.empty()) std::fprintf(stderr, "tvxshots: no sample note\n");
    if (!notes.empty()) {
        const auto nir = tvx::core::PrintNirNote(db, session.dataDir(), session.programFolder(),
                                                 session.profile.denumire,
                                                 notes.at(0, 0).number().toLongLong(), false);
        if (!nir.written) std::fprintf(stderr, "tvxshots: %s\n", nir.problem.c_str());
        if (nir.written && Render(nir.file, output, "nir-workbook")) ++saved;
    }
    const tvx::tables::Date today = tvx::core::Today();
    const auto journal = tvx::core::ExportSalesJournal(
        db, session.programFolder(), session.profile.denumire,
        tvx::tables::Date::fromYmd(today.year(), today.month(), 1), today, false);
    if (!journal.written) std::fprintf(stderr, "tvxshots: %s\n", journal.problem.c_str());
    if (journal.written && Render(journal.file, output, "sales-journal-workbook")) ++saved;

    // The cash book of the last ten days: today's operations and two manual entries before
    // them, so the workbook holds three day blocks.
    tvx::core::CashBook book(db, session.settings(), session.programFolder(), today);
    book.build();
    const auto manual = [&](tvx::core::CashEntryKind kind, int daysBack, const char* document,
                            const char* sum, const char* text) {
        tvx::core::CashEntry entry;
        entry.open(kind, today.addDays(-daysBack), {});
        entry.document = document;
        entry.number = "7";
        entry.sum = sum;
        entry.text = text;
        if (!entry.check()) book.addEntry(entry);
    };
    manual(tvx::core::CashEntryKind::Collection, 7, "DEPUNERE", "2000", "sold initial casa");
    manual(tvx::core::CashEntryKind::Payment, 2, "DISPOZITIE PLATA", "85.40", "consumabile");
    const auto cash =
        tvx::core::ExportCashBook(book.period(today.addDays(-10), today, session.profile.denumire),
                                  session.programFolder(), !session.profile.officeOld, false);
    book.drop();
    if (!cash.written) std::fprintf(stderr, "tvxshots: %s\n", cash.problem.c_str());
    if (cash.written && Render(cash.file, output, "cash-book-workbook")) ++saved;
    return saved;
}
