#pragma once
// Whether the windows can open: Qt ends the program with an abort when it cannot reach a
// graphical display, so the start checks first and can explain itself instead.
#include "core/workspace.h"

namespace ov {

// True when QT_QPA_PLATFORM names a platform that needs no display server (offscreen, vnc, a
// frame buffer: Qt's own business), or when the Wayland socket of WAYLAND_DISPLAY or the X server
// of DISPLAY accepts a connection. False when neither is set or neither answers.
bool graphicalDisplayAvailable(const Environment& env);

}  // namespace ov
