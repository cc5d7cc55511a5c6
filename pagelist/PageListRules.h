#pragma once
// The page list's rules that need no window: the icon of each image index and
// the length limit of an item's title.

#include <cstddef>
#include <string>

#include "store/Cp932.h"
#include "store/PageImage.h"

namespace pagelist {

// Longest title, in bytes of code page 932.
constexpr std::size_t TITLE_MAX_BYTES = 255;

// The image rule lives with the page store (store/PageImage.h); the list uses it as is.
using ::imageIsBookmark;
using ::imageIsFolder;
using ::imageIsSecure;
using ::pageImage;
using ::selectedImage;

// Icon resource shown at each of the sixteen image indices.
extern const int IMAGE_ICONS[PAGE_IMAGE_COUNT];

// A title as the page list holds it: at most 255 bytes, no double-byte character split.
inline std::string cutTitle(const std::string& text) { return cp932::cutAt(text, TITLE_MAX_BYTES); }

}  // namespace pagelist
