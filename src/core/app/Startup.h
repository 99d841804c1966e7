// The first work of the splash window (core/app): opening the data directory, creating the
// missing tables, writing the NIR template when missing and upgrading older layouts. A
// failure here stops the start; the later steps (profile, TidyTables) only report theirs.
#pragma once

namespace tvx::core {

class Session;

// Texts of the splash window.
constexpr const char* kSplashTitleDesign = "EVIDENTA STOC";
constexpr const char* kSplashLine = "Gestiune intrari si iesiri. Facturare. Garantii. Inventar.";
constexpr const char* kSplashLoading = "Incarcare date";
constexpr const char* kSplashPacking = "Refac bazele de date ...";
constexpr const char* kNirTemplateFile = "NIRTVA.xls";

// Opens the session's data directory (created when missing), creates the missing tables,
// writes "NIRTVA.xls" from the embedded template when it is missing, and upgrades older
// layouts. Throws EngineError with the engine's message; the program must not go on.
void PrepareData(Session& session);

}  // namespace tvx::core
