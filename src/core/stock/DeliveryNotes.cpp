// The delivery notes list and the deletion of a note (core/stock). The list is one grouping
// query over the movements, so no work table is needed; the deletion reverses the note's
// movements through the product card's transfer-aware routine.
#include "core/stock/DeliveryNotes.h"

#include <vector>

#include "core/common/Schema.h"
#include "core/stock/ProductCard.h"
#include "core/stock/StockCards.h"
#include "tables/Database.h"

namespace tvx::core {

using tables::Database;

tables::ResultSet QueryDeliveryNotes(Database& db) {
    return db.query("SELECT DOCJUS, NRDOC, DINDATA FROM " + QuotedPath(TableFile(db, "Fise")) +
                        " WHERE TIP=:tip AND DOCJUS LIKE 'AVIZ%'"
                        " GROUP BY DINDATA, DOCJUS, NRDOC ORDER BY DINDATA, DOCJUS, NRDOC",
                    {{"tip", std::string(kMoveExit)}});
}

std::optional<FieldProblem> CheckNoteChosen(const std::optional<DeliveryNoteKey>& note,
                                            NoteCommand command) {
    if (note) return std::nullopt;
    switch (command) {
        case NoteCommand::Print:
            return FieldProblem{kNotesGridField, "Nu aveti ce lista!"};
        case NoteCommand::Export:
            return FieldProblem{kNotesGridField, "Nu aveti ce exporta in fisier!"};
        case NoteCommand::Delete:
            break;
    }
    return FieldProblem{kNotesGridField, "Nu aveti ce sterge!"};
}

Message DeleteNoteQuestion(const DeliveryNoteKey& note) {
    return {"Stergere Aviz",
            "Stergeti avizul de insotire a marfii nr." + std::to_string(note.nrDoc) + "/" +
                note.dinData.toString() + "?",
            MessageKind::Confirmation};
}

Message NoteExported() {
    return {"Export Aviz in fisier", "Avizul a fost exportat in fisier!", MessageKind::Information};
}

int DeleteDeliveryNote(Database& db, const DeliveryNoteKey& note) {
    return db.atomically([&]() -> int {
        tables::ResultSet rows =
            db.query("SELECT IDFISA FROM " + QuotedPath(TableFile(db, "Fise")) +
                         " WHERE DOCJUS=:doc AND NRDOC=:nr AND DINDATA=:date ORDER BY IDFISA",
                     {{"doc", note.docJus}, {"nr", note.nrDoc}, {"date", note.dinData}});
        std::vector<long long> ids;
        for (rows.first(); !rows.eof(); rows.next())
            ids.push_back(rows.asNumber("IDFISA").toLongLong());
        RemoveMovementsWithCounterparts(db, ids);
        PurgeUnusedLots(db);
        return static_cast<int>(ids.size());
    });
}

}  // namespace tvx::core
