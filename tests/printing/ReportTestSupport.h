// Shared helpers of the report engine tests: paths of the test layouts, small result sets, and
// the comparison of a dump with its expected file. TVX_UPDATE_EXPECTED=1 rewrites the expected
// files from the current output instead of comparing (review the difference before keeping it).
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/TestPaths.h"
#include "tables/ResultSet.h"

namespace tvx::printing::testing {

inline std::string layoutPath(const std::string& name) {
    return std::string(TVX_EXPECTED_DIR) + "/../layouts/" + name;
}

inline tables::ResultSet makeRows(std::vector<tables::ColumnInfo> columns,
                                  std::vector<tables::Value> cells) {
    return tables::ResultSet(std::move(columns), std::move(cells));
}

inline void expectMatchesFile(const std::string& name, const std::string& actual) {
    const QString path = QString(TVX_EXPECTED_DIR) + "/" + QString::fromStdString(name);
    const char* update = std::getenv("TVX_UPDATE_EXPECTED");
    if (update && std::string(update) == "1") {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        out.write(actual.data(), static_cast<qint64>(actual.size()));
        return;
    }
    QFile in(path);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly)) << "missing expected file " << path.toStdString();
    EXPECT_EQ(in.readAll().toStdString(), actual) << "differs from " << path.toStdString();
}

}  // namespace tvx::printing::testing
