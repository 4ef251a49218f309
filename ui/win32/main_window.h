#pragma once

// The main window "Ravelin" as a native window: the directories, the status line and the buttons.
// Its events go to the flow through the callback; the close box only asks. Importing icon packs sits in
// its context menu and on Ctrl+I and Ctrl+Shift+I, outside the fixed layout; files and folders dropped
// onto it are imported too. The context menu's Language menu says which language is chosen and asks for
// another.

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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

// The context menu's commands, numbered apart from the controls: the Language menu's entries are
// FirstLanguage ("System language") and those after it, one per language of the view.
enum class MainCommand : int { ImportFiles = 100, ImportFolder, FirstLanguage = 200 };

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
    using EventSink = std::function<void(WindowEvent)>;
    // The sources chosen for the import asked for; empty when the choice was cancelled.
    using SourceChooser = std::function<std::vector<std::string>(import_action::Choice)>;

    // The window hidden with all its controls, or nothing when it cannot be created.
    static std::unique_ptr<Win32MainWindow> create(EventSink sink, SourceChooser chooseSources);

    // Called when Windows ends the session (logging off, shutting down), before the process is ended.
    void setSessionEndHandler(std::function<void()> handler) { sessionEnd_ = std::move(handler); }

    void refresh(const MainWindowView& view);
    void show();
    // Ctrl+I and Ctrl+Shift+I anywhere in the window ask for the sources to import; false for every other
    // message.
    bool takeKey(const MSG& message) const;

    // The context menu as a right click shows it; the caller destroys it.
    HMENU createContextMenu() const;

    HWND control(MainControl id) const { return GetDlgItem(handle_, static_cast<int>(id)); }
    const std::wstring& statusText(std::size_t part) const { return statusTexts_[part]; }

private:
    Win32MainWindow(EventSink sink, SourceChooser chooseSources)
        : sink_(std::move(sink)), chooseSources_(std::move(chooseSources)) {}
    void createControls();
    void layOut(UINT dpi) override;  // with the status line's parts
    std::optional<LRESULT> handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void drawStatusPart(const DRAWITEMSTRUCT& item) const;
    void showContextMenu(LPARAM place) const;
    void askForImport(import_action::Choice choice) const;

    EventSink sink_;
    SourceChooser chooseSources_;
    std::function<void()> sessionEnd_;
    std::array<std::wstring, main_window::kStatusFieldCount> statusTexts_;
    std::vector<LanguageChoice> languages_;  // the Language menu's, after "System language"
    std::string language_;                   // the checked one's code; empty for "System language"
};
