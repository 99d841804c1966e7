// Tests of the embedded workbook templates: the NIR template written at the first start and
// put back by "Refa modelul initial", and the cells each template carries as an independent
// reader (xls-dump) sees them.
#include <gtest/gtest.h>

#include <fstream>

#include "../CoreTestSupport.h"
#include "WorkbookCheck.h"
#include "core/admin/PrintTemplates.h"
#include "core/app/Session.h"
#include "core/app/Startup.h"
#include "core/common/Templates.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;
using testsupport::ScratchDir;

TEST(WorkbookTemplates, NirTemplateWrittenAtFirstStartAndPutBack) {
    ScratchDir scratch;
    Session session(scratch.path() / "program");
    PrepareData(session);
    const fs::path nir = NirTemplateFile(session.dataDir());
    ASSERT_TRUE(fs::is_regular_file(nir));
    const std::string original = testsupport::FileBytes(nir);
    std::ofstream(nir, std::ios::trunc) << "changed by the user";
    const Message restored = RestoreTemplate(kNirTemplateName, nir);
    EXPECT_EQ(restored.kind, MessageKind::Information) << restored.text;
    EXPECT_EQ(testsupport::FileBytes(nir), original);

    const auto recalculated = testsupport::LibreOfficeValues(nir);
    if (!recalculated) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    EXPECT_EQ(recalculated->at("A3"), "NOTA DE RECEPTIE");
    EXPECT_EQ(recalculated->at("N10"), "#DBF");
}

TEST(WorkbookTemplates, EachTemplateCarriesItsMarkersAndFormulas) {
    struct Case {
        const char* name;
        std::map<std::string, std::string> cells;  // value, or "=formula"
    };
    const Case cases[] = {
        {"NIRTVA",
         {{"A1", "[Soc]"},
          {"A2", "[NrNir]"},
          {"C4", "FURNIZOR:"},
          {"E4", "[Furnizor]"},
          {"E5", "[Factura]"},
          {"E6", "[Delegat]"},
          {"D8", "Cantitatea"},
          {"E9", "La receptie"},
          {"M8", "Valoare la pret cu adaos si TVA"},
          {"A10", "%NRCRT"},
          {"B10", "#PRODUS"},
          {"M10", "#VALAT"},
          {"N10", "#DBF"},
          {"G11", "TOTAL:"},
          {"H11", "=SUM(H8:H10)"},
          {"I11", "=SUM(I8:I10)"},
          {"M11", "=SUM(M8:M10)"},
          {"D12", "Semnatura,"},
          {"B14", "Receptioner: [Receptioner]"},
          {"B16", "Gestionar: [Gestionar]"},
          {"H18", "TOTAL VALOARE AMANUNT"},
          {"L18", "[NIRSub5]"}}},
        {"JurnVFact",
         {{"A1", "[Soc]"},
          {"A2", "JURNAL VANZARI"},
          {"A3", "[Perioada]"},
          {"E5", "REPORT:"},
          {"H5", "[RTVA]"},
          {"D6", "Factura"},
          {"G6", "Baza impozabila"},
          {"E7", "Numarul"},
          {"B8", "#DATAOUT"},
          {"H8", "=F8-G8"},
          {"I8", "#DBF"},
          {"F9", "=SUM(F6:F8)"},
          {"H11", "=H5+H9"},
          {"B13", "Compartiment financiar contabil,"}}},
        {"RegCasa",
         {{"A1", "[SC]"},
          {"A3", "[perioada]"},
          {"E5", "[II]"},
          {"B6", "[ZIUA]"},
          {"C7", "[SP]"},
          {"B8", "Document justificativ"},
          {"B9", "#DOCJUSNR"},
          {"G9", "#DBF"},
          {"C10", "=C7+E10-F10"},
          {"E10", "=SUM(E8:E9)"},
          {"C13", "=C10"},
          {"G15", "#DBF"},
          {"D18", "Final"},
          {"E18", "=E5+SUM(E8:E17)/2"},
          {"D20", "Compartiment financiar contabil,"}}},
    };
    ScratchDir dir;
    for (const Case& c : cases) {
        const fs::path file = dir.path() / (std::string(c.name) + ".xls");
        ASSERT_TRUE(ExtractTemplate(c.name, "MODEL", file)) << c.name;
        auto cells = testsupport::XlsDump(file);
        for (const auto& [ref, want] : c.cells) {
            const auto& cell = cells[ref];
            EXPECT_EQ(want[0] == '=' ? cell.formula : cell.value, want) << c.name << " " << ref;
        }
    }
}

}  // namespace
}  // namespace tvx::core
