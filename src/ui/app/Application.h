// The windows of one run and how they meet (ui/app): the splash first, then the main window
// and the administration; every other window is built and wired the first time it is asked
// for (its button, or the window it belongs to). The program's entry and the window tests
// build the whole application through this class.
#pragma once

#include <QObject>
#include <memory>

#include "ui/app/LazyWindow.h"

namespace tvx::core {
class Session;
}

namespace tvx::ui {

class TForm1;
class TForm3;
class TForm4;
class TForm21;
class TFactInF;
class TNIRF;
class TMagazieF;
class TFactOutF;
class InvoiceEditing;
class TFactOutAddF;
class TProdAddF;
class TServAddF;
class TAddComanda;
class TCatalog;
class TFisaProdF;
class TFAvize;
class TOutProdusF;
class TServAuto;
class TFiseClF;
class TSelectFactF;
class TExportF;
class TFPrecomanda;
class TRegCasaF;
class TGarantiiF;

class Application : public QObject {
    Q_OBJECT
  public:
    explicit Application(core::Session& session, QObject* parent = nullptr);
    ~Application() override;

    // Shows the splash, whose timer runs the start-up.
    void start();
    // Brings the running program forward (a second copy was started).
    void comeForward();

    core::Session& session() const { return session_; }
    TForm1& splash() const { return *splash_; }
    TForm3& main() const { return *main_; }
    TForm4& admin() const { return *admin_; }
    // The other windows, built at the first call.
    TForm21& backup() const;
    TFactInF& incoming() const;
    TNIRF& notes() const;
    TMagazieF& warehouse() const;
    TFactOutF& sales() const;
    TFactOutAddF& invoiceEditor() const;
    TProdAddF& productPicker() const;
    TServAddF& servicePicker() const;
    TCatalog& catalog() const;
    TAddComanda& serviceOrder() const;
    TFisaProdF& productCard() const;
    TOutProdusF& exitDialog() const;
    TFAvize& deliveryNotes() const;
    TServAuto& timeNorms() const;
    TFiseClF& clientStatements() const;
    TSelectFactF& unpaidSelection() const;
    TExportF& exportWindow() const;
    TFPrecomanda& preOrders() const;
    TRegCasaF& cashBook() const;
    TGarantiiF& warranties() const;

  signals:
    // The program ends with this exit code (main window closed, restore done, start failed).
    void finished(int exitCode);

  private:
    void WireSales();
    void WireWorkshop();
    void WireSaga();
    // The stock, activity, declaration 394 and client reports of the report menu.
    void WireReports();
    void WireJournals();
    void WirePreOrders();
    void WireCashBook();
    void WireWorkbooks();

    core::Session& session_;
    std::unique_ptr<TForm1> splash_;
    std::unique_ptr<TForm3> main_;
    std::unique_ptr<TForm4> admin_;
    mutable LazyWindow<TForm21> backup_;
    mutable LazyWindow<TFactInF> incoming_;
    mutable LazyWindow<TNIRF> notes_;
    mutable LazyWindow<TMagazieF> warehouse_;
    // The invoice list reaches the editor through this, which builds it at its first use.
    std::unique_ptr<InvoiceEditing> editorOnDemand_;
    // Each dialog belongs to the one it is opened from, which is declared first, so it is
    // deleted first.
    mutable LazyWindow<TFactOutF> sales_;
    mutable LazyWindow<TFactOutAddF> invoiceEditor_;
    mutable LazyWindow<TProdAddF> productPicker_;
    mutable LazyWindow<TServAddF> servicePicker_;
    mutable LazyWindow<TCatalog> catalog_;
    mutable LazyWindow<TAddComanda> serviceOrder_;
    mutable LazyWindow<TFisaProdF> productCard_;
    mutable LazyWindow<TOutProdusF> exitDialog_;
    mutable LazyWindow<TFAvize> deliveryNotes_;
    mutable LazyWindow<TServAuto> timeNorms_;
    mutable LazyWindow<TFiseClF> clientStatements_;
    mutable LazyWindow<TSelectFactF> unpaidSelection_;
    mutable LazyWindow<TExportF> exportWindow_;
    mutable LazyWindow<TFPrecomanda> preOrders_;
    mutable LazyWindow<TRegCasaF> cashBook_;
    mutable LazyWindow<TGarantiiF> warranties_;
};

}  // namespace tvx::ui
