// The result-set export read back: comma- and tab-separated text by a plain parser (quotes,
// separators, numbers with a point, ISO dates, empty cells), HTML and RTF escaping, the text
// and document formats' header and footer lines, whole-or-nothing files (also when the
// workbook writer fails half-way), and one LibreOffice conversion that reads every spreadsheet
// format back as a spreadsheet with typed cells.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "../CoreTestSupport.h"
#include "core/reports/ResultSetExport.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

using tables::ColumnInfo;
using tables::Date;
using tables::Decimal;
using tables::ResultSet;
using tables::Value;
using testsupport::FileBytes;
using testsupport::ScratchDir;

// Three rows with the awkward texts: separators, quotes, markup, a blank cell.
ResultSet SampleRows() {
    std::vector<ColumnInfo> columns{
        {"SOC2", 'C', 32, 0}, {"NR", 'N', 10, 0}, {"DATAOUT", 'D', 8, 0}, {"REST", 'N', 10, 2}};
    std::vector<Value> cells = {
        "ALFA, BETA SRL",
        Value(Decimal(12)),
        Date::fromYmd(2026, 1, 5),
        *Decimal::parse("1234.50"),
        "Say \"hi\" <b>&",
        Value(Decimal(7)),
        Date::fromYmd(2025, 12, 31),
        *Decimal::parse("-0.25"),
        "TAB\tIN",
        Value(),
        Date::fromYmd(2024, 2, 29),
        *Decimal::parse("0.00"),
    };
    return ResultSet(std::move(columns), std::move(cells));
}

ExportOptions Options() {
    ExportOptions options;
    options.header = "RAPORT FACTURI NEINCASATE";
    options.created = Date::fromYmd(2026, 12, 9);
    return options;
}

// RFC 4180 reading: quoted fields with doubled quotes, lines ending in CR LF.
std::vector<std::vector<std::string>> ParseSeparated(const std::string& text, char separator) {
    std::vector<std::vector<std::string>> rows(1);
    std::string cell;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == separator) {
            rows.back().push_back(cell);
            cell.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            rows.back().push_back(cell);
            cell.clear();
            rows.emplace_back();
            ++i;
        } else {
            cell += c;
        }
    }
    if (rows.back().empty()) rows.pop_back();
    return rows;
}

TEST(ResultSetExport, SeparatedTextReadsBackCellForCell) {
    const std::vector<std::vector<std::string>> expected = {
        {"SOC2", "NR", "DATAOUT", "REST"},
        {"ALFA, BETA SRL", "12", "2026-01-05", "1234.50"},
        {"Say \"hi\" <b>&", "7", "2025-12-31", "-0.25"},
        {"TAB\tIN", "", "2024-02-29", "0.00"},
    };
    for (const auto& [format, separator] : std::vector<std::pair<ExportFormat, char>>{
             {ExportFormat::Csv, ','}, {ExportFormat::Tab, '\t'}}) {
        const std::string bytes = ExportBytes(SampleRows(), format, Options());
        EXPECT_EQ(ParseSeparated(bytes, separator), expected) << bytes;
        // Data only: no header or footer line to shift the columns.
        EXPECT_EQ(bytes.find("Creat la"), std::string::npos);
    }
    EXPECT_EQ(ClipboardText(SampleRows(), Options()),
              ExportBytes(SampleRows(), ExportFormat::Tab, Options()));
}

TEST(ResultSetExport, MarkupIsEscapedAndDocumentsCarryHeaderAndFooter) {
    const std::string html = ExportBytes(SampleRows(), ExportFormat::Html, Options());
    EXPECT_NE(html.find("<td>Say &quot;hi&quot; &lt;b&gt;&amp;</td>"), std::string::npos) << html;
    EXPECT_EQ(html.find("<b>&"), std::string::npos);
    EXPECT_NE(html.find("<td class=\"n\">1234.50</td>"), std::string::npos);
    EXPECT_NE(html.find("<td>05.01.2026</td>"), std::string::npos);
    const std::string rtf = ExportBytes(SampleRows(), ExportFormat::Rtf, Options());
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    EXPECT_EQ(ExportBytes(SampleRows(), ExportFormat::Word, Options()), rtf);
    const std::string text = ExportBytes(SampleRows(), ExportFormat::Text, Options());
    for (const std::string& document : {html, rtf, text}) {
        EXPECT_NE(document.find("RAPORT FACTURI NEINCASATE"), std::string::npos);
        EXPECT_NE(document.find("Creat la 09.12.2026"), std::string::npos);
    }
    // Aligned text: numbers end under the end of their title.
    EXPECT_NE(text.find("\r\nALFA, BETA SRL  12  05.01.2026  1234.50\r\n"), std::string::npos)
        << text;
    // Well-formed where a checker is at hand.
    ScratchDir dir;
    std::ofstream(dir.path() / "x.html", std::ios::binary) << html;
    const std::string lint = "xmllint --noout \"" + (dir.path() / "x.html").string() + "\" 2>&1";
    if (std::system("xmllint --version >/dev/null 2>&1") == 0)
        EXPECT_EQ(std::system(lint.c_str()), 0) << html;
}

TEST(ResultSetExport, FilesAreWholeOrAbsent) {
    ScratchDir dir;
    const auto target = dir.path() / "Facturi.csv";
    ExportToFile(SampleRows(), ExportFormat::Csv, Options(), target);
    EXPECT_EQ(FileBytes(target), ExportBytes(SampleRows(), ExportFormat::Csv, Options()));
    EXPECT_THROW(ExportToFile(SampleRows(), ExportFormat::Csv, Options(),
                              dir.path() / "nu-exista" / "x.csv"),
                 tables::EngineError);

    // A workbook writer that fails half-way leaves the old file and no partial one.
    struct Failing : WorkbookWriter {
        std::string extension() const override { return ".xls"; }
        void write(const ResultSet&, const ExportOptions&,
                   const std::filesystem::path& file) const override {
            std::ofstream(file, std::ios::binary) << "half";
            throw tables::EngineError("disc plin");
        }
    };
    const auto book = dir.path() / "Facturi.xls";
    std::ofstream(book, std::ios::binary) << "old";
    SetWorkbookWriter(std::make_shared<Failing>());
    EXPECT_EQ(ExportExtension(ExportFormat::Excel), ".xls");
    EXPECT_THROW(ExportToFile(SampleRows(), ExportFormat::Excel, Options(), book),
                 tables::EngineError);
    SetWorkbookWriter(nullptr);
    EXPECT_EQ(FileBytes(book), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);

    const auto viewed = ExportForViewing(SampleRows(), ExportFormat::Excel, Options(), dir.path());
    EXPECT_EQ(viewed.filename(), "Export0.xls");
    EXPECT_EQ(FileBytes(viewed).substr(0, 4), "\xD0\xCF\x11\xE0");  // a workbook container
}

// LibreOffice opens the CSV, the workbook, the SYLK and the DIF file as spreadsheets: saved
// again as flat ODF, each holds the titles and texts as they were, the numbers as numbers and
// the dates as dates (DIF, which has no dates, keeps them as texts).
TEST(ResultSetExport, SpreadsheetFormatsOpenInCalcWithTypedCells) {
    if (std::system("soffice --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "soffice (LibreOffice) is not installed";
    ScratchDir dir;
    const std::vector<std::pair<ExportFormat, std::string>> files = {{ExportFormat::Csv, "a.csv"},
                                                                     {ExportFormat::Excel, "b.xls"},
                                                                     {ExportFormat::Sylk, "c.slk"},
                                                                     {ExportFormat::Dif, "d.dif"}};
    std::string names;
    for (const auto& [format, name] : files) {
        ExportToFile(SampleRows(), format, Options(), dir.path() / name);
        names += " \"" + (dir.path() / name).string() + "\"";
    }
    const std::string command =
        "cd \"" + dir.path().string() + "\" && soffice -env:UserInstallation=file://" +
        (dir.path() / "profile").string() + " --headless --convert-to fods --outdir out" + names +
        " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const auto count = [](const std::string& text, const std::string& part) {
        size_t n = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++n;
        return n;
    };
    for (const auto& [format, name] : files) {
        const std::string stem = std::filesystem::path(name).stem().string();
        const std::string sheet = FileBytes(dir.path() / "out" / (stem + ".fods"));
        ASSERT_FALSE(sheet.empty()) << name;
        for (const char* text : {">SOC2<", ">DATAOUT<", ">ALFA, BETA SRL<", "&lt;b&gt;&amp;<"})
            EXPECT_EQ(count(sheet, text), 1u) << name << ": " << text;
        // DIF has no dates: they stay the texts they were written as.
        const bool dif = format == ExportFormat::Dif;
        EXPECT_EQ(count(sheet, "office:value-type=\"date\""), dif ? 0u : 3u) << name;
        EXPECT_EQ(count(sheet, dif ? ">29.02.2024<" : "office:date-value=\"2024-02-29"), 1u)
            << name;
        for (const char* number : {"\"1234.5\"", "\"-0.25\"", "\"12\"", "\"7\""})
            EXPECT_EQ(
                count(sheet, std::string("office:value-type=\"float\" office:value=") + number), 1u)
                << name << ": " << number;
    }
}

// LibreOffice Writer opens the RTF document: as plain text it holds the header, every title
// and cell (escaped braces and backslashes back as they were) and the footer.
TEST(ResultSetExport, RtfOpensInWriter) {
    if (std::system("soffice --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "soffice (LibreOffice) is not installed";
    ScratchDir dir;
    std::vector<ColumnInfo> columns{{"TEXT", 'C', 20, 0}, {"SUMA", 'N', 10, 2}};
    std::vector<Value> cells{"A {b} \\ c", *Decimal::parse("7.50")};
    ExportToFile(ResultSet(columns, cells), ExportFormat::Rtf, Options(), dir.path() / "e.rtf");
    const std::string command =
        "cd \"" + dir.path().string() + "\" && soffice -env:UserInstallation=file://" +
        (dir.path() / "profile").string() + " --headless --convert-to txt e.rtf >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string text = FileBytes(dir.path() / "e.txt");
    for (const char* part :
         {"RAPORT FACTURI NEINCASATE", "TEXT", "SUMA", "A {b} \\ c", "7.50", "Creat la 09.12.2026"})
        EXPECT_NE(text.find(part), std::string::npos) << part << " in " << text;
}

}  // namespace
}  // namespace tvx::core
