// The editable printing templates: a missing file is named in the refusal, and the restore
// of the embedded NIR workbook reports success only when the file was really written,
// leaving the user's file in place otherwise.
#include <gtest/gtest.h>

#include <fstream>

#include "../CoreTestSupport.h"
#include "core/admin/PrintTemplates.h"
#include "core/common/Templates.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;
using testsupport::FileBytes;
using testsupport::ScratchDir;

TEST(PrintTemplates, MissingFileIsRefusedWithItsPath) {
    ScratchDir dir;
    const fs::path file = PreorderTemplateFile(dir.path());
    EXPECT_EQ(file.filename(), "PrecoMod.rtf");
    const auto missing = MissingTemplate("Modificare model precomanda", file);
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->text, "Fisierul " + file.string() + " lipseste!");
    EXPECT_EQ(missing->kind, MessageKind::Error);
    fs::create_directories(file);  // a folder of that name is no template either
    EXPECT_TRUE(MissingTemplate("T", file));
    fs::remove(file);
    std::ofstream(file) << "{\\rtf1 [CLIENT]}";
    EXPECT_FALSE(MissingTemplate("T", file));
}

TEST(PrintTemplates, RestorePutsTheEmbeddedWorkbookBack) {
    ScratchDir dir;
    const fs::path file = NirTemplateFile(dir.path());
    EXPECT_EQ(file.filename(), "NIRTVA.xls");
    std::ofstream(file) << "changed by the user";
    RegisterTemplate("TestRestoreNir", kTemplateKind, "original workbook");
    const Message done = RestoreTemplate("TestRestoreNir", file);
    EXPECT_EQ(done.kind, MessageKind::Information);
    EXPECT_EQ(done.text, "\rA fost pus la loc modelul initial.");
    EXPECT_EQ(FileBytes(file), "original workbook");
}

TEST(PrintTemplates, RestoreWithoutEmbeddedTemplateClaimsNothing) {
    ScratchDir dir;
    const fs::path file = NirTemplateFile(dir.path());
    std::ofstream(file) << "changed by the user";
    const Message failed = RestoreTemplate("TestNoSuchTemplate", file);
    EXPECT_EQ(failed.kind, MessageKind::Error);
    EXPECT_NE(failed.text.find(file.string()), std::string::npos);
    EXPECT_EQ(FileBytes(file), "changed by the user");
}

}  // namespace
}  // namespace tvx::core
