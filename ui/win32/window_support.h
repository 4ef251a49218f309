#pragma once

// What the program's Win32 windows share: scaling the fixed layout to the window's dots per inch,
// sizing a window by its client area, centring, creating controls and the font every control uses.

#include <windows.h>

#include <memory>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "ui/window_layout.h"

struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

UINT windowDpi(HWND window);
int scaled(int pixels, UINT dpi);
void placeControl(HWND control, const ControlPlace& place, UINT dpi);
// Gives the window the frame its style needs around a client area of the given size at 96 dpi.
void setClientSize(HWND window, int width, int height, UINT dpi);
// Centres the window over a visible other window, else over the work area of its monitor.
void centreWindow(HWND window, HWND over);

HWND createControl(HWND parent, const wchar_t* windowClass, std::string_view caption, DWORD style, int id,
                   DWORD extendedStyle = 0);
void setFont(HWND window, HFONT font);  // on the window and every child

// The system's message font at the window's dpi, made smaller a pixel at a time (not below 7.5 points)
// until every caption fits the width it is given.
UniqueFont captionFont(UINT dpi, const std::vector<std::pair<std::string_view, int>>& captionsAndWidths);
int captionWidth(HFONT font, std::string_view caption);

// Registers a window class whose instances keep their C++ object in the user data, set from the
// creation parameter; each message goes to Window::handleMessage.
template <typename Window>
LRESULT CALLBACK windowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        window = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    if (!window) return DefWindowProcW(handle, message, wParam, lParam);
    return window->handleMessage(handle, message, wParam, lParam);
}

bool registerWindowClass(const wchar_t* name, WNDPROC procedure);

// A native window owned by a C++ object: destroying the object takes the window down. The window's
// font lives as long as the window uses it.
class NativeWindow {
public:
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    HWND handle() const { return handle_; }
    HFONT font() const { return font_.get(); }

protected:
    NativeWindow() = default;
    ~NativeWindow();

    // The font for the window and its controls; the old one goes only after no control uses it.
    void useFont(UniqueFont font);
    // Follows a move to a monitor of other dpi to the place Windows suggests (WM_DPICHANGED).
    static void moveToSuggestedPlace(HWND handle, LPARAM suggested);

    HWND handle_ = nullptr;

private:
    UniqueFont font_;
};
