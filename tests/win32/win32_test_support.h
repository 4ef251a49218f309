#pragma once

// What the Win32 windows' tests share: a Win32Ui whose dialogs a script answers, the views it is fed, and
// ways of looking at its windows and acting on them as a user does.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "image/png_codec.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/win32_ui.h"

// Answers the dialogs and notes what each one was asked and which windows took input meanwhile.
class ScriptedDialogs : public Win32Dialogs {
public:
    struct Call {
        HWND owner;
        std::string title;
        std::string text;  // the message, or the folder picker's start
        std::vector<HWND> enabledWindows;
    };

    MessageAnswer showMessage(HWND owner, const std::string& title, const std::string& text,
                              MessageKind) override {
        calls.push_back({owner, title, text, enabledWindows()});
        return answer;
    }
    std::string chooseFolder(HWND owner, const std::string& title,
                             const std::string& initialDirectory) override {
        calls.push_back({owner, title, initialDirectory, enabledWindows()});
        return folder;
    }
    SummaryBoxButton showSummary(HWND owner, const BuildSummaryView& view) override {
        calls.push_back({owner, view.warning ? "summary with errors" : "summary",
                         view.headline + "\n" + view.text + "\n" + view.details, enabledWindows()});
        return summaryButton;
    }
    std::vector<std::string> chooseImportFiles(HWND owner) override {
        calls.push_back({owner, "import files", "", enabledWindows()});
        return importFiles;
    }
    void openFolder(const std::string& openedFolder) override { openedFolders.push_back(openedFolder); }

    static std::vector<HWND> enabledWindows() {
        std::vector<HWND> windows;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM found) -> BOOL {
                if (IsWindowVisible(window) && IsWindowEnabled(window))
                    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&windows));
        return windows;
    }

    std::vector<Call> calls;
    MessageAnswer answer = MessageAnswer::Yes;
    std::string folder;
    std::vector<std::string> importFiles;
    SummaryBoxButton summaryButton = SummaryBoxButton::Ok;
    std::vector<std::string> openedFolders;
};

struct TestUi {
    TestUi() {
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs = scripted.get();
        ui = std::make_unique<Win32Ui>(std::move(scripted));
    }
    ScriptedDialogs* dialogs;
    std::unique_ptr<Win32Ui> ui;
};

inline MainWindowView filledView() {
    MainWindowView view;
    view.installDirectory =
        "C:\\Games\\World_of_Tanks\\with\\a\\rather\\long\\path\\that\\does\\not\\fit\\the\\field\\";
    view.gameVersion = "1.20.0.0";
    view.atlases = {{{"C:\\Users\\Modder\\Ravelin\\defaultBattleImages\\", 1523},
                     {"C:\\Users\\Modder\\Ravelin\\defaultMarkerImages\\", 612}}};
    view.newIconDirectory = "C:\\Users\\Modder\\Ravelin\\Wörld€\\newTankImages\\";
    view.newIcons = 7;
    return view;
}

inline std::string textOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return utf8Text(text);
}

inline SIZE clientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

// The control's rectangle in its parent's client area.
inline ControlPlace placeOf(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

inline void expectPlace(HWND control, const ControlPlace& expected) {
    const ControlPlace place = placeOf(control);
    EXPECT_EQ(place.x, expected.x) << GetDlgCtrlID(control);
    EXPECT_EQ(place.y, expected.y) << GetDlgCtrlID(control);
    EXPECT_EQ(place.width, expected.width) << GetDlgCtrlID(control);
    EXPECT_EQ(place.height, expected.height) << GetDlgCtrlID(control);
}

inline LONG_PTR styleOf(HWND window) {
    return GetWindowLongPtrW(window, GWL_STYLE);
}

inline LONG_PTR extendedStyleOf(HWND window) {
    return GetWindowLongPtrW(window, GWL_EXSTYLE);
}

inline int windowsOfClass(const wchar_t* className) {
    int count = 0;
    for (HWND window = FindWindowExW(nullptr, nullptr, className, nullptr); window;
         window = FindWindowExW(nullptr, window, className, nullptr))
        ++count;
    return count;
}

inline void click(HWND button) {
    SendMessageW(button, BM_CLICK, 0, 0);
}

// The close box, the system menu's Close and Alt+F4 all come as this.
inline void requestClose(HWND window) {
    SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

inline POINT centreOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Saves a picture of the window, frame included, when RAVELIN_SCREENSHOTS names a directory.
inline void saveScreenshot(HWND window, const char* name) {
    const char* directory = std::getenv("RAVELIN_SCREENSHOTS");
    if (!directory || !*directory) return;
    UpdateWindow(window);
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    std::optional<Image> image = createImage(width, height, 24);
    if (image) {
        const auto* source = static_cast<const std::uint8_t*>(bits);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* pixel = source + (static_cast<std::size_t>(y) * width + x) * 4;
                std::uint8_t* target = image->row(y) + x * 3;
                target[0] = pixel[2];
                target[1] = pixel[1];
                target[2] = pixel[0];
            }
        }
        saveImagePng(*image, std::string(directory) + "\\" + name + ".png");
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// Lets the windows paint and settle.
inline void pumpMessages() {
    MSG message;
    for (int round = 0; round < 5; ++round) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(20);
    }
}

// An atlas of many icons whose pictures are PNG files in the working directory.
inline IconOverviewView overviewOf(int icons) {
    CreateDirectoryW(L"overview", nullptr);
    CreateDirectoryW(L"overview\\mine", nullptr);
    const auto png = [](const std::string& path, int width, int height) {
        std::optional<Image> image = createImage(width, height, 32);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width * 4; ++x) image->row(y)[x] = x % 4 == 3 ? 255 : 90;
        }
        saveImagePng(*image, path);
        return path;
    };
    IconOverviewView view;
    OverviewAtlas& battle = view.atlases.emplace_back();
    battle.title = "battleAtlas";
    const std::string grey = png("overview\\grey.png", 60, 30);
    for (int i = 0; i < icons; ++i)
        battle.icons.push_back(
            {"germany-T" + std::to_string(1000 + i), OverviewMark::Default, false, grey, {}});
    battle.icons[0].mark = OverviewMark::Replaced;
    battle.icons[0].replacementPath = png("overview\\mine\\germany-T1000.png", 60, 30);
    battle.icons[1].mark = OverviewMark::OtherSize;
    battle.icons[1].replacementPath = png("overview\\mine\\germany-T1001.png", 70, 30);
    battle.icons[2].isNew = true;
    battle.icons[4].name = "germany-G03_PzV_Panther_IGR_with_a_long_name";
    view.atlases.push_back({"vehicleMarkerAtlas", {{"marker", OverviewMark::Default, false, grey, {}}}});
    view.unmatched = {{"germany-D55_Tigre.png", "germany-D55_Tiger"}};
    return view;
}

// What a test does with the installation chooser once the chooser's own loop runs: set it, then start
// actOnChooserOnceItRuns as a timer before asking.
inline std::function<void(Win32InstallationChooser&)> actOnChooser;
inline void CALLBACK actOnChooserOnceItRuns(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const HWND chooser = FindWindowW(L"RavelinInstallationChooser", nullptr);
    ASSERT_NE(chooser, nullptr);
    actOnChooser(*reinterpret_cast<Win32InstallationChooser*>(GetWindowLongPtrW(chooser, GWLP_USERDATA)));
}
