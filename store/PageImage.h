// The image index of a page-list item, the one home of its rule: 2 for a folder
// + 4 for the bookmarked item + 8 for a secure page; the selected image is one more.
// The page store numbers items by it, the page list draws it, the commands set it.
#pragma once

constexpr int IMAGE_FOLDER = 2;
constexpr int IMAGE_BOOKMARK = 4;
constexpr int IMAGE_SECURE = 8;
constexpr int PAGE_IMAGE_COUNT = 16;

inline int pageImage(bool folder, bool bookmark, bool secure) {
    return (folder ? IMAGE_FOLDER : 0) + (bookmark ? IMAGE_BOOKMARK : 0) + (secure ? IMAGE_SECURE : 0);
}
inline int selectedImage(int image) { return image + 1; }

inline bool imageIsFolder(int image) { return (image & IMAGE_FOLDER) != 0; }
inline bool imageIsBookmark(int image) { return (image & IMAGE_BOOKMARK) != 0; }
inline bool imageIsSecure(int image) { return (image & IMAGE_SECURE) != 0; }

// The same item's image with the bookmark mark set or taken away.
inline int withBookmark(int image, bool bookmark) {
    return bookmark ? (image | IMAGE_BOOKMARK) : (image & ~IMAGE_BOOKMARK);
}
// The same item's image with the secure mark set or taken away.
inline int withSecure(int image, bool secure) { return secure ? (image | IMAGE_SECURE) : (image & ~IMAGE_SECURE); }

// A bookmark the data file keeps: on an ordinary page or folder, never on a secure one.
inline bool isSavedBookmark(int image) { return image == IMAGE_BOOKMARK || image == IMAGE_BOOKMARK + IMAGE_FOLDER; }
