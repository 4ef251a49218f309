#include "ui/win32/window_support.h"

#include <algorithm>

#include "ui/win32/wide_text.h"

namespace {

constexpr UINT kDefaultDpi = 96;

// Functions of newer Windows versions, looked up so that the program still starts without them.
template <typename Function>
Function user32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                  : nullptr;
}

// The dpi of the screen as a whole, for Windows without per-window dpi.
UINT screenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

NONCLIENTMETRICSW systemMetrics(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    using ForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    if (const auto forDpi = user32Function<ForDpi>("SystemParametersInfoForDpi")) {
        if (forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) return metrics;
    }
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight =
        MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(screenDpi()));
    return metrics;
}

void placeControl(HWND control, const ControlPlace& place, UINT dpi) {
    SetWindowPos(control, nullptr, scaled(place.x, dpi), scaled(place.y, dpi), scaled(place.width, dpi),
                 scaled(place.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
}

void setClientSize(HWND window, int width, int height, UINT dpi) {
    // The frame the window has now, whatever its style and dpi, around the client area it should have.
    RECT frame{};
    RECT client{};
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    const int frameWidth = (frame.right - frame.left) - client.right;
    const int frameHeight = (frame.bottom - frame.top) - client.bottom;
    SetWindowPos(window, nullptr, 0, 0, scaled(width, dpi) + frameWidth, scaled(height, dpi) + frameHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void setFont(HWND window, HFONT font) {
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EnumChildWindows(
        window,
        [](HWND child, LPARAM font) -> BOOL {
            SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(font));
}

}  // namespace

UINT windowDpi(HWND window) {
    using ForWindow = UINT(WINAPI*)(HWND);
    if (const auto forWindow = user32Function<ForWindow>("GetDpiForWindow")) {
        if (const UINT dpi = forWindow(window)) return dpi;
    }
    return screenDpi();
}

int scaled(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(kDefaultDpi));
}

void centreWindow(HWND window, HWND over) {
    RECT area{};
    if (over && IsWindowVisible(over)) {
        GetWindowRect(over, &area);
    } else {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (!GetMonitorInfoW(MonitorFromWindow(over ? over : window, MONITOR_DEFAULTTOPRIMARY), &monitor))
            return;
        area = monitor.rcWork;
    }
    RECT own{};
    GetWindowRect(window, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    int left = (area.left + area.right - width) / 2;
    int top = (area.top + area.bottom - height) / 2;
    // Never off the top or left of the work area, where its title bar could not be reached.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(over ? over : window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        top = std::max<int>(monitor.rcWork.top, std::min<int>(top, monitor.rcWork.bottom - height));
        left = std::max<int>(monitor.rcWork.left, left);
    }
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void showInFront(HWND window, HWND owner, HWND focus) {
    centreWindow(window, owner);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(focus);
}

HWND createControl(HWND parent, const wchar_t* windowClass, std::string_view caption, DWORD style, int id,
                   DWORD extendedStyle) {
    return CreateWindowExW(
        extendedStyle, windowClass, wideText(caption).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

int captionWidth(HFONT font, std::string_view caption) {
    HDC context = CreateCompatibleDC(nullptr);
    if (!context) return 0;
    const HGDIOBJ previous = SelectObject(context, font);
    const std::wstring text = wideText(caption);
    SIZE size{};
    GetTextExtentPoint32W(context, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(context, previous);
    DeleteDC(context);
    return size.cx;
}

int toolTitleWidth(UINT dpi, std::string_view title) {
    LOGFONTW description = systemMetrics(dpi).lfSmCaptionFont;
    const UniqueFont font(CreateFontIndirectW(&description));
    return font ? captionWidth(font.get(), title) : 0;
}

UniqueFont captionFont(UINT dpi, const std::vector<std::pair<std::string_view, int>>& captionsAndWidths) {
    LOGFONTW description = systemMetrics(dpi).lfMessageFont;
    const LONG smallest = -MulDiv(75, static_cast<int>(dpi), 720);  // 7.5 points
    for (;;) {
        UniqueFont font(CreateFontIndirectW(&description));
        if (!font) return font;
        bool allFit = true;
        for (const auto& [caption, width] : captionsAndWidths)
            allFit = allFit && captionWidth(font.get(), caption) <= scaled(width, dpi);
        if (allFit || description.lfHeight >= smallest) return font;
        ++description.lfHeight;  // heights are negative: one pixel smaller
    }
}

namespace {

bool registerWindowClass(const wchar_t* name, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &windowClass)) return true;
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    // The program's icon, when the executable carries one.
    windowClass.hIcon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                                      IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                                        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    return RegisterClassExW(&windowClass) != 0;
}

}  // namespace

NativeWindow::~NativeWindow() {
    if (handle_) {
        SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
    }
}

void NativeWindow::useFont(UniqueFont font) {
    if (!font) return;
    setFont(handle_, font.get());
    font_ = std::move(font);
}

bool NativeWindow::createWindow(const wchar_t* className, std::string_view title, DWORD style,
                                DWORD extendedStyle, HWND owner) {
    if (!registerWindowClass(className, procedure)) return false;
    // Any size larger than the frame: the layout gives the real one, measuring the frame against it.
    return CreateWindowExW(extendedStyle, className, wideText(title).c_str(), style, 0, 0, 300, 300, owner,
                           nullptr, GetModuleHandleW(nullptr), this) != nullptr;
}

void NativeWindow::placeControls(UINT dpi, int clientWidth, int clientHeight,
                                 std::span<const std::pair<HWND, ControlPlace>> places) {
    setClientSize(handle_, clientWidth, clientHeight, dpi);
    moveControls(dpi, places);
}

void NativeWindow::moveControls(UINT dpi, std::span<const std::pair<HWND, ControlPlace>> places) {
    for (const auto& [control, place] : places) placeControl(control, place, dpi);
}

LRESULT CALLBACK NativeWindow::procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* window = reinterpret_cast<NativeWindow*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        window = static_cast<NativeWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->handle_ = handle;
        SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    if (!window) return DefWindowProcW(handle, message, wParam, lParam);
    if (message == WM_DPICHANGED) {
        // To the place Windows suggests on the new monitor, then laid out for its dpi.
        const RECT* place = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(handle, nullptr, place->left, place->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        window->layOut(HIWORD(wParam));
        return 0;
    }
    if (const std::optional<LRESULT> result = window->handleMessage(message, wParam, lParam)) return *result;
    return DefWindowProcW(handle, message, wParam, lParam);
}
