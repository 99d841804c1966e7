// The report preview window (ui/printing): the laid-out pages drawn one at a time in a
// scrolling area, with zoom, "fit width", page navigation, printing and saving as PDF. The
// production itself is ReportJob's (printing/); the window only asks for the printer and the
// file name, through hooks the application and the tests may replace.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "printing/ReportOutput.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace tvx::ui {

class TPreview : public QDialog {
    Q_OBJECT
  public:
    // Asks for a printer and prints the job on it; does nothing when the user cancels. May
    // throw (EngineError): the window shows the message.
    using PrintHook = std::function<void(QWidget* parent, printing::ReportJob& job)>;
    // The PDF file to write; empty = cancelled.
    using PdfPathHook = std::function<QString(QWidget* parent)>;

    // A window over `report` (which must outlive it); `started` is called once, when the
    // window is first shown (or when the report is first printed or saved, should that come
    // first). "&Listeaza" proposes `copies` copies (at least 1).
    TPreview(const printing::LaidOutReport& report, std::function<void()> started,
             QWidget* parent = nullptr, int copies = 1);

    // Shows the window modally and maximised on page 1; returns when it is closed (Esc,
    // "&Inchide").
    void Arata();

    // Shows `report` in a preview window of its own, closed and freed before it returns (each
    // report keeps its page images only while it is shown). False, showing nothing and not
    // calling `started`, for a report without pages.
    static bool ShowPreview(const printing::LaidOutReport& report, std::function<void()> started,
                            QWidget* parent, int copies = 1);

    // Replace the printer choice (default: the print dialog set to copies(), then the copies
    // chosen there) and the PDF file choice (default: a save dialog for *.pdf). The print hook
    // is given the preview window as parent. An empty function puts the default back.
    static void setPrintHook(PrintHook hook);
    static void setPdfPathHook(PdfPathHook hook);

    // 0-based page shown and the scale: 1.0 shows the page at its real size on the screen.
    int currentPage() const { return page_; }
    double zoom() const { return zoom_; }
    int pageCount() const;
    // The copies "&Listeaza" proposes.
    int copies() const { return copies_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private slots:
    void FirstClick();
    void PrevClick();
    void NextClick();
    void LastClick();
    void ZoomInClick();
    void ZoomOutClick();
    void FitClick();
    void PrintClick();
    void PdfClick();

  private:
    void GoTo(int page);
    void SetZoom(double zoom);
    // Fits the page width into the visible part of the scrolling area.
    void ApplyFitWidth();
    void Redraw();

    printing::ReportJob job_;
    int copies_ = 1;
    int page_ = 0;
    double zoom_ = 1.0;
    bool fitWidth_ = false;
    QScrollArea* area_;
    QLabel* Imagine;
    QLabel* PageLabel;
    QLabel* ZoomLabel;
    QPushButton* FirstBut;
    QPushButton* PrevBut;
    QPushButton* NextBut;
    QPushButton* LastBut;
    QPushButton* ZoomOutBut;
    QPushButton* ZoomInBut;
    QPushButton* FitBut;
    QPushButton* PrintBut;
    QPushButton* PdfBut;
    QPushButton* CloseBut;
};

}  // namespace tvx::ui
