#pragma once
// The page list's rules that need no window: the image index of an item and
// the length limit of its title.

#include <cstddef>
#include <string>

namespace pagelist {

// Longest title, in bytes of code page 932.
constexpr std::size_t TITLE_MAX_BYTES = 255;

// Image index of an item: 2 for a folder + 4 for the bookmarked item + 8 for a secure page.
inline int pageImage(bool folder, bool bookmark, bool secure) {
    return (folder ? 2 : 0) + (bookmark ? 4 : 0) + (secure ? 8 : 0);
}
// The selected image is always the next one.
inline int selectedImage(int image) { return image + 1; }
inline bool imageIsFolder(int image) { return (image & 2) != 0; }
inline bool imageIsBookmark(int image) { return (image & 4) != 0; }
inline bool imageIsSecure(int image) { return (image & 8) != 0; }

// Icon resource shown at each of the sixteen image indices.
extern const int IMAGE_ICONS[16];

// `text` cut to at most `maxBytes` bytes without splitting a double-byte character.
std::string cutTitle(const std::string& text, std::size_t maxBytes = TITLE_MAX_BYTES);

}  // namespace pagelist
