// The day blocks of the cash register book's workbook (core/reports): the template "RegCasa"
// holds two blocks of one day each (rows 6-10 and 12-16, a blank row after each); the book of
// a period needs one block per day with operations. This lays them out and fills them; the
// caller replaces the other placeholders ([SC], [perioada], [II], [PI], [SP]) and finishes.
#pragma once

#include <vector>

#include "core/reports/ExpXLSOLE.h"
#include "tables/Date.h"
#include "tables/ResultSet.h"

namespace tvx::core {

// One day of the book: its date and its documents, columns DOCJUSNR, REPREZ, INCASAT, PLATIT.
struct CashBookDay {
    tables::Date day;
    tables::ResultSet documents;
};

// Gives the open RegCasa workbook one block per day (the second block copied after itself for
// the third and later days, or deleted for a single day), writes each day's date in column B
// of its first row and its documents into its marked row. Each block's previous balance is
// the final balance of the block before; the "Final" row sums every block. Nothing happens
// for no day.
void FillCashBookDays(TExpXLSOLE& book, const std::vector<CashBookDay>& days);

}  // namespace tvx::core
