// Pictures of the filled workbooks (tools/tvxshots).
#pragma once

#include <QDir>

namespace tvx::core {
class Session;
}

// Writes nir-workbook.png and sales-journal-workbook.png into `output` from the session's
// sample data; returns how many were written (none without LibreOffice).
int SaveWorkbookPictures(tvx::core::Session& session, const QDir& output);
