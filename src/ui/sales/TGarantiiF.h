// The warranties window "Garantii" (ui/sales): the sold lines whose warranty runs past the
// sale in a read-only grid ordered by buyer and product (a click on a title reorders it), the
// search by buyer and product, the printout of the rows shown and their export to a
// spreadsheet. The list, its columns and search live in core/sales (Warranties); the export is
// a hook the application connects to the spreadsheet export.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

#include "ui/common/GridModel.h"

class QLineEdit;
class QPushButton;
class QTableView;

namespace tvx::core {
class Session;
}

namespace tvx::tables {
class ResultSet;
}

namespace tvx::ui {

class TGarantiiF : public QDialog {
    Q_OBJECT
  public:
    // Writes the rows visible in `rows` under `columns` (titles and formats as the grid shows
    // them) to a spreadsheet file the user chooses; errors are its own to show.
    using GridExport = std::function<void(const tables::ResultSet& rows,
                                          const std::vector<GridColumn>& columns, QWidget* parent)>;

    explicit TGarantiiF(core::Session& session, QWidget* parent = nullptr);
    ~TGarantiiF() override;

    // Opens the list with empty search fields and shows the window modally.
    void OpenWarranties();

    // The export behind "Exporta in Excel" (the application connects it).
    void setGridExport(GridExport exportGrid) { gridExport_ = std::move(exportGrid); }

    // The grid's columns.
    static std::vector<GridColumn> Columns();

  private:
    void Edit1Change();
    void ExportClick();
    void ListeazaClick();

    core::Session& session_;
    std::unique_ptr<tables::ResultSet> rows_;
    GridExport gridExport_;

    QTableView* SMDBGrid2;
    ResultSetModel* model_;
    QLineEdit* Cumparator;
    QLineEdit* Produsul;
    QPushButton* Export;
    QPushButton* Listeaza;
};

}  // namespace tvx::ui
