// The event table: which handler each control's event runs. Controls are named by their own names (the
// widgets' objectNames). The window only routes; every handler lives in its subsystem.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "index/Workspace.h"

namespace quorvane::app {

enum class Event {
  kClicked,             // buttons
  kKeyDown,             // edit boxes; key is 13 for Enter
  kLeftButtonReleased,  // edit boxes
  kDoubleClicked,       // picture box, no-preview label, the list
  kFocusedRowChanged,   // the list: the user moved its focus to another row
};

struct Route {
  std::string_view control;  // objectName, UTF-8
  Event event;
  std::function<void(index::Workspace& workspace, int key)> handler;
};

// Every route of the window.
const std::vector<Route>& EventRoutes();

}  // namespace quorvane::app
