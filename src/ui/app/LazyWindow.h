// A window of the application built the first time it is asked for (ui/app): building all
// of them before the main window showed was a third of the start-up.
#pragma once

#include <functional>
#include <memory>

namespace tvx::ui {

template <class Window>
class LazyWindow {
  public:
    using Make = std::function<std::unique_ptr<Window>()>;
    using Wire = std::function<void(Window&)>;

    // `make` builds the window, `wire` then connects it; wiring may ask for other windows,
    // also for ones whose own wiring asks for this one, which is there by then.
    void define(Make make, Wire wire = {}) {
        make_ = std::move(make);
        wire_ = std::move(wire);
    }
    Window& get() {
        if (!window_) {
            window_ = make_();
            if (wire_) wire_(*window_);
        }
        return *window_;
    }
    bool made() const { return window_ != nullptr; }

  private:
    Make make_;
    Wire wire_;
    std::unique_ptr<Window> window_;
};

}  // namespace tvx::ui
