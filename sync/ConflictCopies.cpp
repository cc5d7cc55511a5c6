#include "sync/ConflictCopies.h"

#include <cctype>

namespace conflictcopies {

namespace {

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool startsWith(const std::string& text, const std::string& head) { return text.compare(0, head.size(), head) == 0; }

bool allDigits(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

Copy found(const char* client, const std::string& origin) { return Copy{true, client, origin}; }

}  // namespace

Copy judge(const std::string& name, const std::string& book) {
    const std::string::size_type dot = book.rfind('.');
    const std::string stem = lower(book.substr(0, dot)), extension = lower(book.substr(dot == std::string::npos ? book.size() : dot));
    const std::string low = lower(name);
    if (low.size() <= stem.size() + extension.size() || !startsWith(low, stem) ||
        low.compare(low.size() - extension.size(), extension.size(), extension) != 0)
        return Copy();
    // what the client put between the book's stem and its extension, in the name's own case
    const std::string middle = name.substr(stem.size(), name.size() - stem.size() - extension.size());
    const std::string lowMiddle = lower(middle);
    const std::string syncthing = ".sync-conflict-";
    if (startsWith(lowMiddle, syncthing)) {
        // YYYYMMDD-HHMMSS-DEVICE
        const std::string rest = middle.substr(syncthing.size());
        if (rest.size() > 16 && allDigits(rest.substr(0, 8)) && rest[8] == '-' && allDigits(rest.substr(9, 6)) && rest[15] == '-')
            return found("Syncthing", rest.substr(16));
        return Copy();
    }
    if (middle.size() >= 3 && middle[0] == ' ' && middle[1] == '(' && middle.back() == ')') {
        const std::string inside = middle.substr(2, middle.size() - 3);
        const std::string lowInside = lower(inside);
        if (allDigits(inside)) return found("Google Drive", std::string());
        const std::string nextcloud = "conflicted copy ";
        if (startsWith(lowInside, nextcloud)) return found("Nextcloud", inside.substr(nextcloud.size()));
        const std::string::size_type at = lowInside.find("conflicted copy");
        if (at != std::string::npos) {
            // "Taro's conflicted copy 2026-12-10": the machine or user before it, else the date after it
            std::string who = inside.substr(0, at);
            while (!who.empty() && who.back() == ' ') who.pop_back();
            if (who.size() > 2 && lower(who.substr(who.size() - 2)) == "'s") who.resize(who.size() - 2);
            const std::string after = at + 16 <= inside.size() ? inside.substr(at + 16) : std::string();
            return found("Dropbox", who.empty() ? after : who);
        }
        return Copy();
    }
    // OneDrive: "-MACHINE", a name without dots or blanks
    if (middle.size() > 1 && middle[0] == '-' && middle.find_first_of(". ()") == std::string::npos)
        return found("OneDrive", middle.substr(1));
    return Copy();
}

}  // namespace conflictcopies
