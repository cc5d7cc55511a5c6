#include <windows.h>

#include "settings/ColourSchemeDialog.h"

#include "res/resource.h"
#include "settings/ColourScheme.h"
#include "settings/CommonDialogs.h"
#include "settings/WindowColours.h"
#include "ui/Dialog.h"
#include "ui/WideText.h"

namespace colourschemedialog {

namespace {

constexpr COLORREF BLACK = RGB(0, 0, 0);
constexpr COLORREF WHITE = RGB(255, 255, 255);

struct SchemeData {
    DataFileHeader* header = nullptr;
    SchemeTargets targets;
};

// The three colour buttons: the scheme value each changes, the control it recolours,
// and the value "デフォルトに戻す" gives it.
struct ColourButton {
    int id;
    std::uint32_t DataFileHeader::*value;
    void (*SchemeTargets::*apply)(COLORREF);
    COLORREF defaultColour;
};

const ColourButton COLOUR_BUTTONS[] = {
    {IDC_SCHEME_LIST_TEXT, &DataFileHeader::listTextColour, &SchemeTargets::setListTextColour, BLACK},
    {IDC_SCHEME_LIST_BACK, &DataFileHeader::listBackColour, &SchemeTargets::setListBackColour, WHITE},
    {IDC_SCHEME_MEMO_BACK, &DataFileHeader::memoBackColour, &SchemeTargets::setMemoBackColour, WHITE},
};

void setColour(SchemeData& data, const ColourButton& button, COLORREF colour) {
    data.header->*button.value = colour;
    if (data.targets.*button.apply) (data.targets.*button.apply)(colour);
}

BOOL onInit(HWND dialog, SchemeData& data) {
    HWND list = GetDlgItem(dialog, IDC_SCHEME_WINDOW_COLOURS);
    // filled by display position, never sorted
    for (int position = 0; position < windowcolours::COUNT; ++position) {
        const int index = windowcolours::indexAtDisplayPosition(position);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide::from932(windowcolours::nameOf(index)).c_str()));
    }
    SendMessageW(list, LB_SETCURSEL, windowcolours::displayPositionOf(data.header->windowColourIndex), 0);
    return TRUE;
}

// The line chosen becomes the book's background at once. The custom line asks for its
// colour first; when that is cancelled, the line and the book go back to the background
// the window still shows, so the next start shows what the user saw.
void onBackgroundChosen(HWND dialog, SchemeData& data) {
    HWND list = GetDlgItem(dialog, IDC_SCHEME_WINDOW_COLOURS);
    const int position = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
    const int index = windowcolours::indexAtDisplayPosition(position);
    if (index < 0) return;
    DataFileHeader& header = *data.header;
    if (index == windowcolours::CUSTOM_INDEX) {
        COLORREF custom = header.customWindowColour;
        if (!dialogs::chooseColour(data.targets.mainWindow, custom)) {
            SendMessageW(list, LB_SETCURSEL, windowcolours::displayPositionOf(header.windowColourIndex), 0);
            return;
        }
        header.windowColourIndex = index;
        header.customWindowColour = custom;
        colourscheme::setWindowScheme(data.targets.mainWindow, index, custom);
        return;
    }
    header.windowColourIndex = index;
    colourscheme::setWindowBackground(data.targets.mainWindow, index);
}

BOOL onCommand(HWND dialog, SchemeData& data, int id, int code) {
    if (id == IDC_SCHEME_WINDOW_COLOURS) {
        if (code == LBN_SELCHANGE) onBackgroundChosen(dialog, data);
        return TRUE;
    }
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(dialog, id);  // every change is in effect already
        return TRUE;
    }
    for (const ColourButton& button : COLOUR_BUTTONS) {
        if (id == IDC_SCHEME_DEFAULTS) {
            setColour(data, button, button.defaultColour);
        } else if (id == button.id) {
            COLORREF colour = data.header->*button.value;
            if (dialogs::chooseColour(dialog, colour)) setColour(data, button, colour);
        }
    }
    return TRUE;
}

INT_PTR CALLBACK schemeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    SchemeData* data = ui::dialogData<SchemeData>(dialog, message, lParam);
    if (!data) return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            return onInit(dialog, *data);
        case WM_COMMAND:
            return onCommand(dialog, *data, LOWORD(wParam), HIWORD(wParam));
    }
    return FALSE;
}

}  // namespace

void runColourSchemeDialog(HWND owner, DataFileHeader& header, const SchemeTargets& targets) {
    SchemeData data;
    data.header = &header;
    data.targets = targets;
    ui::runModal(owner, IDD_COLOUR_SCHEME, schemeProc, &data);
}

}  // namespace colourschemedialog
