// Removing a document's work table (Fact.dbf, Aviz.dbf) once its report is laid out, whichever
// way the preparation leaves. A failure to remove it is not reported: the next document of the
// kind recreates the table anyway.
#pragma once

#include <functional>
#include <utility>

#include "tables/EngineError.h"

namespace tvx::ui {

class WorkTableGuard {
  public:
    explicit WorkTableGuard(std::function<void()> remove) : remove_(std::move(remove)) {}
    ~WorkTableGuard() {
        try {
            remove_();
        } catch (const tables::EngineError&) {
        }
    }
    WorkTableGuard(const WorkTableGuard&) = delete;
    WorkTableGuard& operator=(const WorkTableGuard&) = delete;

  private:
    std::function<void()> remove_;
};

}  // namespace tvx::ui
