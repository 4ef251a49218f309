#include "ui/win32/instructions_window.h"

#include <richedit.h>

#include "platform/localized_text.h"
#include "ui/win32/wide_text.h"

namespace {

using namespace instructions_window;

constexpr wchar_t kWindowClass[] = L"RavelinInstructionsWindow";

// The rich-text field of the system's rich edit library (from the system folder only, never a file of that
// name beside the program); a plain multi-line field where it is missing.
const wchar_t* textFieldClass() {
    static const bool richEdit =
        LoadLibraryExW(L"msftedit.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32) != nullptr;
    return richEdit ? MSFTEDIT_CLASS : L"EDIT";
}

// The height the work area of the window's monitor leaves for its inside, in 96-dpi pixels.
int availableClientHeight(HWND window, UINT dpi) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    const HWND owner = GetWindow(window, GW_OWNER);
    if (!GetMonitorInfoW(MonitorFromWindow(owner ? owner : window, MONITOR_DEFAULTTONEAREST), &monitor))
        return kClientHeight;
    RECT frame{};
    RECT client{};
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    const int frameHeight = (frame.bottom - frame.top) - client.bottom;
    return MulDiv(monitor.rcWork.bottom - monitor.rcWork.top - frameHeight, 96, static_cast<int>(dpi));
}

}  // namespace

std::unique_ptr<Win32InstructionsWindow> Win32InstructionsWindow::create(HWND owner,
                                                                         std::function<void()> onClose) {
    std::unique_ptr<Win32InstructionsWindow> window(new Win32InstructionsWindow(std::move(onClose)));
    // A caption without system menu has no close box.
    if (!window->createWindow(kWindowClass, localized(kTitle), WS_POPUP | WS_CAPTION,
                              WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT, owner))
        return nullptr;
    const HWND handle = window->handle();
    const HWND field =
        createControl(handle, textFieldClass(), "",
                      WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_DISABLENOSCROLL,
                      kTextFieldId, WS_EX_CLIENTEDGE);
    SendMessageW(field, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);  // no length limit
    SendMessageW(field, EM_SETTARGETDEVICE, 0, 0);       // lines wrap at the field's width
    SetWindowTextW(field, wideText(shownInstructionsText()).c_str());
    createControl(handle, L"BUTTON", localized(kCloseCaption), WS_TABSTOP | BS_PUSHBUTTON, kCloseButtonId);
    window->layOut(windowDpi(handle));
    showInFront(handle, owner, field);
    SendMessageW(field, EM_SETSEL, 0, 0);  // the top of the text, nothing selected
    SendMessageW(field, EM_SCROLLCARET, 0, 0);
    return window;
}

void Win32InstructionsWindow::layOut(UINT dpi) {
    layOutWithin(dpi, availableClientHeight(handle_, dpi));
}

void Win32InstructionsWindow::layOutWithin(UINT dpi, int availableHeight) {
    const int height = clientHeightFor(availableHeight);
    placeControls(dpi, kClientWidth, height,
                  {{textField(), textPlace(height)}, {closeButton(), closePlace(height)}});
    useFont(captionFont(dpi, {}));
}

void Win32InstructionsWindow::fitHeight(int availableHeight) {
    layOutWithin(windowDpi(handle_), availableHeight);
}

bool Win32InstructionsWindow::takeKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || (message.hwnd != handle_ && !IsChild(handle_, message.hwnd)))
        return false;
    if (message.wParam == VK_ESCAPE || message.wParam == VK_RETURN) {
        onClose_();
        return true;
    }
    if (message.wParam == VK_TAB && message.hwnd == textField()) {
        SetFocus(GetNextDlgTabItem(handle_, textField(), GetKeyState(VK_SHIFT) < 0));
        return true;
    }
    return false;
}

std::optional<LRESULT> Win32InstructionsWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {  // Alt+F4: its only button is "Close", so it does the same
        onClose_();
        return 0;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == kCloseButtonId && HIWORD(wParam) == BN_CLICKED && lParam) {
        onClose_();
        return 0;
    }
    return std::nullopt;
}
