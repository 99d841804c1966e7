// Reading declarative layout files (printing/ layer). A layout file is JSON:
//   { "name": "...", "page": { "orientation": "portrait"|"landscape",
//                              "margins": { "left": mm, "top": mm, "right": mm, "bottom": mm } },
//     "bands": [ { "kind": "detail", "name": "...", "height": mm, "group": "FIELD",
//                  "visible": true, "elements": [ { "kind": "field", "x": mm, "y": mm,
//                  "w": mm, "h": mm, "field": "PRODUS", "format": "0.00", "font": 9,
//                  "bold": false, "align": "left", "grows": false, "stretch": false }, ... ] } ] }
// Element kinds: label (text), field (field, format), computed (expression, format),
// rowNumber (scope), sum (field, scope "report"|"group", format), picture (picture), line,
// box. Unknown keys, kinds, formats and missing properties are refused with a message naming
// the file, the band and the element.
#pragma once

#include <QByteArray>
#include <string>

#include "printing/ReportLayout.h"

namespace tvx::printing {

// Throws EngineError when the file cannot be read or holds a fault.
ReportLayout loadLayoutFile(const std::string& path);
// `source` names the text in error messages (a file name).
ReportLayout parseLayout(const QByteArray& json, const std::string& source);

}  // namespace tvx::printing
