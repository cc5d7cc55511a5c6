#include "app/LinkTarget.h"

namespace linktarget {

namespace {

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::string(prefix).size(), prefix) == 0;
}

}  // namespace

LinkAction resolveLink(const std::string& text, const std::string& currentDir) {
    LinkAction action;
    if (startsWith(text, "http")) {
        action.verb = Verb::Default;
        action.target = text;
        return action;
    }
    if (!startsWith(text, "file")) return action;
    action.verb = Verb::Open;
    size_t prefix = 0;
    if (startsWith(text, "file://./") || startsWith(text, "file://.\\"))
        prefix = 9;
    else if (startsWith(text, "file:///./") || startsWith(text, "file:///.\\"))
        prefix = 10;
    action.target = prefix ? "file://" + currentDir + "\\" + text.substr(prefix) : text;
    return action;
}

}  // namespace linktarget
