#pragma once

// The main window "Ravelin" as a native window: the directories, the status line and the buttons.
// Its events go to the flow through the callback; the close box only asks.

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "ui/win32/window_support.h"

// The program's control numbers, which are also the controls' identifiers: the install directory's row,
// a caption and a field for each further row, then the rest. Controls are created in the layout's order.
enum class MainControl : int {
    InstallDirectoryCaption = 1,
    InstallDirectoryField = 2,
    ChooseGameDirectory = 3,
    ChooseNewIconsDirectory = 2 * main_window::kRowCount + 2,
    SaveInGameDirectory,
    CreateAtlases,
    Instructions,
    IconOverview,
    StatusLine = 20,
};
static_assert(static_cast<int>(MainControl::IconOverview) < static_cast<int>(MainControl::StatusLine));

// A row's caption and field: the install directory's are 1 and 2, row 1's 4 and 5, and so on.
constexpr MainControl directoryCaption(int row) {
    return static_cast<MainControl>(row == 0 ? 1 : 2 + 2 * row);
}
constexpr MainControl directoryField(int row) {
    return static_cast<MainControl>(row == 0 ? 2 : 3 + 2 * row);
}
// The control the layout places there.
MainControl mainControlOf(const main_window::PlacedControl& placed);

class Win32MainWindow : public NativeWindow {
public:
    using EventSink = std::function<void(UiEvent)>;

    // The window hidden with all its controls, or nothing when it cannot be created.
    static std::unique_ptr<Win32MainWindow> create(EventSink sink);

    // Called when Windows ends the session (logging off, shutting down), before the process is ended.
    void setSessionEndHandler(std::function<void()> handler) { sessionEnd_ = std::move(handler); }

    void refresh(const MainWindowView& view);
    void show();

    HWND control(MainControl id) const { return GetDlgItem(handle_, static_cast<int>(id)); }
    const std::wstring& statusText(std::size_t part) const { return statusTexts_[part]; }

private:
    explicit Win32MainWindow(EventSink sink) : sink_(std::move(sink)) {}
    void createControls();
    void layOut(UINT dpi) override;  // with the status line's parts
    std::optional<LRESULT> handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void drawStatusPart(const DRAWITEMSTRUCT& item) const;

    EventSink sink_;
    std::function<void()> sessionEnd_;
    std::array<std::wstring, main_window::kStatusFieldCount> statusTexts_;
};
