// The language in the native windows: the main window's Language menu, and the windows made anew in
// another language where they were.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "platform/localized_text.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/win32_ui.h"

namespace {

std::wstring menuText(HMENU menu, int position) {
    wchar_t text[128]{};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return text;
}

std::wstring windowText(HWND window) {
    wchar_t text[256]{};
    GetWindowTextW(window, text, 256);
    return text;
}

POINT topLeftOf(HWND window) {
    RECT place{};
    GetWindowRect(window, &place);
    return {place.left, place.top};
}

void moveTo(HWND window, int x, int y) {
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

TEST(Win32Language, TheMenuChecksTheChoiceAndDeliversTheOneChosen) {
    Win32Ui ui;
    ui.openMainWindow();
    MainWindowView view;
    view.languages = choosableLanguages();
    for (const std::string& language : {std::string("de"), std::string()}) {
        SCOPED_TRACE(language);
        view.language = language;
        ui.refreshMainWindow(view);
        const HMENU menu = ui.mainWindow()->createContextMenu();
        ASSERT_NE(menu, nullptr);
        const int last = GetMenuItemCount(menu) - 1;
        EXPECT_EQ(menuText(menu, last), L"Language");
        const HMENU languages = GetSubMenu(menu, last);
        std::vector<std::wstring> names;
        std::vector<std::wstring> checked;
        for (int i = 0; i < GetMenuItemCount(languages); ++i) {
            const UINT state = GetMenuState(languages, static_cast<UINT>(i), MF_BYPOSITION);
            if (state & MF_SEPARATOR) continue;
            names.push_back(menuText(languages, i));
            if (state & MF_CHECKED) checked.push_back(names.back());
        }
        DestroyMenu(menu);
        EXPECT_EQ(names, (std::vector<std::wstring>{L"System language", L"English", L"Deutsch", L"Polski",
                                                    L"\u0420\u0443\u0441\u0441\u043a\u0438\u0439"}));
        EXPECT_EQ(checked, std::vector<std::wstring>{language.empty() ? L"System language" : L"Deutsch"});
    }
    // The entries as the menu sends them: "Polski", then "System language".
    const HWND window = ui.mainWindow()->handle();
    SendMessageW(window, WM_COMMAND, static_cast<WPARAM>(MainCommand::FirstLanguage) + 3, 0);
    SendMessageW(window, WM_COMMAND, static_cast<WPARAM>(MainCommand::FirstLanguage), 0);
    EXPECT_EQ(ui.pendingEvents(),
              (std::deque<WindowEvent>{WindowEvent::languageChosen("pl"), WindowEvent::languageChosen("")}));
}

TEST(Win32Language, WindowsAreMadeAnewInTheLanguageWhereTheyWere) {
    Win32Ui ui;
    ui.openMainWindow();
    moveTo(ui.mainWindow()->handle(), 30, 40);
    ui.showMainWindow();
    ui.openInstructionsWindow();
    ui.showIconOverview({});
    moveTo(ui.iconOverviewWindow()->handle(), 70, 80);

    chooseLanguage({"de"});
    ui.remakeWindows();
    const HWND window = ui.mainWindow()->handle();
    EXPECT_EQ(windowText(ui.mainWindow()->control(MainControl::CreateAtlases)),
              wideText(localized("Create Atlases")));
    EXPECT_NE(localized("Create Atlases"), "Create Atlases");
    EXPECT_EQ(topLeftOf(window).x, 30);
    EXPECT_EQ(topLeftOf(window).y, 40);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_NE(ui.instructionsWindow(), nullptr);
    EXPECT_EQ(ui.iconOverviewWindow(), nullptr);  // the flow shows it afresh
    ui.showIconOverview({});
    EXPECT_EQ(topLeftOf(ui.iconOverviewWindow()->handle()).x, 70);
    EXPECT_EQ(topLeftOf(ui.iconOverviewWindow()->handle()).y, 80);
    chooseLanguage({"en"});
}
