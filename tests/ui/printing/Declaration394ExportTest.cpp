// Declaration 394's "Export in Excel": the rows go straight to a workbook for viewing, headed
// by the period, and the workbook is opened.
#include <gtest/gtest.h>

#include <QFile>
#include <QString>

#include "core/reports/ResultSetExport.h"
#include "tables/ResultSet.h"
#include "ui/printing/Declaration394Export.h"
#include "ui/reports/TExportF.h"

namespace tvx::ui {
namespace {

TEST(Declaration394Export, OpensAWorkbookOfTheRowsHeadedByThePeriod) {
    const tables::ResultSet rows(
        {{"SOC2", 'C', 40}, {"CUI2", 'C', 20}, {"COUNTF", 'N', 10}, {"TOT", 'N', 12, 2}},
        {"ALFA PRODCOM SRL", "RO123", 2, tables::Decimal::parse("150.25").value()});
    QString viewed;
    TExportF::setViewHook([&](const QString& file) { viewed = file; });
    const bool written = ExportDeclaration394(rows, "in perioada 01.03.2024 - 31.03.2024", nullptr);
    TExportF::setViewHook({});
    ASSERT_TRUE(written);
    ASSERT_TRUE(
        viewed.endsWith(QString::fromStdString(core::ExportExtension(core::ExportFormat::Excel))))
        << viewed.toStdString();
    QFile file(viewed);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    QFile::remove(viewed);
    EXPECT_TRUE(bytes.contains("Declaratia 394 in perioada 01.03.2024 - 31.03.2024"));
    EXPECT_TRUE(bytes.contains("ALFA PRODCOM SRL"));
}

}  // namespace
}  // namespace tvx::ui
