// `tvxcli einvoice` run as a process: the file and its one line on success; on each failure
// "error: " with the reason, a non-zero exit and no file.
#include "EInvoiceTestSupport.h"

namespace tvx::core::einvoicetest {
namespace {

CommandRun Tvxcli(const std::string& args) {
    return RunCommand(std::string("\"") + TVX_TVXCLI + "\" einvoice " + args);
}

std::string Quoted(const std::filesystem::path& path) {
    return "\"" + path.string() + "\"";
}

TEST_F(EInvoiceTest, CommandLineWritesTheFileOrSaysWhyNot) {
    const long long id =
        Post("CLIENT SRL", "RO26789456", "CLUJ", "Cluj-Napoca",
             {{"Filtru aer", "buc", "2", "23.80"}, {"Manopera", "ora", "1", "90"}});
    const long long noCode =
        Post("CLIENT SRL", "RO26789456", "CLUJ", "Cluj-Napoca", {{"Garnituri", "kit", "1", "9"}});
    EInvoice expected = LoadEInvoice(*db_, *settings_, id);
    ASSERT_TRUE(ResolveUnitCodes(expected, *settings_, StoredUnitCodes(*settings_)));
    db_.reset();  // the data directory is the command's now

    // Relative paths are taken from the current folder.
    const auto file = dir_.path() / "TVX1001.xml";
    const CommandRun ok = RunCommand("cd " + Quoted(dir_.path()) + " && \"" + TVX_TVXCLI +
                                     "\" einvoice Data " + std::to_string(id) + " TVX1001.xml");
    EXPECT_EQ(ok.status, 0) << ok.output;
    EXPECT_EQ(ok.output, "wrote TVX1001.xml (e-invoice of IDFACTO " + std::to_string(id) + ")\n");
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), EInvoiceXml(expected));

    // A folder nobody can write in, even root: its place is taken by a file.
    const auto notAFolder = dir_.path() / "notes.txt";
    std::ofstream(notAFolder) << "x";
    struct Failure {
        std::string args, reason;
    };
    const Failure failures[] = {
        {Quoted(dir_.path() / "Nowhere") + " 1 " + Quoted(dir_.path() / "a.xml"), "does not exist"},
        {Quoted(data_) + " 4242 " + Quoted(dir_.path() / "a.xml"), "IDFACTO 4242"},
        {Quoted(data_) + " x1 " + Quoted(dir_.path() / "a.xml"), "\"x1\""},
        {Quoted(data_) + " " + std::to_string(noCode) + " " + Quoted(dir_.path() / "a.xml"),
         "Factura TVX 1002: unitatea de masura \"KIT\" (linia 1, UM)"},
        {Quoted(data_) + " " + std::to_string(id) + " " + Quoted(notAFolder / "a.xml"),
         (notAFolder / "a.xml").string()},
    };
    for (const Failure& f : failures) {
        const CommandRun run = Tvxcli(f.args);
        EXPECT_NE(run.status, 0) << f.args;
        EXPECT_EQ(run.output.rfind("error: ", 0), 0u) << run.output;
        EXPECT_NE(run.output.find(f.reason), std::string::npos) << run.output;
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "a.xml"));
    EXPECT_EQ(std::filesystem::file_size(notAFolder), 1u);
}

}  // namespace
}  // namespace tvx::core::einvoicetest
