// The check-mark commands: check the selected rows, check all, uncheck all, each logging the counts.
#pragma once

#include "window/ModList.h"
#include "window/Window.h"

namespace quorvane::browse {

// Checks every selected row, then logs how many were selected now and every checked row's serial.
void CheckSelectedRows(window::ModList& list, window::Window& window);
void CheckAllRows(window::ModList& list, window::Window& window);
void UncheckAllRows(window::ModList& list, window::Window& window);

}  // namespace quorvane::browse
