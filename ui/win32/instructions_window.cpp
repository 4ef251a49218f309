#include "ui/win32/instructions_window.h"

#include <richedit.h>

#include "ui/win32/wide_text.h"

namespace {

using namespace instructions_window;

constexpr wchar_t kWindowClass[] = L"RavelinInstructionsWindow";

// The rich-text field of the system's rich edit library; a plain multi-line field where it is missing.
const wchar_t* textFieldClass() {
    static const bool richEdit = LoadLibraryW(L"msftedit.dll") != nullptr;
    return richEdit ? MSFTEDIT_CLASS : L"EDIT";
}

std::wstring shownText() {
    std::wstring text = wideText(instructionsText());
    if (!text.empty() && text.front() == 0xFEFF) text.erase(0, 1);  // the byte-order mark is not text
    return text;
}

}  // namespace

std::unique_ptr<Win32InstructionsWindow> Win32InstructionsWindow::create(HWND owner,
                                                                         std::function<void()> onClose) {
    if (!registerWindowClass(kWindowClass, windowProcedure<Win32InstructionsWindow>)) return nullptr;
    std::unique_ptr<Win32InstructionsWindow> window(new Win32InstructionsWindow(std::move(onClose)));
    const HWND handle = CreateWindowExW(
        WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT, kWindowClass, wideText(kTitle).c_str(), WS_POPUP | WS_CAPTION,
        0, 0, kClientWidth, kClientHeight, owner, nullptr, GetModuleHandleW(nullptr), window.get());
    if (!handle) return nullptr;
    const HWND field =
        createControl(handle, textFieldClass(), "",
                      WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_DISABLENOSCROLL,
                      kTextFieldId, WS_EX_CLIENTEDGE);
    SendMessageW(field, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);  // no length limit
    SendMessageW(field, EM_SETTARGETDEVICE, 0, 0);       // lines wrap at the field's width
    SetWindowTextW(field, shownText().c_str());
    createControl(handle, L"BUTTON", kCloseCaption, WS_TABSTOP | BS_PUSHBUTTON, kCloseButtonId);
    window->layOut(windowDpi(handle));
    centreWindow(handle, owner);
    ShowWindow(handle, SW_SHOW);
    SetForegroundWindow(handle);
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, 0);  // the top of the text, nothing selected
    SendMessageW(field, EM_SCROLLCARET, 0, 0);
    return window;
}

void Win32InstructionsWindow::layOut(UINT dpi) {
    setClientSize(handle_, kClientWidth, kClientHeight, dpi);
    placeControl(textField(), kTextPlace, dpi);
    placeControl(closeButton(), kClosePlace, dpi);
    useFont(captionFont(dpi, {}));
}

LRESULT Win32InstructionsWindow::handleMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            handle_ = handle;
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == kCloseButtonId && HIWORD(wParam) == BN_CLICKED && lParam) {
                onClose_();
                return 0;
            }
            break;
        case WM_CLOSE:
            return 0;  // only its "Close" button closes it
        case WM_DPICHANGED:
            moveToSuggestedPlace(handle, lParam);
            layOut(HIWORD(wParam));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(handle, message, wParam, lParam);
}
