#pragma once
// The memo editor: the Rich Edit 2.0 control on the right of the main window
// that shows and edits the text of the selected page.

#include <windows.h>
#include <richedit.h>

#include <string>

#include "res/resource.h"
#include "settings/ColourList.h"

class MemoEditor;

// A clipboard step of the subclass (copy as text, paste as text); true when it acted.
using ClipboardStep = bool (*)(MemoEditor& editor);

class MemoEditor {
public:
    static constexpr int CONTROL_ID = IDC_MEMO_EDITOR;
    static constexpr DWORD STYLE = 0x50B00104;
    static constexpr int DEFAULT_PIXELS = 15;

    // Loads the rich-edit library; it stays loaded for the whole run.
    MemoEditor();
    MemoEditor(const MemoEditor&) = delete;
    MemoEditor& operator=(const MemoEditor&) = delete;

    // Creates the control with its default font, line spacing and margins, and subclasses it.
    HWND Create(HWND parent);
    // Puts an empty control of the same place, options and look in place of this
    // one, which is destroyed; returns the new window (the old one when no new
    // control could be made). Emptying a control of thousands of paragraphs is
    // far slower with some rich-edit versions.
    HWND Renew();
    void Resize(int width, int height);
    HWND window() const { return window_; }

    void SetNoWrap(bool noWrap);
    void SetUrlDetection(bool on);
    void SetDefaultFont(const std::string& face, int pixels, COLORREF colour);
    void SetBackColour(COLORREF colour);
    void SetTextLimit(int characters);

    void SetSelectionColour(COLORREF colour);
    void SetSelectionFont(const std::string& face, int pixels);
    void SetSelectionFace(const std::string& face);
    void SetSelectionSize(int pixels);
    void ToggleBold();
    void ToggleItalic();
    void ToggleStrikeOut();
    void ToggleUnderline();
    void ChooseSelectionColour();
    void ChooseSelectionFace();
    void ChooseSelectionSize();
    void ChooseSelectionFont();
    void ApplyLastColour();
    void ApplyLastFont();

    void SelectAll();
    POINT GetScrollPosition() const;  // x horizontal, y vertical
    void SetScrollPosition(int horizontal, int vertical);
    std::wstring GetSelectedFirstLine() const;
    // A read-only editor (the placeholder of a locked page) takes no paste and no command's changes.
    bool IsReadOnly() const;

    int pixelsPerInch() const { return pixelsPerInch_; }

    // The clipboard steps run on cut, copy and paste: copy as text and paste as
    // text (editor/Clipboard.h) unless replaced.
    void setClipboardSteps(ClipboardStep copyAsText, ClipboardStep paste);
    // Sends a message straight to the control's own procedure, past the subclass.
    LRESULT callOriginal(UINT msg, WPARAM wParam, LPARAM lParam);
    WNDPROC originalProc() const { return previousProc_; }

    // The custom colours of the colour chooser (FontColor00..15, most recent
    // first) live with the settings; until told where, the editor keeps its own.
    void setCustomColours(colourlist::Colours* colours) { customColours_ = colours ? colours : &ownColours_; }
    colourlist::Colours& customColours() { return *customColours_; }

    // Options of the book (data-file header) and state of the page display.
    bool locked = false;  // showing a secure page that was not unlocked
    bool noWrap = false;
    bool urlDetection = false;
    bool copyAsText = false;
    bool pasteAsText = false;
    COLORREF lastColour = 0;
    CHARFORMATW lastFont{};  // all zero until the font dialog is used

private:
    static LRESULT CALLBACK subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT onInput(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT onArrowKey(WPARAM key, LPARAM lParam);
    LRESULT onCtrlChar(WPARAM wParam, LPARAM lParam);
    LRESULT onCopyOrCut(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT onPaste(WPARAM wParam, LPARAM lParam);
    LRESULT onImeChar(WPARAM wParam, LPARAM lParam);
    LRESULT onImeComposition(WPARAM wParam, LPARAM lParam);
    // The text limit holds for typing and pasting too: room for this many more
    // characters in place of the selection.
    bool roomFor(std::size_t characters) const;
    // A paste that does not fit is refused whole, with a message.
    bool pasteFits();
    bool arrowKeyStaysPut(WPARAM key) const;
    CHARFORMATW selectionFormat() const;
    void applyToSelection(CHARFORMATW& format);
    void toggleEffect(DWORD effect);

    HMODULE library_ = nullptr;
    HWND window_ = nullptr;
    int pixelsPerInch_ = 96;
    COLORREF backColour_ = 0;
    bool hasBackColour_ = false;
    WNDPROC previousProc_ = nullptr;
    ClipboardStep copyAsTextStep_ = nullptr;
    ClipboardStep pasteStep_ = nullptr;
    colourlist::Colours ownColours_{};
    colourlist::Colours* customColours_ = &ownColours_;
};
