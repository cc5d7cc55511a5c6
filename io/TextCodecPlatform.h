// What each platform supplies to io/TextCodec.cpp: the system's own code page
// 932 converter (TextCodecWin.cpp, TextCodecHost.cpp). Callers use TextCodec.h.
#pragma once

#include <string>

namespace textcodec {
namespace platform {

// UTF-16 to code page 932 without a look-alike or a default character for
// one it lacks (false then). Some converters still map a few characters one
// way (¥ to "\"): utf16ToCp932 reads the bytes back to catch those.
bool encodeCp932(const std::u16string& text, std::string& out);

}  // namespace platform
}  // namespace textcodec
