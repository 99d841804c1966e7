// Drawing laid-out pages onto painters, PDF files and images (printing/ layer).
#include "printing/ReportPainter.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

#include "printing/TextLayout.h"
#include "tables/EngineError.h"

namespace tvx::printing {

using tables::EngineError;

namespace {

constexpr int kPdfResolution = 1200;

Qt::Alignment alignment(Align a) {
    const Qt::Alignment h = a == Align::Center  ? Qt::AlignHCenter
                            : a == Align::Right ? Qt::AlignRight
                                                : Qt::AlignLeft;
    return h | Qt::AlignTop;
}

}  // namespace

void paintPage(QPainter& painter, const LaidOutReport& report, size_t page, double pixelsPerMm) {
    if (page >= report.pages.size())
        throw EngineError("no page " + std::to_string(page + 1) + " in the report");
    const auto rect = [&](const PlacedItem& item) {
        return QRectF(item.x * pixelsPerMm, item.y * pixelsPerMm, item.w * pixelsPerMm,
                      item.h * pixelsPerMm);
    };
    QPen pen(Qt::black);
    pen.setWidthF(0.2 * pixelsPerMm);
    painter.save();
    painter.setPen(pen);
    for (const PlacedItem& item : report.pages[page].items) {
        switch (item.kind) {
            case ElementKind::Line:
                painter.drawLine(rect(item).topLeft(), rect(item).bottomRight());
                break;
            case ElementKind::Box:
                painter.drawRect(rect(item));
                break;
            case ElementKind::Picture: {
                const auto it = report.pictures.find(item.text);
                if (it == report.pictures.end() || it->second.isNull()) break;
                // Scaled to fit the place without distortion, centred in it.
                const QRectF place = rect(item);
                QSizeF size = QSizeF(it->second.size());
                size.scale(place.size(), Qt::KeepAspectRatio);
                QRectF target(QPointF(), size);
                target.moveCenter(place.center());
                painter.drawImage(target, it->second);
                break;
            }
            default: {
                painter.setFont(reportFont(item.fontSize, item.bold));
                // One line after another at the measured spacing, as the layout wrapped them.
                const double step = lineHeightMm(item.fontSize, item.bold) * pixelsPerMm;
                QRectF line = rect(item);
                line.setHeight(step);
                for (const QString& text : QString::fromStdString(item.text).split('\n')) {
                    painter.drawText(line, alignment(item.align), text);
                    line.translate(0, step);
                }
            }
        }
    }
    painter.restore();
}

QImage renderPage(const LaidOutReport& report, size_t page, int dpi) {
    if (page >= report.pages.size())
        throw EngineError("no page " + std::to_string(page + 1) + " in the report");
    const double pixelsPerMm = dpi / 25.4;
    QImage image(qRound(report.page.width() * pixelsPerMm),
                 qRound(report.page.height() * pixelsPerMm), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(pixelsPerMm * 1000));
    image.setDotsPerMeterY(qRound(pixelsPerMm * 1000));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paintPage(painter, report, page, pixelsPerMm);
    return image;
}

void writePagePng(const LaidOutReport& report, size_t page, int dpi, const std::string& path) {
    const QImage image = renderPage(report, page, dpi);
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        throw EngineError("cannot write " + path + ": " + file.errorString().toStdString());
}

void writePdf(const LaidOutReport& report, const std::string& path) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        throw EngineError("cannot write " + path + ": " + file.errorString().toStdString());
    {
        QPdfWriter writer(&file);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4),
                        report.page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                        QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer)) throw EngineError("cannot start the PDF " + path);
        for (size_t p = 0; p < report.pages.size(); ++p) {
            if (p > 0) writer.newPage();
            paintPage(painter, report, p, kPdfResolution / 25.4);
        }
        painter.end();
    }
    if (!file.commit())
        throw EngineError("cannot write " + path + ": " + file.errorString().toStdString());
}

}  // namespace tvx::printing
