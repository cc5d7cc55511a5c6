#include "pagelist/PageListRules.h"

#include "res/resource.h"

namespace pagelist {

const int IMAGE_ICONS[PAGE_IMAGE_COUNT] = {
    IDI_PAGE,        IDI_PAGE_SEL,    IDI_FOLDER,       IDI_FOLDER_SEL,   IDI_PAGE_MARK, IDI_PAGE_MARK,
    IDI_FOLDER_MARK, IDI_FOLDER_MARK, IDI_SPAGE,        IDI_SPAGE_SEL,    IDI_SFOLDER,   IDI_SFOLDER_SEL,
    IDI_SPAGE_MARK,  IDI_SPAGE_MARK,  IDI_SFOLDER_MARK, IDI_SFOLDER_MARK,
};

}  // namespace pagelist
