// The monitors attached now, for fitting a saved window position to them.
#pragma once

#include <cstdint>

#include "settings/ScreenFit.h"

namespace monitors {

// `screenfit::keepOnScreen` over the work areas of the monitors attached now.
screenfit::Placement keepOnScreen(const screenfit::Placement& window, int32_t minSize);

}  // namespace monitors
