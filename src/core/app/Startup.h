// The first work of the splash window (core/app): opening the data directory, creating the
// missing tables, writing the NIR template when missing and upgrading older layouts. A
// failure here stops the start; the later steps (profile, TidyTables) only report theirs.
#pragma once

#include <optional>

#include "core/admin/AdminCommon.h"

namespace tvx::core {

class Session;

// Texts of the splash window.
constexpr const char* kSplashTitleDesign = "EVIDENTA STOC";
constexpr const char* kSplashLine = "Gestiune intrari si iesiri. Facturare. Garantii. Inventar.";
constexpr const char* kSplashLoading = "Incarcare date";
constexpr const char* kSplashPacking = "Refac bazele de date ...";
constexpr const char* kNirTemplateFile = "NIRTVA.xls";

// Finishes or undoes a restore that was interrupted (before anything opens the data
// directory), opens the session's data directory (created when missing), creates the
// missing tables, writes "NIRTVA.xls" from the embedded template when it is missing, and
// upgrades older layouts. Returns the notice to show when an interrupted restore was put
// right. Throws EngineError with the engine's message; the program must not go on.
std::optional<Message> PrepareData(Session& session);

}  // namespace tvx::core
