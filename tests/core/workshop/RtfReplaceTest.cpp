// The rich-text filler: placeholders found in the text a reader sees (split by groups,
// control words and line ends, hidden in destinations, in mixed or upper case), values
// escaped for rich text and the code page, the copies, what is not a document, the output
// name and the template left alone; and a template written by LibreOffice Writer, with a
// placeholder split by its formatting, filled and read back through Writer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../CoreTestSupport.h"
#include "core/common/AtomicFile.h"
#include "core/common/Templates.h"
#include "core/workshop/PreOrderPrint.h"
#include "core/workshop/RtfReplace.h"
#include "support/Soffice.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;

struct FillCase {
    const char* what;
    std::string rtf;
    std::vector<RtfPair> pairs;
    std::string expected;
};

TEST(RtfFill, ReplacesWhatTheReaderSees) {
    const std::vector<FillCase> cases = {
        {"caption kept, upper-case placeholder upper-cases the value",
         "{\\rtf1 Client: [CLIENT]\\par}",
         {{"[CLIENT]", "Ion Pop"}},
         "{\\rtf1 Client: ION POP\\par}\n"},
        {"mixed case keeps the value",
         "{\\rtf1 [Client]}",
         {{"[CLIENT]", "Ion Pop"}},
         "{\\rtf1 Ion Pop}\n"},
        {"four characters keep the value", "{\\rtf1 [CF]}", {{"[CF]", "ro1"}}, "{\\rtf1 ro1}\n"},
        {"empty value prints ten dots", "{\\rtf1 [RC]}", {{"[RC]", ""}}, "{\\rtf1 ..........}\n"},
        {"twice on a line", "{\\rtf1 [KM]/[KM]}", {{"[KM]", "7"}}, "{\\rtf1 7/7}\n"},
        {"split by a group, a control word and a line end",
         "{\\rtf1 [CLI{\\rtlch\\fcs1 \\insrsid12 EN}\r\nT]\\par}",
         {{"[CLIENT]", "X"}},
         "{\\rtf1 X{\\rtlch\\fcs1 \\insrsid12 }\r\n\\par}\n"},
        {"a paragraph end breaks a placeholder",
         "{\\rtf1 [CLI\\par ENT]}",
         {{"[CLIENT]", "X"}},
         "{\\rtf1 [CLI\\par ENT]}\n"},
        {"hidden destinations untouched",
         "{\\rtf1{\\info{\\title [CLIENT]}}{\r\n\\*\\bkmkstart [CLIENT]}[CLIENT]}",
         {{"[CLIENT]", "X"}},
         "{\\rtf1{\\info{\\title [CLIENT]}}{\r\n\\*\\bkmkstart [CLIENT]}X}\n"},
        {"escaped characters of the template are text",
         "{\\rtf1 \\{[NR1]\\}}",
         {{"[NR1]", "1"}},
         "{\\rtf1 \\{1\\}}\n"},
        {"a value is not searched again",
         "{\\rtf1 [MODEL] [CLIENT]}",
         {{"[MODEL]", "[CLIENT]"}, {"[CLIENT]", "Y"}},
         "{\\rtf1 [CLIENT] Y}\n"},
        {"braces and backslash escaped",
         "{\\rtf1 [Client]}",
         {{"[CLIENT]", "A{B}\\C"}},
         "{\\rtf1 A\\{B\\}\\\\C}\n"},
        {"code page 1250 letters",
         "{\\rtf1\\ansi\\ansicpg1250 [CLIENT]}",
         {{"[CLIENT]", "ştefănescu"}},
         "{\\rtf1\\ansi\\ansicpg1250 \\'aaTEF\\'c3NESCU}\n"},
        {"letters outside code page 1252 as \\u",
         "{\\rtf1\\ansi\\ansicpg1252 [Client]}",
         {{"[CLIENT]", "ŞĂé"}},
         "{\\rtf1\\ansi\\ansicpg1252 {\\uc1\\u350?}{\\uc1\\u258?}\\'e9}\n"},
        {"\\u with its stand-in replaced whole",
         "{\\rtf1\\uc1 [\\u350\\'aaX]}",
         {{"[ŞX]", "ok"}},
         "{\\rtf1\\uc1 ok}\n"},
    };
    for (const FillCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FillRtf(c.rtf, c.pairs).value_or("<none>"), c.expected);
    }
}

TEST(RtfFill, CopiesRepeatTheBodyOnNewPages) {
    const std::string rtf = "{\\rtf1{\\fonttbl{\\f0 Arial;}}\n\\pard [NR1]\\par\n}";
    EXPECT_EQ(FillRtf(rtf, {{"[NR1]", "1"}}, 2).value_or(""),
              "{\\rtf1{\\fonttbl{\\f0 Arial;}}\n\\pard 1\\par\n\n\\page\n\\pard 1\\par\n}\n");
}

TEST(RtfFill, OnlyWholeDocumentsAreFilled) {
    for (const char* bad : {"", "[CLIENT]", "{\\rtf1 [CLIENT]", "{\\rtf1 {x}", "{\\urtf [A]}"})
        EXPECT_FALSE(FillRtf(bad, {{"[CLIENT]", "X"}})) << bad;
    EXPECT_TRUE(IsRtfDocument("\xEF\xBB\xBF \r\n{\\rtf1 x}"));
}

TEST(RtfReplaceFile, WritesANewFileAndLeavesTheTemplate) {
    testsupport::ScratchDir dir;
    RtfReplace filler;
    filler.RTFSursa = dir.path() / "PrecoMod.rtf";
    EXPECT_FALSE(filler.BeginDocument());  // missing
    std::ofstream(filler.RTFSursa) << "not rich text [CLIENT]";
    EXPECT_FALSE(filler.BeginDocument());
    const std::string templ = "{\\rtf1 [CLIENT]}";
    std::ofstream(filler.RTFSursa, std::ios::trunc) << templ;

    // 0.rtf open in a word processor (its lock file beside it) is skipped; 1.rtf is free.
    std::ofstream(dir.path() / "0.rtf") << "open";
    std::ofstream(dir.path() / ".~lock.0.rtf#") << "lock";
    ASSERT_TRUE(filler.PickDestination(dir.path()));
    EXPECT_EQ(filler.RTFDest, dir.path() / "1.rtf");
    ASSERT_TRUE(filler.BeginDocument());
    filler.AddPair("[CLIENT]", "Ion");
    filler.WriteBody(1);
    filler.EndDocument();
    EXPECT_EQ(ReadWholeFile(filler.RTFDest).value_or(""), "{\\rtf1 ION}\n");
    EXPECT_EQ(ReadWholeFile(filler.RTFSursa).value_or(""), templ);
    EXPECT_EQ(ReadWholeFile(dir.path() / "0.rtf").value_or(""), "open");

    // The template itself is never a destination, even when it lies in the output folder.
    fs::remove(dir.path() / ".~lock.0.rtf#");
    RtfReplace inPlace;
    inPlace.RTFSursa = dir.path() / "0.rtf";
    ASSERT_TRUE(inPlace.PickDestination(dir.path()));
    EXPECT_EQ(inPlace.RTFDest, dir.path() / "1.rtf");
    EXPECT_EQ(ReadWholeFile(dir.path() / "0.rtf").value_or(""), "open");
}

// A Writer document whose [CLIENT] is split by formatting (as after an edit), and the
// program's own template as Writer saves it again: both filled, then read back by Writer.
TEST(RtfFillWriter, TemplatesSavedByWriterAreFilled) {
    if (!testsupport::HasProgram("soffice"))
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    testsupport::ScratchDir dir;
    const fs::path edited = dir.path() / "edited.fodt";
    std::ofstream(edited) << R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">
<office:automatic-styles>
 <style:style style:name="T1" style:family="text"><style:text-properties fo:font-weight="bold"/></style:style>
 <style:style style:name="T2" style:family="text"><style:text-properties fo:font-style="italic"/></style:style>
</office:automatic-styles>
<office:body><office:text>
 <text:p>Client: [CLI<text:span text:style-name="T1">EN</text:span>T] si [<text:span text:style-name="T2">Model</text:span>]</text:p>
 <text:p>Adresa: [ADRESA]</text:p>
</office:text></office:body></office:document>
)";
    ASSERT_TRUE(EnsurePreorderTemplate(dir.path()));
    const fs::path own = dir.path() / "own";
    fs::create_directories(own);
    fs::copy_file(dir.path() / "PrecoMod.rtf", own / "PrecoMod.rtf");
    const fs::path saved = dir.path() / "saved";
    fs::create_directories(saved);
    ASSERT_TRUE(testsupport::SofficeConvert({edited, own / "PrecoMod.rtf"}, "rtf", saved));

    const std::vector<RtfPair> pairs = {{"[CLIENT]", "ştefănescu {B}\\C"},
                                        {"[MODEL]", "Logan"},
                                        {"[ADRESA]", "Str. Lunga 1"},
                                        {"[NRCOM]", "57"},
                                        {"[NR1]", "1"},
                                        {"[LINIA1]", "Zgomot la franare"}};
    const fs::path filled = dir.path() / "filled";
    fs::create_directories(filled);
    for (const char* name : {"edited", "PrecoMod"}) {
        const auto bytes = ReadWholeFile(saved / (std::string(name) + ".rtf"));
        ASSERT_TRUE(bytes) << name << " was not written by Writer";
        const auto out = FillRtf(*bytes, pairs);
        ASSERT_TRUE(out) << name;
        WriteFileAtomically(filled / (std::string(name) + ".rtf"), *out);
    }
    ASSERT_TRUE(testsupport::SofficeConvert({filled / "edited.rtf", filled / "PrecoMod.rtf"},
                                            "txt:Text (encoded):UTF8", filled));
    const std::string editedText = ReadWholeFile(filled / "edited.txt").value_or("");
    EXPECT_NE(editedText.find("Client: ŞTEFĂNESCU {B}\\C si Logan"), std::string::npos)
        << editedText;
    EXPECT_NE(editedText.find("Adresa: STR. LUNGA 1"), std::string::npos) << editedText;
    const std::string ownText = ReadWholeFile(filled / "PrecoMod.txt").value_or("");
    for (const char* expected :
         {"Precomanda nr. 57", "Numele: ŞTEFĂNESCU {B}\\C", "1 ZGOMOT LA FRANARE", "Model: LOGAN"})
        EXPECT_NE(ownText.find(expected), std::string::npos) << expected << " in " << ownText;
    EXPECT_EQ(ownText.find("[NRCOM]"), std::string::npos);
}

}  // namespace
}  // namespace tvx::core
