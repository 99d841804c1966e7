// How the sales windows reach each other (ui/sales): the invoice list drives the editor
// through InvoiceEditing, and the editor gets its lines through picker hooks. Application
// wires the real windows; tests put fakes in their place.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/sales/EditorInputs.h"
#include "core/sales/InvoicePosting.h"

namespace tvx::ui {

// Stores a confirmed document (SaveNewInvoice / SaveModifiedInvoice) and returns true; when it
// cannot, it tells the user why and returns false, and the editor stays open with everything
// typed, so nothing is lost.
using PostDocument = std::function<bool(const core::InvoiceDocument&)>;

// The product picker over the work table `stockTable` (Stoc.dbf); nullopt when cancelled.
using ProductPicker =
    std::function<std::optional<core::ProductPick>(const std::filesystem::path& stockTable)>;
// The service picker; nullopt when cancelled.
using ServicePicker = std::function<std::optional<core::ServicePick>()>;
// The service catalog ("Catalog" of the service picker); nullopt when closed without choosing.
using CatalogChooser = std::function<std::optional<core::CatalogService>()>;

// The editor as the invoice list sees it.
class InvoiceEditing {
  public:
    virtual ~InvoiceEditing() = default;
    // A new document taking goods from `location` (blank: none chosen), pre-filled with the
    // pre-order's buyer when given. `post` runs on a confirmed "&Memoreaza"; returns whether
    // the document was stored.
    virtual bool newInvoice(const std::string& location,
                            const std::optional<core::PreorderBuyer>& preorder,
                            const PostDocument& post) = 0;
    // The stored document `idFacto`, its goods taken from its own location; returns whether
    // the modification was stored.
    virtual bool modifyInvoice(long long idFacto, const PostDocument& post) = 0;
    // The stored document, read-only.
    virtual void viewInvoice(long long idFacto) = 0;
};

}  // namespace tvx::ui
