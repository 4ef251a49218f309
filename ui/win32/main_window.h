#pragma once

// The main window "Ravelin" as a native window: the four directories, the status line and the buttons.
// Its events go to the flow through the callback; the close box only asks.

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "ui/win32/window_support.h"

// The program's control numbers, which are also the controls' identifiers.
enum class MainControl : int {
    InstallDirectoryCaption = 1,
    InstallDirectoryField = 2,
    ChooseGameDirectory = 3,
    BattleIconDirectoryCaption = 4,
    BattleIconDirectoryField = 5,
    MarkerIconDirectoryCaption = 6,
    MarkerIconDirectoryField = 7,
    NewIconDirectoryCaption = 8,
    NewIconDirectoryField = 9,
    ChooseNewIconsDirectory = 10,
    SaveInGameDirectory = 11,
    CreateAtlases = 12,
    Instructions = 13,
    IconOverview = 14,
    StatusLine = 20,
};

class Win32MainWindow : public NativeWindow {
public:
    using EventSink = std::function<void(UiEvent)>;

    // The window hidden with all its controls, or nothing when it cannot be created.
    static std::unique_ptr<Win32MainWindow> create(EventSink sink);

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
    std::array<std::wstring, 4> statusTexts_;
};
