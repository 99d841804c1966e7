// The stock exit and transfer dialog, "Iesire produs" / "Transfer produs" (core/stock): its
// fields after a reset from the product card's current card, the document names it offers
// (drawn from the movements), the number proposed from a name's counter, the value leaving
// and whether the quantity exceeds the stock, the ordered checks of "Memoreaza" and the exit
// document a saved dialog hands back. The dialog describes the exit; the product card posts it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "core/stock/ExitDocument.h"
#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;

class ExitForm {
  public:
    // Control names used in the problems.
    static constexpr const char* kDocumentField = "DocJusBox";
    static constexpr const char* kNumberField = "NrDocEdit";
    static constexpr const char* kDateField = "DataEdit";
    static constexpr const char* kQuantityField = "CantEdit";
    static constexpr const char* kDestinationField = "BeneficiarBox";

    // The two document names always offered, and the length of a name.
    static constexpr const char* kConsumptionVoucher = "BON DE CONSUM";
    static constexpr const char* kDeliveryNote = "AVIZ DE INSOTIRE MARFA";
    static constexpr size_t kNameLength = 24;

    // Digits before the decimal point of the number (Fise.NRDOC) and of the quantity
    // (Fise.CANTOUT), and the quantity's decimals, from the table layouts.
    static int NumberDigits();
    static int QuantityDigits();
    static int QuantityDecimals();

    // The names offered: the distinct DOCJUS of the movements other than "N.I.R." and blank,
    // for an exit those whose CANTIN sum is 0 followed by "BON DE CONSUM" when missing, for a
    // transfer those whose sum is not 0; then "AVIZ DE INSOTIRE MARFA" when missing. Engine
    // errors propagate.
    static std::vector<std::string> DocumentNames(tables::Database& db, bool transfer);

    // ResetExitDialog: the card's data, the lists, and every field to its start value (no
    // name, number "0", today, quantity "0", no destination). The destinations are
    // `locations` without the card's own.
    void reset(tables::Database& db, const ExitCard& exitCard, bool isTransfer,
               const std::vector<std::string>& locations, tables::Date today);

    std::string title() const { return transfer ? "Transfer produs" : "Iesire produs"; }

    // Reactions.
    // A name chosen from the list: the number becomes the value of that name's counter.
    void documentChosen(const Settings& settings);
    // The quantity changed: value = quantity x "Pret unitar" (four decimals), and whether it
    // exceeds the stock shown. A quantity that is no number is worth 0.
    void quantityChanged();

    // "Memoreaza": the checks in order, the first failure returned with the field it belongs
    // to; the name is kept as cleaned. On success document() describes the exit. The name's
    // counter moves when the exit is posted (RecordExitNumber), in the posting's transaction,
    // so an exit that fails to post leaves it where it was.
    std::optional<FieldProblem> save();
    ExitDocument document() const;

    // Fields, as typed (number and quantity as text: the checks judge them).
    bool transfer = false;
    ExitCard card;
    std::string docJus;
    std::string number = "0";
    tables::Date date;
    std::string quantity = "0";
    std::string destination;
    // Computed.
    tables::Decimal value;
    bool overStock = false;
    // The drop-down lists.
    std::vector<std::string> documentList;
    std::vector<std::string> destinationList;

  private:
    std::optional<FieldProblem> nameProblem() const;
    std::optional<FieldProblem> numberProblem(long long& parsed) const;
    std::optional<FieldProblem> quantityProblem(tables::Decimal& parsed) const;
    ExitDocument saved_;
};

// The counter named by the exit's document name is set to its number + 1; part of posting it.
void RecordExitNumber(Settings& settings, const ExitDocument& document);

}  // namespace tvx::core
