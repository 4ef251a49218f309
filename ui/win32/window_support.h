#pragma once

// What the program's Win32 windows share: scaling the fixed layout to the window's dots per inch,
// sizing a window by its client area, centring, creating controls and the font every control uses.

#include <windows.h>

#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
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
// Centres the window over a visible other window, else over the work area of its monitor.
void centreWindow(HWND window, HWND over);
// A new dialog-like window: centred over its owner, shown in front, the keyboard on the control given.
void showInFront(HWND window, HWND owner, HWND focus);

HWND createControl(HWND parent, const wchar_t* windowClass, std::string_view caption, DWORD style, int id,
                   DWORD extendedStyle = 0);

// The system's message font at the window's dpi, made smaller a pixel at a time (not below 7.5 points)
// until every caption fits the width it is given.
UniqueFont captionFont(UINT dpi, const std::vector<std::pair<std::string_view, int>>& captionsAndWidths);
int captionWidth(HFONT font, std::string_view caption);
// The width of the title in the font of a tool window's title bar at the dpi.
int toolTitleWidth(UINT dpi, std::string_view title);

// The dpi of the layout's pixels.
inline constexpr int kLayoutDpi = 96;

// A native window owned by a C++ object: destroying the object takes the window down. Its messages
// reach handleMessage; a move to a monitor of other dpi lays it out again. The window's font lives as
// long as the window uses it.
class NativeWindow {
public:
    virtual ~NativeWindow();
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    HWND handle() const { return handle_; }
    HFONT font() const { return font_.get(); }

protected:
    NativeWindow() = default;

    // Creates the window, of a class registered on first use; false when it cannot be created.
    bool createWindow(const wchar_t* className, std::string_view title, DWORD style, DWORD extendedStyle,
                      HWND owner);
    // Size, control places and font for the dpi.
    virtual void layOut(UINT dpi) = 0;
    // The result of a message the window handles itself; nothing leaves the message to Windows.
    virtual std::optional<LRESULT> handleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // The client size and the controls' places of the fixed layout, scaled to the dpi.
    void placeControls(UINT dpi, int clientWidth, int clientHeight,
                       std::span<const std::pair<HWND, ControlPlace>> places);
    void placeControls(UINT dpi, int clientWidth, int clientHeight,
                       std::initializer_list<std::pair<HWND, ControlPlace>> places) {
        placeControls(dpi, clientWidth, clientHeight, std::span(places.begin(), places.size()));
    }
    // The controls' places alone, scaled to the dpi; the window keeps its size.
    void moveControls(UINT dpi, std::span<const std::pair<HWND, ControlPlace>> places);
    // The font for the window and its controls; the old one goes only after no control uses it.
    void useFont(UniqueFont font);

    HWND handle_ = nullptr;

private:
    static LRESULT CALLBACK procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

    UniqueFont font_;
};
