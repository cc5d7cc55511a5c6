#include "pagelist/PageListRules.h"

#include "res/resource.h"
#include "store/Cp932.h"

namespace pagelist {

const int IMAGE_ICONS[16] = {
    IDI_PAGE,        IDI_PAGE_SEL,        IDI_FOLDER,        IDI_FOLDER_SEL,
    IDI_PAGE_MARK,   IDI_PAGE_MARK,       IDI_FOLDER_MARK,   IDI_FOLDER_MARK,
    IDI_SPAGE,       IDI_SPAGE_SEL,       IDI_SFOLDER,       IDI_SFOLDER_SEL,
    IDI_SPAGE_MARK,  IDI_SPAGE_MARK,      IDI_SFOLDER_MARK,  IDI_SFOLDER_MARK,
};

std::string cutTitle(const std::string& text, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < text.size()) {
        std::size_t step = cp932::isLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + step > maxBytes || end + step > text.size()) break;
        end += step;
    }
    return text.substr(0, end);
}

}  // namespace pagelist
