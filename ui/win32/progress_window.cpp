#include "ui/win32/progress_window.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/win32/wide_text.h"

namespace {

using namespace progress_window;

constexpr wchar_t kWindowClass[] = L"RavelinProgressWindow";
// Room on the title bar besides the title: its margins. The window has neither icon nor buttons.
constexpr int kTitleBarAllowance = 16;

ControlPlace widened(ControlPlace place, int widening) {
    place.width += widening;
    return place;
}

}  // namespace

std::unique_ptr<Win32ProgressWindow> Win32ProgressWindow::create(const std::string& title, HWND owner) {
    std::unique_ptr<Win32ProgressWindow> window(new Win32ProgressWindow);
    // A caption without system menu has no close box; disabled, it takes no input.
    if (!window->createWindow(kWindowClass, title, WS_POPUP | WS_CAPTION | WS_DISABLED, WS_EX_TOOLWINDOW,
                              owner))
        return nullptr;
    window->title_ = title;
    const HWND handle = window->handle();
    createControl(handle, L"STATIC", "", SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, kTextLineId);
    const HWND bar = createControl(handle, PROGRESS_CLASSW, "", PBS_SMOOTH, kBarId);
    SendMessageW(bar, PBM_SETRANGE32, 0, 100);
    window->layOut(windowDpi(handle));
    centreWindow(handle, owner ? owner : GetActiveWindow());
    ShowWindow(handle, SW_SHOWNOACTIVATE);
    window->repaint();
    return window;
}

void Win32ProgressWindow::layOut(UINT dpi) {
    // As wide as the fixed layout, or wider where the title bar would cut the title (a longer language's).
    const int titleWidth =
        MulDiv(toolTitleWidth(dpi, title_), kLayoutDpi, static_cast<int>(dpi)) + kTitleBarAllowance;
    const int widening = std::max(0, titleWidth - kClientWidth);
    placeControls(dpi, kClientWidth + widening, kClientHeight,
                  {{textLine(), widened(kTextPlace, widening)}, {bar(), widened(kBarPlace, widening)}});
    useFont(captionFont(dpi, {}));
}

void Win32ProgressWindow::setText(const std::string& text) {
    pendingText_ = text;
}

void Win32ProgressWindow::setValue(int value) {
    pendingValue_ = std::clamp(value, 0, 100);
}

void Win32ProgressWindow::repaint() {
    // Each change of a control's text or position is a round trip to the window system (under Wine, to
    // its server), so only what changed since the last repaint is set.
    if (pendingText_ && *pendingText_ != shownText_) {
        SetWindowTextW(textLine(), wideText(*pendingText_).c_str());
        shownText_ = *pendingText_;
    }
    if (pendingValue_ && *pendingValue_ != shownValue_) {
        const int value = shownValue_ = *pendingValue_;
        // A themed bar glides towards a higher value; stepping past it and back shows the value at once.
        if (value < 100) SendMessageW(bar(), PBM_SETPOS, static_cast<WPARAM>(value + 1), 0);
        SendMessageW(bar(), PBM_SETPOS, static_cast<WPARAM>(value), 0);
    }
    pendingText_.reset();
    pendingValue_.reset();
    RedrawWindow(handle_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

std::optional<LRESULT> Win32ProgressWindow::handleMessage(UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) return 0;  // it goes when its step ends
    return std::nullopt;
}
