// Fonts and text measurement of the report engine (printing/ layer).
#include "printing/TextLayout.h"

#include <QFontMetricsF>
#include <QImage>
#include <QString>
#include <algorithm>

namespace tvx::printing {

namespace {

constexpr double kMeasureDpi = 1200.0;

// A device of known resolution for the metrics (1200 dpi = 47244 dots per metre).
const QImage& measureDevice() {
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(47244);
        image.setDotsPerMeterY(47244);
        return image;
    }();
    return device;
}

double pixelsToMm(double pixels) {
    return pixels * 25.4 / (measureDevice().dotsPerMeterX() * 0.0254);
}

}  // namespace

QFont reportFont(double pointSize, bool bold) {
    QFont font(kReportFontFamily);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    // No ligatures: "fi" stays two letters, so the PDF's text reads and searches as typed.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

double lineHeightMm(double pointSize, bool bold) {
    const QFontMetricsF metrics(reportFont(pointSize, bold), &measureDevice());
    return pixelsToMm(metrics.lineSpacing());
}

double textWidthMm(const std::string& text, double pointSize, bool bold) {
    const QFontMetricsF metrics(reportFont(pointSize, bold), &measureDevice());
    double widest = 0;
    for (const QString& line : QString::fromStdString(text).split('\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return pixelsToMm(widest);
}

std::vector<std::string> wrapText(const std::string& text, double widthMm, double pointSize,
                                  bool bold) {
    const QFontMetricsF metrics(reportFont(pointSize, bold), &measureDevice());
    const auto fits = [&](const QString& s) {
        return pixelsToMm(metrics.horizontalAdvance(s)) <= widthMm + 1e-6;
    };
    std::vector<std::string> lines;
    const QStringList paragraphs = QString::fromStdString(text).split('\n');
    for (const QString& paragraph : paragraphs) {
        QString line;
        const QStringList words = paragraph.split(' ', Qt::SkipEmptyParts);
        for (QString word : words) {
            const QString joined = line.isEmpty() ? word : line + ' ' + word;
            if (fits(joined)) {
                line = joined;
                continue;
            }
            if (!line.isEmpty()) lines.push_back(line.toStdString());
            line.clear();
            // A word wider than the element is cut between characters.
            while (!fits(word) && word.size() > 1) {
                qsizetype n = 1;
                while (n < word.size() && fits(word.left(n + 1))) ++n;
                lines.push_back(word.left(n).toStdString());
                word = word.mid(n);
            }
            line = word;
        }
        lines.push_back(line.toStdString());
    }
    return lines;
}

}  // namespace tvx::printing
