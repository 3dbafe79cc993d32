#pragma once
// The X11 backend: real windows on an X display. It registers itself as "x11", so
// VEL_BACKEND=x11 chooses it in any program that links the backends.
#include <memory>
#include <string>

#include "platform/controls/WindowBackend.h"

namespace vel {

// nullptr when the display cannot be opened.
std::unique_ptr<IWindowBackend> CreateX11Backend(const std::string& Display);

}  // namespace vel
