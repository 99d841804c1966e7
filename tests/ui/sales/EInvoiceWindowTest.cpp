// "XML e-Factura" of the invoice list: the current document's e-invoice is written where the
// save dialog says, under the proposed name SERIA + NR + ".xml".
#include <QPushButton>
#include <fstream>
#include <iterator>

#include "SalesListSupport.h"
#include "core/einvoice/EInvoice.h"
#include "ui/sales/TFactOutF.h"

namespace tvx::ui::testing {
namespace {

class EInvoiceWindowTest : public SalesListTest {
  protected:
    void SetUp() override {
        Prepare({"MAGAZIN"});
        const char* const profile[][2] = {{"DENUMIRE", "TARVIX SRL"},
                                          {"CodFisc", "RO18547290"},
                                          {"ADRESA", "Str. Fabricii 3"},
                                          {"Localit", "Sector 2"},
                                          {"JUDET", "MUNICIPIUL BUCURESTI"}};
        for (const auto& [key, value] : profile) Set().writeSetting("SETARI", key, value);
        Set().writeSetting("UMS", "BUC", "H87 - BUCATI");
        Set().writeSetting("UMS", "BUCAuto", "DA");
        fx.session.loadProfile();
        form.Bind(fx.session);
    }
    void TearDown() override {
        TFactOutF::setXmlPathChooser({});
        SalesListTest::TearDown();
    }
    TFactOutF form;
};

TEST_F(EInvoiceWindowTest, WritesTheCurrentDocumentsEInvoiceWhereTheDialogSays) {
    core::InvoiceDocument doc = FilterInvoice(7, 2);
    doc.buyerAddress = "Str. Lunga 5";
    doc.buyerLocality = "Brasov";
    doc.buyerCounty = "BRASOV";
    doc.dueDate = tables::Date::fromYmd(2026, 3, 5);
    const long long id = core::SaveNewInvoice(Db(), Set(), doc);
    const std::filesystem::path folder = fx.folder.path().toStdString();
    QString proposed;
    TFactOutF::setXmlPathChooser([&](QWidget*, const QString& name) {
        proposed = name;
        return QString::fromStdString((folder / name.toStdString()).string());
    });
    WhenModalNamed("TFactOutF", [](QWidget* w) {
        auto* xml = Child<QPushButton>(w, "XMLBut");
        EXPECT_TRUE(xml->isEnabled());
        xml->click();
        CloseModal(w);
    });
    form.OpenInvoiceList(false);

    EXPECT_EQ(proposed, "TVX7.xml");
    std::ifstream in(folder / "TVX7.xml", std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(in), {}};
    core::EInvoice expected = core::LoadEInvoice(Db(), Set(), id);
    ASSERT_TRUE(core::ResolveUnitCodes(expected, Set(), core::StoredUnitCodes(Set())));
    EXPECT_EQ(written, core::EInvoiceXml(expected));
    EXPECT_NE(written.find("<cbc:CityName>SECTOR2</cbc:CityName>"), std::string::npos);
}

}  // namespace
}  // namespace tvx::ui::testing
