// The author works search: the rows whose author matches an author of the check-marked rows.
#pragma once

#include "window/ModList.h"
#include "window/Window.h"

namespace quorvane::search {

// The click of 选中作者查作品. Clears every check mark, selects the rows found, brings the last of them
// into view and logs the number of check-marked rows, the authors and the serials found.
void FindAuthorWorks(window::ModList& list, window::Window& window);

}  // namespace quorvane::search
