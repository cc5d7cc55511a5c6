// What a click on a link in a page opens.
#pragma once

#include <string>

namespace linktarget {

enum class Verb { None, Default, Open };

struct LinkAction {
    Verb verb = Verb::None;
    std::string target;
};

// "http..." opens as it is with the shell's default verb; "file://./x" and
// "file:///./x" (either slash after the dot) become "file://<currentDir>\x" and open
// with "open"; other "file..." links open as they are; anything else does nothing.
LinkAction resolveLink(const std::string& text, const std::string& currentDir);

}  // namespace linktarget
