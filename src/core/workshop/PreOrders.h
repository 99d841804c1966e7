// The window "Precomenzi" in core (core/workshop): the pre-orders of table Precom in IDCOM
// order (or the order of a clicked column), narrowed by the client and plate searched for;
// the refusals of the buttons on an empty list; starting the editor for a new pre-order
// (from the current one when its client or car is the one searched for) or for the current
// one; adding, modifying and deleting, each in one transaction with the counters it moves;
// and the buyer that "&Factureaza" hands to a new invoice.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "core/sales/EditorInputs.h"
#include "core/workshop/PreOrderEntry.h"
#include "tables/ResultSet.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;

class PreOrders {
  public:
    static constexpr const char* kHeading = "Precomenzi";

    // `settings` should be built with `db`, as the session does.
    PreOrders(tables::Database& db, Settings& settings);

    // Opening the window: the client list, every pre-order, the last one current.
    void open();
    void close();

    const std::vector<std::string>& clients() const { return clients_; }
    tables::ResultSet& rows() { return rows_; }
    const tables::ResultSet& rows() const { return rows_; }
    bool empty() const { return rows_.empty(); }

    // The searched client and plate (prefixes; blank: any); the last row becomes current.
    void search(const std::string& client, const std::string& plate);
    static std::string SearchFilter(const std::string& client, const std::string& plate);
    // A title click on `field`: with two rows or more, the rows in that order, the same
    // pre-order current. The computed columns are not ordered by.
    void sortBy(const std::string& field);

    // The current pre-order (EngineError naming Precom when the list is empty).
    PreOrder current() const;

    // Refusals of the buttons on an empty list, shown at the grid.
    static constexpr const char* kNothingToModify = "Nu aveti ce modifica!";
    static constexpr const char* kNothingToDelete = "Nu aveti ce sterge!";
    static constexpr const char* kNothingToPrint = "Nu aveti ce lista!";
    static constexpr const char* kNothingToInvoice = "Alegeti mai intai o Precomanda!";

    // "Adauga Precomanda": the editor reset; when the current pre-order's plate or client is
    // exactly the one searched for, it starts from that pre-order.
    void startAdd(PreOrderEntry& entry, const std::string& searchedClient,
                  const std::string& searchedPlate, tables::Date today, int nowMinutes);
    // "&Modifica Precomanda" and "&Factureaza": the editor reset and filled from the current
    // pre-order.
    void startEdit(PreOrderEntry& entry, tables::Date today, int nowMinutes);

    // After the editor's check passed. Adding takes IDCOM from its counter and moves NRCOM
    // past the saved number; modifying leaves both counters alone. Each is one transaction;
    // the list is read again on the saved pre-order. Returns its IDCOM.
    long long add(const PreOrderEntry& entry);
    void update(long long idCom, const PreOrderEntry& entry);
    // "&Sterge Precomanda": the question, then the deletion; the last row becomes current.
    static Message DeleteQuestion();
    void remove(long long idCom);

  private:
    void read(std::optional<long long> idCom);
    std::vector<std::string> distinct(const char* field) const;

    tables::Database& db_;
    Settings& settings_;
    std::vector<std::string> clients_;
    tables::ResultSet rows_;
    std::string order_ = "IDCOM";
    std::string filter_;
};

// The buyer a pre-order hands to a new invoice.
PreorderBuyer BuyerOf(const PreOrder& preOrder);

}  // namespace tvx::core
