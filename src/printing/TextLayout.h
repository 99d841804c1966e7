// Fonts and text measurement of the report engine (printing/ layer). Every report uses one
// family, "DejaVu Sans", so that the same layout wraps the same way everywhere; metrics are
// taken at a fixed 1200 dpi and converted to millimetres, independent of any screen.
#pragma once

#include <QFont>
#include <string>
#include <vector>

namespace tvx::printing {

constexpr const char* kReportFontFamily = "DejaVu Sans";

QFont reportFont(double pointSize, bool bold);
// Distance between two text lines, in millimetres.
double lineHeightMm(double pointSize, bool bold);
// Width of the widest line of `text` (lines split at explicit line breaks), in millimetres.
double textWidthMm(const std::string& text, double pointSize, bool bold);
// Splits `text` into lines that fit `widthMm`: breaks at blanks, keeps explicit line breaks,
// and cuts a single word wider than the width between characters. Never returns no lines.
std::vector<std::string> wrapText(const std::string& text, double widthMm, double pointSize,
                                  bool bold);

}  // namespace tvx::printing
