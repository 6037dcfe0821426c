// The copy of the check-marked mods' folders, with everything inside them, into a folder the user picks.
#pragma once

#include "window/ModList.h"
#include "window/Window.h"

namespace quorvane::copy {

// The click of 复制到.... Every folder below a mod folder is created at the destination (empty ones too)
// and every file copied over a file of the same name. What could not be created or copied is counted and
// the first few named in the log; a destination that would copy files onto themselves is refused.
void CopyCheckedMods(window::ModList& list, window::Window& window);

}  // namespace quorvane::copy
