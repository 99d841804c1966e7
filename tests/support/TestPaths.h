// Folders and programs the tests reach. Their values are written by CMake into a source file
// of the build folder, so that the test sources themselves compile alike in every checkout
// (and a compiler cache serves them across checkouts).
#pragma once

namespace tvx::testpaths {
const char* sharedDir();     // ../shared beside the repository (checkers, samples)
const char* sqlCasesDir();   // tests/tables/sql_cases
const char* tvxsqlProgram(); // the built SQL shell
const char* tvxcliProgram(); // the built command-line exports
const char* expectedDir();   // tests/printing/expected
const char* sourceDir();     // src/
}  // namespace tvx::testpaths

#define TVX_SHARED_DIR (::tvx::testpaths::sharedDir())
#define TVX_SQL_CASES_DIR (::tvx::testpaths::sqlCasesDir())
#define TVX_TVXSQL (::tvx::testpaths::tvxsqlProgram())
#define TVX_TVXCLI (::tvx::testpaths::tvxcliProgram())
#define TVX_EXPECTED_DIR (::tvx::testpaths::expectedDir())
#define TVX_SOURCE_DIR (::tvx::testpaths::sourceDir())
