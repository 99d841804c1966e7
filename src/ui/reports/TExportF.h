// The result-set export window "Export datele" (ui/reports): the format choice, viewing or
// writing to a file, the progress window while rows are written, and the clipboard. The
// formats themselves are core's (core/reports/ResultSetExport); the window asks for the file
// and opens what is only viewed with its associated program, through hooks tests replace.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "core/reports/ResultSetExport.h"

class QComboBox;
class QRadioButton;
class QPushButton;

namespace tvx::ui {

class TExportF : public QDialog {
    Q_OBJECT
  public:
    // The file to write (empty: cancelled), given the format's file type and extension.
    using FileHook = std::function<QString(QWidget* parent, const core::ExportFormatInfo& format,
                                           const QString& extension)>;
    // Opens a written file with the program associated with it.
    using ViewHook = std::function<void(const QString& file)>;

    explicit TExportF(QWidget* parent = nullptr);

    // Shows the window modally over `rows`; on "&Export" writes them as chosen. True when
    // something was written (or copied).
    bool Exporta(const tables::ResultSet& rows, const core::ExportOptions& options);

    // Straight to a workbook for viewing, without the window. False after an error (shown).
    static bool ViewWorkbook(const tables::ResultSet& rows, const core::ExportOptions& options,
                             QWidget* parent);
    // Writes `rows` as `format` to a file (`toFile`) or for viewing, or to the clipboard; the
    // progress window shows while rows are written, an error is shown. True when done.
    static bool Run(const tables::ResultSet& rows, core::ExportFormat format, bool toFile,
                    const core::ExportOptions& options, QWidget* parent);

    static void setFileHook(FileHook hook);
    static void setViewHook(ViewHook hook);

  private:
    void ExportClick();
    const tables::ResultSet* rows_ = nullptr;
    core::ExportOptions options_;
    QComboBox* Formatul;
    QRadioButton* InFisier;
    QRadioButton* Vizualizare;
    QPushButton* ExportBut;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
