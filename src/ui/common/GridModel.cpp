// The grid model over a result set (ui/common).
#include "ui/common/GridModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

#include "core/common/DayStamp.h"
#include "tables/EngineError.h"
#include "tables/ResultSet.h"
#include "ui/common/Controls.h"

namespace tvx::ui {

using tables::Decimal;
using tables::Value;

namespace {

QString groupThousands(const QString& plain) {
    const bool negative = plain.startsWith('-');
    QString digits = negative ? plain.mid(1) : plain;
    const qsizetype point = digits.indexOf('.');
    QString whole = point < 0 ? digits : digits.left(point);
    const QString rest = point < 0 ? QString() : digits.mid(point);
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3) whole.insert(i, ',');
    return (negative ? "-" : "") + whole + rest;
}

}  // namespace

QString FormatCell(const Value& value, const QString& format) {
    if (value.isNull()) return {};
    if (value.isNumber() && format == kStampFormat)
        return QString::fromStdString(core::StampText(value.number()));
    if (value.isNumber() && !format.isEmpty() && !format.startsWith("dd")) {
        const qsizetype point = format.indexOf('.');
        const int decimals = point < 0 ? 0 : static_cast<int>(format.size() - point - 1);
        const Decimal shown = value.number().rounded(decimals);
        QString text = QString::fromStdString(shown.toString());
        return format.startsWith("#,##") ? groupThousands(text) : text;
    }
    return QString::fromStdString(value.toString());
}

ResultSetModel::ResultSetModel(QObject* parent) : QAbstractTableModel(parent) {}

void ResultSetModel::setResultSet(tables::ResultSet* rows, std::vector<GridColumn> columns) {
    std::vector<int> indexes;
    if (rows && columns.empty()) {
        for (const auto& info : rows->columns())
            columns.push_back({QString::fromStdString(info.name), {}, {}});
    }
    if (rows)
        for (const auto& column : columns)
            indexes.push_back(rows->fieldIndex(column.field.toStdString()));
    beginResetModel();
    rows_ = rows;
    columns_ = rows ? std::move(columns) : std::vector<GridColumn>{};
    fieldIndex_ = std::move(indexes);
    endResetModel();
    showCursor();
}

void ResultSetModel::attach(QTableView* view) {
    view_ = view;
    view->setModel(this);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->horizontalHeader()->setSectionsClickable(true);
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view->setSortingEnabled(true);
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { CurrentRowChanged(current); });
    showCursor();
}

void ResultSetModel::CurrentRowChanged(const QModelIndex& current) {
    if (rows_ && current.isValid()) rows_->moveTo(static_cast<size_t>(current.row()));
}

void ResultSetModel::showCursor() {
    if (!view_ || !rows_ || rows_->eof() || columns_.empty()) return;
    const QModelIndex index = this->index(static_cast<int>(rows_->position()), 0);
    view_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int ResultSetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !rows_ ? 0 : static_cast<int>(rows_->rowCount());
}

int ResultSetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ResultSetModel::data(const QModelIndex& index, int role) const {
    if (!rows_ || !index.isValid()) return {};
    const int field = fieldIndex_[index.column()];
    if (role == Qt::DisplayRole) {
        return FormatCell(rows_->at(static_cast<size_t>(index.row()), field),
                          columns_[index.column()].format);
    }
    if (role == Qt::TextAlignmentRole) {
        const char type = rows_->columns()[field].type;
        return QVariant::fromValue((type == 'N' ? Qt::AlignRight : Qt::AlignLeft) |
                                   Qt::AlignVCenter);
    }
    return {};
}

QVariant ResultSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= static_cast<int>(columns_.size())) return {};
    const GridColumn& column = columns_[section];
    return column.title.isEmpty() ? column.field : column.title;
}

void ResultSetModel::sort(int column, Qt::SortOrder order) {
    if (!rows_ || column < 0 || column >= static_cast<int>(columns_.size())) return;
    emit layoutAboutToBeChanged();
    rows_->sortBy(fieldIndex_[column], order == Qt::DescendingOrder);
    emit layoutChanged();
    showCursor();
}

QTableView* MakeGrid(QWidget* parent, const char* name, const QString& label,
                     ResultSetModel* model) {
    auto* grid = new QTableView(parent);
    NameControl(grid, name, label);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
    // Fitting the columns measures the first hundred rows: Qt's thousand, on every column of
    // a list of ten years' documents, is a wait the user sees at each opening.
    grid->horizontalHeader()->setResizeContentsPrecision(100);
    grid->setAlternatingRowColors(true);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab moves to the next control, as in every other field; the arrows move between rows.
    grid->setTabKeyNavigation(false);
    if (model) model->attach(grid);
    return grid;
}

}  // namespace tvx::ui
