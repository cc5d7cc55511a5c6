// File-name cleaning of exported pages: whatever bytes a title holds, the
// cleaned name is one the file system takes as one name in the folder meant.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "io/FileNames.h"

namespace {

// What Windows refuses in a name: the control bytes, the reserved characters
// and the wildcards.
bool forbidden(unsigned char c) { return c < 0x20 || (c != 0 && std::strchr("\"*/:<>?\\|", c) != nullptr); }
bool leadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFE); }
bool trailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// Walks the name a character at a time: true when every character may stand
// in a name. A CR LF pair stays as typed; a lead byte must have its second
// byte, or it would eat what follows the name (the extension's dot, a separator).
bool allowedName(const std::string& name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        const unsigned char next = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
        if ((c == '\r' && next == '\n') || (leadByte(c) && trailByte(next))) {
            ++i;
        } else if (leadByte(c) || forbidden(c)) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string title(reinterpret_cast<const char*>(data), size);
    std::string name = title;
    const bool replaced = filenames::cleanFileName(name);

    // in place, byte for byte: each byte kept or turned into "_", and the report says which
    if (name.size() != title.size() || replaced != (name != title)) std::abort();
    for (std::size_t i = 0; i < name.size(); ++i)
        if (name[i] != title[i] && name[i] != '_') std::abort();
    // a name that needs nothing is left alone (Japanese titles keep their characters)
    if (allowedName(title) && replaced) std::abort();
    if (!allowedName(name)) std::abort();

    // stable: cleaning again changes nothing
    std::string again = name;
    if (filenames::cleanFileName(again) || again != name) std::abort();

    // the name never takes in what is appended after it
    if (filenames::titleOfPath("C:\\book\\" + name + "\\page.rtf") != "page") std::abort();
    if (filenames::extensionOf(name + ".rtf") != "rtf") std::abort();

    // an exported page's file is never a device name, and cleaning the whole file name keeps the base
    const std::string base = filenames::creatableBase(title);
    if (base != title && base != "_" + title) std::abort();
    std::string file = base + ".rtf";
    filenames::cleanFileName(file);
    if (filenames::isReservedDeviceName(file) || !allowedName(file)) std::abort();
    if (file.compare(file.size() - 4, 4, ".rtf") != 0) std::abort();
    return 0;
}
