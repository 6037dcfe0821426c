#include "app/EventTable.h"

namespace quorvane::app {

const std::vector<Route>& EventRoutes() {
  using index::Workspace;
  static const std::vector<Route> routes = {
      // Each subsystem adds its routes here, one line per control event.
  };
  return routes;
}

}  // namespace quorvane::app
