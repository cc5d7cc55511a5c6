#include <windows.h>

#include "settings/StandardFontDialog.h"

#include <cstdlib>
#include <cstring>

#include "res/resource.h"
#include "settings/CommonDialogs.h"
#include "settings/SettingsMessages.h"
#include "store/Cp932.h"
#include "ui/Dialog.h"
#include "ui/WideText.h"

namespace standardfontdialog {

namespace {

struct StandardFontData {
    HWND owner = nullptr;
    DataFileHeader* header = nullptr;
    ApplyToAllPages applyToAllPages = nullptr;
};

// The three apply buttons and what each imposes.
struct ApplyButton {
    int id;
    int apply;
};

const ApplyButton APPLY_BUTTONS[] = {
    {IDC_STDFONT_APPLY_FONT, APPLY_FONT},
    {IDC_STDFONT_APPLY_COLOUR, APPLY_COLOUR},
    {IDC_STDFONT_APPLY_BOTH, APPLY_FONT | APPLY_COLOUR},
};

void chooseFont(HWND dialog, DataFileHeader& header) {
    std::string face = standardFontFaceOf(header);
    int height = header.standardFontHeight;
    if (dialogs::chooseFontNameSize(dialog, face, height)) {
        // 31 bytes and the NUL, never half a double-byte character
        const std::string kept = cp932::cutAt(face, sizeof header.standardFontFace - 1);
        std::memset(header.standardFontFace, 0, sizeof header.standardFontFace);
        std::memcpy(header.standardFontFace, kept.data(), kept.size());
        header.standardFontHeight = height;
    }
    // the chooser hands back a character height, which is negative
    header.standardFontHeight = std::abs(header.standardFontHeight);
}

void chooseColour(HWND dialog, DataFileHeader& header) {
    COLORREF colour = header.standardFontColour;
    if (dialogs::chooseColour(dialog, colour)) header.standardFontColour = colour;
}

// A confirmed apply goes through every page and closes the dialog; a refused one leaves it open.
void applyToAllPages(HWND dialog, StandardFontData& data, int apply) {
    using namespace settingsmessages;
    if (wide::messageBox(dialog, STANDARD_FONT_APPLY_TEXT, STANDARD_FONT_CAPTION, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    if (data.applyToAllPages) data.applyToAllPages(data.owner, apply);
    EndDialog(dialog, IDOK);
}

BOOL onCommand(HWND dialog, StandardFontData& data, int id) {
    switch (id) {
        case IDC_STDFONT_CHOOSE_FONT:
            chooseFont(dialog, *data.header);
            return TRUE;
        case IDC_STDFONT_CHOOSE_COLOUR:
            chooseColour(dialog, *data.header);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
    }
    for (const ApplyButton& button : APPLY_BUTTONS)
        if (button.id == id) applyToAllPages(dialog, data, button.apply);
    return TRUE;
}

INT_PTR CALLBACK standardFontProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    StandardFontData* data = ui::dialogData<StandardFontData>(dialog, message, lParam);
    if (!data) return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            return onCommand(dialog, *data, LOWORD(wParam));
    }
    return FALSE;
}

}  // namespace

std::string standardFontFaceOf(const DataFileHeader& header) {
    return std::string(header.standardFontFace, strnlen(header.standardFontFace, sizeof header.standardFontFace));
}

void runStandardFontDialog(HWND owner, DataFileHeader& header, ApplyToAllPages applyToAllPages) {
    StandardFontData data;
    data.owner = owner;
    data.header = &header;
    data.applyToAllPages = applyToAllPages;
    ui::runModal(owner, IDD_STANDARD_FONT, standardFontProc, &data);
}

}  // namespace standardfontdialog
