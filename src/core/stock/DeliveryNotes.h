// The delivery notes list (core/stock): the notes recorded as stock exits from the product
// card (movements TIP "IESIRE" whose document name begins with "AVIZ"), one row per document
// name, number and date, and the deletion of a note with all its movements in one
// transaction. Printing and the export file are core/reports' DeliveryNoteFile.
#pragma once

#include <optional>
#include <string>

#include "core/admin/AdminCommon.h"
#include "core/reports/DeliveryNoteFile.h"
#include "tables/ResultSet.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

constexpr const char* kNotesGridField = "NoteGrid";
constexpr const char* kNoteSaveTitle = "Unde salvam Avizul?";

// DOCJUS, NRDOC, DINDATA of every note, ordered by DINDATA, DOCJUS, NRDOC.
tables::ResultSet QueryDeliveryNotes(tables::Database& db);

// What each button says when the list is empty.
enum class NoteCommand { Print, Export, Delete };
std::optional<FieldProblem> CheckNoteChosen(const std::optional<DeliveryNoteKey>& note,
                                            NoteCommand command);

// "Stergere Aviz": "Stergeti avizul de insotire a marfii nr." + NRDOC + "/" + DINDATA + "?".
Message DeleteNoteQuestion(const DeliveryNoteKey& note);
// "Export Aviz in fisier": "Avizul a fost exportat in fisier!".
Message NoteExported();

// Deletes every movement of the note (each card gives back what it lost; a transfer half takes
// its other half with it, once), then the cards left without movements. One transaction.
// Returns the number of movements deleted.
int DeleteDeliveryNote(tables::Database& db, const DeliveryNoteKey& note);

}  // namespace tvx::core
