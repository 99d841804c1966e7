// The report preview window (ui/printing).
#include "ui/printing/TPreview.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "core/common/ProposedFileNames.h"
#include "printing/ReportPainter.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/Mesaj.h"

namespace tvx::ui {

namespace {

constexpr double kMinZoom = 0.25;
constexpr double kMaxZoom = 4.0;
constexpr double kZoomStep = 1.25;

TPreview::PrintHook printHook;
TPreview::PdfPathHook pdfPathHook;

// The print dialog on a printer set up for the report and proposing `copies`; the copies
// chosen there are printed.
void DefaultPrint(QWidget* parent, printing::ReportJob& job, int copies) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(job.report().page.landscape ? QPageLayout::Landscape
                                                           : QPageLayout::Portrait);
    printer.setCopyCount(copies);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle("Listeaza");
    dialog.setMinMax(1, static_cast<int>(job.report().pages.size()));
    if (dialog.exec() != QDialog::Accepted) return;
    job.print(printer, std::max(1, printer.copyCount()));
}

// A save dialog for *.pdf that proposes the document's own name.
QString DefaultPdfPath(QWidget* parent, const printing::LaidOutReport& report) {
    QFileDialog dialog(parent, "Salveaza PDF");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(FileNameFilters("Fisiere PDF|*.pdf"));
    dialog.setDefaultSuffix("pdf");
    dialog.selectFile(QString::fromStdString(core::SafeFileName(report.documentName, ".pdf")));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

// Runs `work`; an error's message is shown in the message window.
template <typename Work>
void ShowingErrors(Work work) {
    try {
        work();
    } catch (const std::exception& error) {
        const QString text = QString::fromStdString(error.what());
        ShowError(text.isEmpty() ? QString("Eroare necunoscuta") : text);
    }
}

}  // namespace

void TPreview::setPrintHook(PrintHook hook) {
    printHook = std::move(hook);
}

void TPreview::setPdfPathHook(PdfPathHook hook) {
    pdfPathHook = std::move(hook);
}

TPreview::TPreview(const printing::LaidOutReport& report, std::function<void()> started,
                   QWidget* parent, int copies)
    : QDialog(parent), job_(report, std::move(started)), copies_(std::max(1, copies)) {
    NameControl(this, "TPreview", "Previzualizare");
    setWindowTitle("Previzualizare");
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);

    FirstBut = MakeButton("FirstBut", "Prima", this);
    PrevBut = MakeButton("PrevBut", "Precedenta", this);
    PageLabel = new QLabel(this);
    NameControl(PageLabel, "PageLabel", "Pagina");
    NextBut = MakeButton("NextBut", "Urmatoarea", this);
    LastBut = MakeButton("LastBut", "Ultima", this);
    ZoomOutBut = MakeButton("ZoomOutBut", "Micsoreaza", this);
    ZoomLabel = new QLabel(this);
    NameControl(ZoomLabel, "ZoomLabel", "Marime");
    ZoomInBut = MakeButton("ZoomInBut", "Mareste", this);
    FitBut = MakeButton("FitBut", "Latime pagina", this);
    PrintBut = MakeButton("PrintBut", "&Listeaza", this);
    PdfBut = MakeButton("PdfBut", "Salveaza &PDF", this);
    CloseBut = MakeButton("CloseBut", "&Inchide", this);

    auto* bar = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(FirstBut), static_cast<QWidget*>(PrevBut),
                       static_cast<QWidget*>(PageLabel), static_cast<QWidget*>(NextBut),
                       static_cast<QWidget*>(LastBut)})
        bar->addWidget(w);
    bar->addSpacing(24);
    for (QWidget* w : {static_cast<QWidget*>(ZoomOutBut), static_cast<QWidget*>(ZoomLabel),
                       static_cast<QWidget*>(ZoomInBut), static_cast<QWidget*>(FitBut)})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(PrintBut);
    bar->addWidget(PdfBut);
    bar->addWidget(CloseBut);

    Imagine = new QLabel(this);
    NameControl(Imagine, "Imagine", "Pagina raportului");
    Imagine->setAlignment(Qt::AlignCenter);
    area_ = new QScrollArea(this);
    NameControl(area_, "Pagini", "Paginile raportului");
    area_->setWidget(Imagine);
    area_->setWidgetResizable(true);
    area_->setBackgroundRole(QPalette::Dark);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(area_, 1);

    connect(FirstBut, &QPushButton::clicked, this, &TPreview::FirstClick);
    connect(PrevBut, &QPushButton::clicked, this, &TPreview::PrevClick);
    connect(NextBut, &QPushButton::clicked, this, &TPreview::NextClick);
    connect(LastBut, &QPushButton::clicked, this, &TPreview::LastClick);
    connect(ZoomInBut, &QPushButton::clicked, this, &TPreview::ZoomInClick);
    connect(ZoomOutBut, &QPushButton::clicked, this, &TPreview::ZoomOutClick);
    connect(FitBut, &QPushButton::clicked, this, &TPreview::FitClick);
    connect(PrintBut, &QPushButton::clicked, this, &TPreview::PrintClick);
    connect(PdfBut, &QPushButton::clicked, this, &TPreview::PdfClick);
    connect(CloseBut, &QPushButton::clicked, this, &QDialog::reject);
    EnterEscFilter::install(this);
    resize(900, 700);
    Redraw();
}

int TPreview::pageCount() const {
    return static_cast<int>(job_.report().pages.size());
}

void TPreview::Arata() {
    page_ = 0;
    Redraw();
    setWindowState(windowState() | Qt::WindowMaximized);
    exec();
}

bool TPreview::ShowPreview(const printing::LaidOutReport& report, std::function<void()> started,
                           QWidget* parent, int copies) {
    if (report.pages.empty()) return false;
    TPreview preview(report, std::move(started), parent, copies);
    preview.Arata();
    return true;
}

void TPreview::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (pageCount() > 0) job_.previewShown();
    if (fitWidth_) ApplyFitWidth();
}

void TPreview::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (fitWidth_) ApplyFitWidth();
}

void TPreview::GoTo(int page) {
    page_ = std::clamp(page, 0, std::max(0, pageCount() - 1));
    Redraw();
    area_->verticalScrollBar()->setValue(0);
}

void TPreview::SetZoom(double zoom) {
    zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
    Redraw();
}

void TPreview::ApplyFitWidth() {
    // The width left for the page: the area less its frame, a vertical scroll bar and a small
    // border round the page.
    const int room = area_->width() - 2 * area_->frameWidth() -
                     style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 16;
    const double pageInches = job_.report().page.width() / 25.4;
    const double zoom = room / (pageInches * logicalDpiX());
    zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
    Redraw();
}

void TPreview::Redraw() {
    const int pages = pageCount();
    PageLabel->setText(QString("Pagina %1 din %2").arg(pages ? page_ + 1 : 0).arg(pages));
    ZoomLabel->setText(QString("%1%").arg(qRound(zoom_ * 100)));
    FirstBut->setEnabled(page_ > 0);
    PrevBut->setEnabled(page_ > 0);
    NextBut->setEnabled(page_ + 1 < pages);
    LastBut->setEnabled(page_ + 1 < pages);
    ZoomInBut->setEnabled(zoom_ < kMaxZoom);
    ZoomOutBut->setEnabled(zoom_ > kMinZoom);
    PrintBut->setEnabled(pages > 0);
    PdfBut->setEnabled(pages > 0);
    if (pages == 0) {
        Imagine->setPixmap({});
        return;
    }
    const int dpi = std::max(10, qRound(logicalDpiX() * zoom_));
    Imagine->setPixmap(
        QPixmap::fromImage(printing::renderPage(job_.report(), static_cast<size_t>(page_), dpi)));
}

void TPreview::FirstClick() {
    GoTo(0);
}

void TPreview::PrevClick() {
    GoTo(page_ - 1);
}

void TPreview::NextClick() {
    GoTo(page_ + 1);
}

void TPreview::LastClick() {
    GoTo(pageCount() - 1);
}

void TPreview::ZoomInClick() {
    fitWidth_ = false;
    SetZoom(zoom_ * kZoomStep);
}

void TPreview::ZoomOutClick() {
    fitWidth_ = false;
    SetZoom(zoom_ / kZoomStep);
}

void TPreview::FitClick() {
    fitWidth_ = true;
    ApplyFitWidth();
}

void TPreview::PrintClick() {
    ShowingErrors([this] {
        if (printHook)
            printHook(this, job_);
        else
            DefaultPrint(this, job_, copies_);
    });
}

void TPreview::PdfClick() {
    const QString path = pdfPathHook ? pdfPathHook(this) : DefaultPdfPath(this, job_.report());
    if (path.isEmpty()) return;
    ShowingErrors([this, &path] { job_.writePdf(path.toStdString()); });
}

}  // namespace tvx::ui
