// The window "Avize de insotire a marfii" (ui/sales): the delivery notes recorded as stock exits,
// one row per document name, number and date, with the commands that print a note, export it
// to a ".avz" file and delete it with its stock movements. The list and the deletion live in
// core/stock (DeliveryNotes); printing and the file in the delivery note report and export.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "core/reports/DeliveryNoteFile.h"

class QPushButton;
class QTableView;

namespace tvx::core {
class Session;
}

namespace tvx::tables {
class ResultSet;
}

namespace tvx::ui {

class ResultSetModel;

class TFAvize : public QDialog {
    Q_OBJECT
  public:
    explicit TFAvize(core::Session& session, QWidget* parent = nullptr);
    ~TFAvize() override;

    // Lists the notes ordered by date, name and number and shows the window modally.
    void OpenDeliveryNotes();

    // The file the note is exported to; tests replace the save dialog. Default: a save dialog
    // titled "Unde salvam Avizul?" for "*.avz". Empty result = cancelled. An empty function
    // puts the default back.
    static void setSavePathChooser(std::function<QString(QWidget*)> choose);

    // "&Listeaza", "&Sterge aviz" and "&Export in fisier".
    void BitBtn1Click();
    void BitBtn3Click();
    void BitBtn4Click();

  private:
    void Reload();
    std::optional<core::DeliveryNoteKey> CurrentNote() const;

    core::Session& session_;
    std::unique_ptr<tables::ResultSet> notes_;
    QTableView* NoteGrid;
    ResultSetModel* model_;
    QPushButton* BitBtn1;
    QPushButton* BitBtn3;
    QPushButton* BitBtn4;
    QPushButton* Inchide;
};

}  // namespace tvx::ui
