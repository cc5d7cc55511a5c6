// The settings file reader: any bytes give settings, and the settings written
// back read again as the same settings.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/IniSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const IniSettings defaults = ini::defaultSettings(1280, 800);
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string written = ini::formatIni(ini::parseIni(text, defaults));
    if (ini::formatIni(ini::parseIni(written, defaults)) != written) std::abort();
    return 0;
}
