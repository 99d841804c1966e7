// Laying out and filling the cash book's day blocks (core/reports).
#include "core/reports/CashBookWorkbook.h"

namespace tvx::core {

namespace {
constexpr int kFirstBlockRow = 6;  // "Data" of the first day
constexpr int kBlockHeight = 6;    // five rows and the blank row after them
constexpr int kSecondBlockRow = 12;
}  // namespace

void FillCashBookDays(TExpXLSOLE& book, const std::vector<CashBookDay>& days) {
    if (days.empty()) return;
    const int count = static_cast<int>(days.size());
    if (count == 1) {
        book.DeleteRows(kSecondBlockRow - 1, kBlockHeight);  // the blank row and the second block
    } else if (count > 2) {
        // The blank row and the second block, copied at the blank row after it: the copies'
        // previous balances point at the block before them, and the sums of the "Final" row,
        // which end at that blank row, grow over them.
        book.CopyRowBlock(kSecondBlockRow - 1, kSecondBlockRow + kBlockHeight - 2, count - 2,
                          kSecondBlockRow + kBlockHeight - 1);
    }
    int row = kFirstBlockRow;
    for (const CashBookDay& day : days) {
        book.SetCell(row, 2, tables::Value(day.day));
        book.FillFromDataSet(day.documents);
        const int inserted = std::max<int>(static_cast<int>(day.documents.rowCount()) - 1, 0);
        row += kBlockHeight + inserted;
    }
}

}  // namespace tvx::core
