#pragma once
// The custom colours of the text-colour chooser, most recent first.

#include <array>
#include <cstdint>

namespace colourlist {

constexpr int COUNT = 16;
using Colours = std::array<std::uint32_t, COUNT>;

// Puts `colour` at the front. An entry already holding it is taken out of its
// place; otherwise the oldest (last) entry drops off the end.
void rememberRecentColour(Colours& colours, std::uint32_t colour);

}  // namespace colourlist
