// The one grid model of the application (ui/common): a table view over a
// tables::ResultSet, with a title and a display format per column, sorting by a click on a
// column title, and the result set's cursor kept on the grid's current row.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <vector>

class QTableView;

namespace tvx::tables {
class ResultSet;
class Value;
}  // namespace tvx::tables

namespace tvx::ui {

struct GridColumn {
    QString field;   // the result set's column
    QString title;   // empty: the field name
    QString format;  // "0.00", "#,##0.00", "0", "dd.MM.yyyy", kStampFormat or empty (plain)
};

// A day number with its time of day (core::StampValue) shown as "dd.MM.yyyy  hh:mm".
inline constexpr const char* kStampFormat = "dd.MM.yyyy  hh:mm";

// Display text of a value by a format: numbers get the decimals after "." in the format
// (rounded half away from zero) and "," thousands groups when it starts "#,##"; dates use
// dd.MM.yyyy. Exposed for the exports that print what a grid shows.
QString FormatCell(const tables::Value& value, const QString& format);

// A read-only grid named `name` (rows selected whole, alternating colours, no row numbers,
// Tab leaving it for the next control), bound to `model` when one is given.
QTableView* MakeGrid(QWidget* parent, const char* name, const QString& label,
                     class ResultSetModel* model = nullptr);

class ResultSetModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit ResultSetModel(QObject* parent = nullptr);

    // Shows `rows` (not owned; may be null) with `columns`, or every field under its own
    // name when `columns` is empty. Throws EngineError for a column the result set lacks.
    void setResultSet(tables::ResultSet* rows, std::vector<GridColumn> columns = {});
    tables::ResultSet* resultSet() const { return rows_; }

    // Binds a view: current row -> cursor, title clicks sort, the view follows the cursor
    // after a sort or a reload.
    void attach(QTableView* view);
    // Puts the attached view's current row on the result set's cursor.
    void showCursor();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

  private:
    void CurrentRowChanged(const QModelIndex& current);
    tables::ResultSet* rows_ = nullptr;
    std::vector<GridColumn> columns_;
    std::vector<int> fieldIndex_;
    QTableView* view_ = nullptr;
};

}  // namespace tvx::ui
