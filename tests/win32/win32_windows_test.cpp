#include <gtest/gtest.h>

#include <richedit.h>
#include <shellapi.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "../support/main_window_layout_check.h"
#include "platform/localized_text.h"
#include "win32_test_support.h"

TEST(MainWindow, ControlsSitAtTheirPlacesInCreationAndTabOrder) {
    TestUi test;
    ASSERT_TRUE(test.ui->openMainWindow());
    const Win32MainWindow& window = *test.ui->mainWindow();
    const HWND handle = window.handle();
    EXPECT_FALSE(IsWindowVisible(handle));
    EXPECT_EQ(textOf(handle), "Ravelin");
    EXPECT_EQ(clientSize(handle).cx, main_window::kClientWidth);
    EXPECT_EQ(clientSize(handle).cy, main_window::kClientHeight);
    EXPECT_TRUE(styleOf(handle) & WS_SYSMENU);  // a close box
    EXPECT_FALSE(styleOf(handle) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));

    using namespace main_window;
    std::vector<HWND> children;  // in the order of creation
    for (HWND child = GetWindow(handle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    expectControlsAtTheirLayoutPlaces([&](const PlacedControl& placed) {
        const HWND control = window.control(mainControlOf(placed));
        return SeenControl{
            placeOf(control),
            static_cast<int>(std::find(children.begin(), children.end(), control) - children.begin())};
    });
    for (int row = 0; row < kRowCount; ++row) {
        EXPECT_EQ(textOf(window.control(directoryCaption(row))),
                  kDirectoryCaptions[static_cast<std::size_t>(row)]);
        EXPECT_TRUE(styleOf(window.control(directoryField(row))) & ES_READONLY);
        EXPECT_TRUE(extendedStyleOf(window.control(directoryField(row))) & WS_EX_CLIENTEDGE);  // sunken
    }
    EXPECT_EQ(textOf(window.control(MainControl::InstallDirectoryCaption)),
              "World of Tanks® install directory:");
    EXPECT_EQ(textOf(window.control(MainControl::ChooseGameDirectory)), ". . .");
    EXPECT_EQ(textOf(window.control(MainControl::Instructions)), "?");
    EXPECT_EQ(textOf(window.control(MainControl::CreateAtlases)), "Create Atlases");
    const ControlPlace status = placeOf(window.control(MainControl::StatusLine));
    EXPECT_EQ(status.y + status.height, kClientHeight);  // along the bottom edge, below the buttons
    EXPECT_GE(status.y, kCreateAtlasesPlace.y + kCreateAtlasesPlace.height + 2);

    EXPECT_EQ(textOf(window.control(MainControl::IconOverview)), "Icons\u2026");
    EXPECT_EQ(children.front(), window.control(MainControl::StatusLine));  // created first

    // Tab goes through the layout's order without the captions, and round again.
    test.ui->refreshMainWindow(filledView());
    std::vector<int> expectedTabOrder;
    for (const PlacedControl& placed : placedControls()) {
        if (placed.role != MainControlRole::DirectoryCaption)
            expectedTabOrder.push_back(static_cast<int>(mainControlOf(placed)));
    }
    expectedTabOrder.push_back(expectedTabOrder.front());
    std::vector<int> tabOrder;
    HWND control = window.control(MainControl::InstallDirectoryField);
    for (std::size_t i = 0; i < expectedTabOrder.size();
         ++i, control = GetNextDlgTabItem(handle, control, FALSE))
        tabOrder.push_back(GetDlgCtrlID(control));
    EXPECT_EQ(tabOrder, expectedTabOrder);
    EXPECT_EQ(GetNextDlgTabItem(handle, window.control(MainControl::InstallDirectoryField), TRUE),
              window.control(MainControl::CreateAtlases));  // Shift+Tab
}

TEST(MainWindow, RefreshFillsFieldsStatusLineAndCreateButton) {
    TestUi test;
    test.ui->openMainWindow();
    const Win32MainWindow& window = *test.ui->mainWindow();
    const HWND create = window.control(MainControl::CreateAtlases);
    const HWND saveBox = window.control(MainControl::SaveInGameDirectory);
    EXPECT_FALSE(IsWindowEnabled(create));
    EXPECT_FALSE(IsWindowEnabled(saveBox));
    EXPECT_EQ(SendMessageW(saveBox, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    for (std::size_t part = 0; part < 4; ++part) EXPECT_TRUE(window.statusText(part).empty());

    MainWindowView view;
    test.ui->refreshMainWindow(view);
    EXPECT_EQ(utf8Text(window.statusText(0)), "Game Version: ");
    EXPECT_EQ(utf8Text(window.statusText(3)), "New icons found: 0");
    view = filledView();
    view.newIconDirectory.clear();
    test.ui->refreshMainWindow(view);
    EXPECT_FALSE(IsWindowEnabled(create));
    view = filledView();
    test.ui->refreshMainWindow(view);
    EXPECT_TRUE(IsWindowEnabled(create));
    EXPECT_TRUE(IsWindowEnabled(saveBox));  // a game directory is known
    EXPECT_EQ(SendMessageW(saveBox, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    view.saveInGameDirectory = true;
    test.ui->refreshMainWindow(view);
    EXPECT_EQ(SendMessageW(saveBox, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(test.ui->pendingEvents().empty());  // the refresh is not a click

    EXPECT_EQ(textOf(window.control(MainControl::InstallDirectoryField)), view.installDirectory);
    EXPECT_EQ(textOf(window.control(directoryField(main_window::kNewIconsRow))), view.newIconDirectory);
    EXPECT_EQ(utf8Text(window.statusText(0)), "Game Version: 1.20.0.0");
    EXPECT_EQ(utf8Text(window.statusText(1)), "Battle icons found: 1523");
    EXPECT_EQ(utf8Text(window.statusText(2)), "Marker icons found: 612");
    EXPECT_EQ(utf8Text(window.statusText(3)), "New icons found: 7");
    int rightEdges[4] = {};
    ASSERT_EQ(SendMessageW(window.control(MainControl::StatusLine), SB_GETPARTS, 4,
                           reinterpret_cast<LPARAM>(rightEdges)),
              4);
    EXPECT_EQ(rightEdges[0], 150);
    EXPECT_EQ(rightEdges[1], 300);
    EXPECT_EQ(rightEdges[2], 450);

    // Typing into a field changes nothing.
    const HWND field = window.control(MainControl::InstallDirectoryField);
    SendMessageW(field, WM_CHAR, L'x', 0);
    EXPECT_EQ(textOf(field), view.installDirectory);

    test.ui->showMainWindow();
    pumpMessages();
    saveScreenshot(window.handle(), "main-window");
}

// The fields' text sits in the middle of their boxes, in line with the labels, and Tab still leaves them.
TEST(MainWindow, FieldTextIsVerticallyCentredAndTabLeavesTheFields) {
    TestUi test;
    test.ui->openMainWindow();
    test.ui->refreshMainWindow(filledView());
    test.ui->showMainWindow();
    Win32MainWindow& window = *test.ui->mainWindow();
    for (const MainControl field :
         {MainControl::InstallDirectoryField, directoryField(main_window::kNewIconsRow)}) {
        RECT client{};
        RECT text{};
        GetClientRect(window.control(field), &client);
        SendMessageW(window.control(field), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
        EXPECT_LE(std::abs((text.top + text.bottom) - client.bottom), 1) << text.top << " " << text.bottom;
        EXPECT_GT(text.top, 0);
    }
    SetFocus(window.control(MainControl::InstallDirectoryField));
    PostMessageW(window.control(MainControl::InstallDirectoryField), WM_KEYDOWN, VK_TAB, 0);
    PostMessageW(window.handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(test.ui->waitEvent(), UiEvent::MainWindowCloseRequest);
    EXPECT_EQ(GetFocus(), window.control(MainControl::ChooseGameDirectory));
}

// In English and in every catalogue's language.
TEST(MainWindow, EveryCaptionFitsItsBoxAtALegibleSize) {
    std::vector<std::string> languages = catalogueLanguages();
    languages.insert(languages.begin(), "en");
    for (const std::string& language : languages) {
        SCOPED_TRACE(language);
        ASSERT_EQ(chooseLanguage({language}), language);
        TestUi test;
        test.ui->openMainWindow();
        const HFONT font = test.ui->mainWindow()->font();
        ASSERT_NE(font, nullptr);
        LOGFONTW description{};
        GetObjectW(font, sizeof description, &description);
        EXPECT_GE(-description.lfHeight * 72.0 / 96.0, 7.5 - 0.75);  // points, to the pixel
        for (const auto& [caption, width] : main_window::captionsAndWidths())
            EXPECT_LE(captionWidth(font, caption), width) << caption;
        if (language != "en") {
            test.ui->refreshMainWindow(filledView());
            test.ui->showMainWindow();
            pumpMessages();
            saveScreenshot(test.ui->mainWindow()->handle(), ("win32-main-window-" + language).c_str());
        }
    }
    chooseLanguage({"en"});
}

TEST(MainWindow, MovedToAMonitorOfOtherDpiItScalesItsLayoutAndFont) {
    TestUi test;
    test.ui->openMainWindow();
    const Win32MainWindow& window = *test.ui->mainWindow();
    LOGFONTW before{};
    GetObjectW(window.font(), sizeof before, &before);
    RECT suggested{100, 80, 1000, 500};
    SendMessageW(window.handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(clientSize(window.handle()).cx, 900);
    EXPECT_EQ(clientSize(window.handle()).cy, 375);
    RECT frame{};
    GetWindowRect(window.handle(), &frame);
    EXPECT_EQ(frame.left, 100);
    EXPECT_EQ(frame.top, 80);
    expectPlace(window.control(MainControl::InstallDirectoryField), {255, 11, 570, 36});
    expectPlace(window.control(MainControl::CreateAtlases), {660, 288, 225, 42});
    int rightEdges[4] = {};
    SendMessageW(window.control(MainControl::StatusLine), SB_GETPARTS, 4,
                 reinterpret_cast<LPARAM>(rightEdges));
    EXPECT_EQ(rightEdges[2], 675);
    LOGFONTW after{};
    GetObjectW(window.font(), sizeof after, &after);
    EXPECT_LT(after.lfHeight, before.lfHeight);  // taller: heights are negative
    for (const auto& [caption, width] : main_window::captionsAndWidths())
        EXPECT_LE(captionWidth(window.font(), caption), width * 3 / 2) << caption;
}

TEST(MainWindow, ButtonsAndCloseBoxDeliverTheirEvents) {
    TestUi test;
    test.ui->openMainWindow();
    test.ui->refreshMainWindow(filledView());
    test.ui->showMainWindow();
    const Win32MainWindow& window = *test.ui->mainWindow();
    click(window.control(MainControl::ChooseGameDirectory));
    click(window.control(MainControl::ChooseNewIconsDirectory));
    click(window.control(MainControl::Instructions));
    click(window.control(MainControl::CreateAtlases));
    click(window.control(MainControl::SaveInGameDirectory));
    click(window.control(MainControl::SaveInGameDirectory));
    MainWindowView noGame = filledView();
    noGame.installDirectory.clear();
    test.ui->refreshMainWindow(noGame);
    click(window.control(MainControl::SaveInGameDirectory));  // disabled without a game: nothing
    requestClose(window.handle());
    EXPECT_TRUE(IsWindow(window.handle()));  // the flow ends the program, not the window
    const std::vector<UiEvent> expected = {
        UiEvent::ChooseGameDirectory,        UiEvent::ChooseNewIconsDirectory,
        UiEvent::OpenInstructions,           UiEvent::CreateAtlases,
        UiEvent::SaveInGameDirectoryChecked, UiEvent::SaveInGameDirectoryUnchecked,
        UiEvent::MainWindowCloseRequest};
    for (const UiEvent event : expected) EXPECT_EQ(test.ui->waitEvent(), event);
    EXPECT_TRUE(test.ui->pendingEvents().empty());

    // A quit message ends the wait as the close box does.
    PostQuitMessage(0);
    EXPECT_EQ(test.ui->waitEvent(), UiEvent::MainWindowCloseRequest);
}

// Windows may end the process as soon as WM_ENDSESSION returns: the flow's exit runs inside it, then the
// process ends. A session that goes on asks nothing.
TEST(MainWindow, TheSessionsEndRunsTheExitBeforeTheProcessEnds) {
    TestUi test;
    test.ui->openMainWindow();
    std::vector<std::string> calls;
    test.ui->setEndRequestHandler([&] { calls.push_back("exit written"); });
    test.ui->endProcess = [&](int code) { calls.push_back("process ended " + std::to_string(code)); };
    const HWND window = test.ui->mainWindow()->handle();
    EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageW(window, WM_ENDSESSION, FALSE, 0);
    EXPECT_TRUE(calls.empty());
    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"exit written", "process ended 0"}));
}

TEST(ProgressWindow, ShowsTextAndClampedBarAndIsReplacedByTheNextOne) {
    TestUi test;
    test.ui->openMainWindow();
    test.ui->showMainWindow();
    test.ui->setProgressText("nothing open");  // does nothing
    test.ui->setProgressBar(50);
    test.ui->closeProgressWindow();
    test.ui->openProgressWindow("Unpacking Atlas files");
    Win32ProgressWindow* first = test.ui->progressWindow();
    ASSERT_NE(first, nullptr);
    const HWND handle = first->handle();
    EXPECT_EQ(clientSize(handle).cx, 300);
    EXPECT_EQ(clientSize(handle).cy, 90);
    EXPECT_EQ(textOf(handle), "Unpacking Atlas files");
    EXPECT_TRUE(extendedStyleOf(handle) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(styleOf(handle) & WS_SYSMENU);  // no close box
    EXPECT_FALSE(IsWindowEnabled(handle));       // takes no input
    EXPECT_EQ(GetWindow(handle, GW_OWNER), test.ui->mainWindow()->handle());
    expectPlace(first->textLine(), progress_window::kTextPlace);
    expectPlace(first->bar(), progress_window::kBarPlace);
    const POINT centre = centreOf(handle);
    const POINT mainCentre = centreOf(test.ui->mainWindow()->handle());
    EXPECT_LE(std::abs(centre.x - mainCentre.x) + std::abs(centre.y - mainCentre.y), 2);

    // An update is stored; the controls show it at the next repaint.
    test.ui->setProgressText(
        "Found file: gui/flash/atlases/vehicleMarkerAtlas.png among thousands of other files");
    first->repaint();
    EXPECT_EQ(textOf(first->textLine()),
              "Found file: gui/flash/atlases/vehicleMarkerAtlas.png among thousands of other files");
    test.ui->setProgressBar(150);
    first->repaint();
    EXPECT_EQ(SendMessageW(first->bar(), PBM_GETPOS, 0, 0), 100);
    test.ui->setProgressBar(-3);
    first->repaint();
    EXPECT_EQ(SendMessageW(first->bar(), PBM_GETPOS, 0, 0), 0);
    test.ui->setProgressBar(42);
    first->repaint();
    EXPECT_EQ(SendMessageW(first->bar(), PBM_GETPOS, 0, 0), 42);
    pumpMessages();
    saveScreenshot(handle, "progress-window");
    requestClose(handle);
    EXPECT_TRUE(IsWindowVisible(handle));
    EXPECT_TRUE(test.ui->pendingEvents().empty());

    // A title longer than the title bar widens the window; the text and the bar take the width.
    test.ui->openProgressWindow(
        "Extract original vehicleMarkerAtlas icons from the today's client, and those of every other atlas");
    const Win32ProgressWindow& wide = *test.ui->progressWindow();
    const int wideWidth = clientSize(wide.handle()).cx;
    EXPECT_GT(wideWidth, progress_window::kClientWidth);
    EXPECT_EQ(placeOf(wide.bar()).x + placeOf(wide.bar()).width, wideWidth - 10);
    EXPECT_EQ(placeOf(wide.textLine()).width, placeOf(wide.bar()).width);

    test.ui->openProgressWindow("Searching for new icons");
    ASSERT_NE(test.ui->progressWindow(), nullptr);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(windowsOfClass(L"RavelinProgressWindow"), 1);
    EXPECT_EQ(textOf(test.ui->progressWindow()->handle()), "Searching for new icons");
    EXPECT_EQ(textOf(test.ui->progressWindow()->textLine()), "");
    EXPECT_EQ(SendMessageW(test.ui->progressWindow()->bar(), PBM_GETPOS, 0, 0), 0);
    // Clicks and keys given while the step ran are dropped when it ends, not replayed.
    const HWND create = test.ui->mainWindow()->control(MainControl::CreateAtlases);
    PostMessageW(create, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageW(create, WM_LBUTTONUP, 0, 0);
    PostMessageW(create, WM_KEYDOWN, VK_SPACE, 0);
    test.ui->closeProgressWindow();
    MSG waiting;
    EXPECT_FALSE(PeekMessageW(&waiting, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE));
    EXPECT_FALSE(PeekMessageW(&waiting, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
    test.ui->closeProgressWindow();
    EXPECT_EQ(test.ui->progressWindow(), nullptr);
    EXPECT_EQ(windowsOfClass(L"RavelinProgressWindow"), 0);
}

TEST(InstructionsWindow, ShowsTheTextAndOpensFreshEachTime) {
    TestUi test;
    test.ui->openMainWindow();
    test.ui->showMainWindow();
    test.ui->openInstructionsWindow();
    const Win32InstructionsWindow* window = test.ui->instructionsWindow();
    ASSERT_NE(window, nullptr);
    const HWND handle = window->handle();
    EXPECT_EQ(textOf(handle), "Instructions");
    EXPECT_EQ(clientSize(handle).cx, 420);
    EXPECT_EQ(clientSize(handle).cy, 600);  // the virtual screen has room for it
    EXPECT_FALSE(styleOf(handle) & WS_SYSMENU);
    EXPECT_TRUE(extendedStyleOf(handle) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindow(handle, GW_OWNER), test.ui->mainWindow()->handle());
    expectPlace(window->textField(), instructions_window::kTextPlace);
    expectPlace(window->closeButton(), instructions_window::kClosePlace);
    EXPECT_EQ(textOf(window->closeButton()), "Close");
    wchar_t fieldClass[64] = {};
    GetClassNameW(window->textField(), fieldClass, 64);
    EXPECT_EQ(_wcsicmp(fieldClass, MSFTEDIT_CLASS), 0);  // the system's rich-text field
    const LONG_PTR fieldStyle = styleOf(window->textField());
    EXPECT_TRUE(fieldStyle & ES_READONLY);
    EXPECT_TRUE(fieldStyle & WS_VSCROLL);
    EXPECT_TRUE(fieldStyle & WS_HSCROLL);
    std::string text = textOf(window->textField());
    std::erase(text, '\r');
    EXPECT_EQ(text.rfind(std::string(68, '-') + "\nRavelin\n", 0), 0u)
        << text.substr(0, 80);  // no byte-order mark
    EXPECT_NE(text.find("Have fun!"), std::string::npos);
    EXPECT_NE(text.find("1.4.2 The \"defaultMarkerImages\" folder"), std::string::npos);
    pumpMessages();
    saveScreenshot(handle, "instructions-window");

    // Tab moves from the text field to "Close" and back; Escape, Enter and Alt+F4 (which Windows turns into
    // a close request) ask the flow to close it, as "Close" does.
    SetFocus(window->textField());
    PostMessageW(window->textField(), WM_KEYDOWN, VK_TAB, 0);
    PostMessageW(handle, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box or the system menu's Close
    EXPECT_EQ(test.ui->waitEvent(), UiEvent::CloseInstructions);
    EXPECT_EQ(GetFocus(), window->closeButton());
    const struct {
        HWND target;
        UINT message;
        WPARAM key;
    } keys[] = {{window->textField(), WM_KEYDOWN, VK_ESCAPE},
                {window->textField(), WM_KEYDOWN, VK_RETURN},
                {window->closeButton(), WM_KEYDOWN, VK_RETURN},
                {window->textField(), WM_SYSKEYDOWN, VK_F4}};
    for (const auto& key : keys) {
        SCOPED_TRACE(key.key);
        PostMessageW(key.target, key.message, key.key,
                     key.message == WM_SYSKEYDOWN ? 1 << 29 : 0);  // Alt down
        EXPECT_EQ(test.ui->waitEvent(), UiEvent::CloseInstructions);
    }
    EXPECT_TRUE(IsWindowVisible(handle));  // until the flow closes it

    // On a screen shorter than the window, it shrinks and its text scrolls; "Close" stays inside.
    for (const int available : {2000, 450, 100}) {
        SCOPED_TRACE(available);
        test.ui->instructionsWindow()->fitHeight(available);
        const int height = std::clamp(available, 160, 600);
        EXPECT_EQ(clientSize(handle).cy, height);
        expectPlace(window->textField(), instructions_window::textPlace(height));
        expectPlace(window->closeButton(), instructions_window::closePlace(height));
    }
    pumpMessages();
    saveScreenshot(handle, "instructions-window-short-screen");

    // The main window still takes its clicks while the instructions are open.
    click(test.ui->mainWindow()->control(MainControl::ChooseNewIconsDirectory));
    click(window->closeButton());
    EXPECT_EQ(test.ui->waitEvent(), UiEvent::ChooseNewIconsDirectory);
    EXPECT_EQ(test.ui->waitEvent(), UiEvent::CloseInstructions);

    test.ui->openInstructionsWindow();
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(windowsOfClass(L"RavelinInstructionsWindow"), 1);
    test.ui->closeInstructionsWindow();
    test.ui->closeInstructionsWindow();
    EXPECT_EQ(windowsOfClass(L"RavelinInstructionsWindow"), 0);
}

TEST(Dialogs, NoOtherWindowTakesInputWhileOneIsOpenAndAfterwardsTheSameOnesDo) {
    TestUi test;
    test.ui->openMainWindow();
    test.ui->refreshMainWindow(MainWindowView{});  // "Create Atlases" disabled
    test.ui->showMainWindow();
    test.ui->openInstructionsWindow();
    test.ui->openProgressWindow("Searching for new icons");
    const HWND main = test.ui->mainWindow()->handle();
    const HWND instructions = test.ui->instructionsWindow()->handle();
    SetForegroundWindow(main);
    pumpMessages();

    test.dialogs->answer = MessageAnswer::No;
    EXPECT_EQ(test.ui->showMessage("New W.o.T. directory", "Use it?", MessageKind::Question),
              MessageAnswer::No);
    ASSERT_EQ(test.dialogs->calls.size(), 1u);
    const ScriptedDialogs::Call& call = test.dialogs->calls.front();
    EXPECT_EQ(call.title, "New W.o.T. directory");
    // Only the owner (the main window when it is in front) is left to the dialog to disable.
    for (HWND window : call.enabledWindows) EXPECT_EQ(window, call.owner);
    if (call.owner) {
        EXPECT_EQ(GetAncestor(call.owner, GA_ROOT), call.owner);
    }

    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_TRUE(IsWindowEnabled(instructions));
    EXPECT_FALSE(IsWindowEnabled(test.ui->progressWindow()->handle()));  // it never takes input
    EXPECT_FALSE(IsWindowEnabled(test.ui->mainWindow()->control(MainControl::CreateAtlases)));
    EXPECT_FALSE(IsWindowEnabled(test.ui->mainWindow()->control(MainControl::SaveInGameDirectory)));
}

TEST(Dialogs, FolderPickerStartsAtTheTrimmedDirectoryAndEndsItsAnswerInOneBackslash) {
    TestUi test;
    const std::pair<std::string, std::string> starts[] = {
        {"C:\\Program Files (x86)", "C:\\Program Files (x86)"},
        {"C:\\Games\\", "C:\\Games"},
        {"C:\\", "C:\\"},
        {"", ""},
        {std::string(300, 'a'), std::string(259, 'a')},
        {"C:\\" + std::string(300, 'e') + "\xc3\xa9", "C:\\" + std::string(256, 'e')},
    };
    for (const auto& [initial, expected] : starts) {
        test.ui->chooseFolder("Select new contour icons directory:", initial);
        ASSERT_FALSE(test.dialogs->calls.empty());
        EXPECT_EQ(test.dialogs->calls.back().text, expected);
        EXPECT_EQ(test.dialogs->calls.back().title, "Select new contour icons directory:");
    }
    const std::pair<std::string, std::string> answers[] = {
        {"C:\\Games", "C:\\Games\\"}, {"D:\\", "D:\\"}, {"", ""}, {"C:\\Wörld€", "C:\\Wörld€\\"}};
    for (const auto& [chosen, expected] : answers) {
        test.dialogs->folder = chosen;
        EXPECT_EQ(test.ui->chooseFolder("Select the WoT install dir:", "C:\\Program Files (x86)"), expected);
    }
}

TEST(InstallationChooser, ListsTheLinesTakesNoOtherInputAndAnswersEachWay) {
    TestUi test;
    test.ui->openMainWindow();
    test.ui->showMainWindow();
    test.ui->openInstructionsWindow();
    const HWND main = test.ui->mainWindow()->handle();
    const HWND instructions = test.ui->instructionsWindow()->handle();
    SetForegroundWindow(main);
    pumpMessages();
    const std::vector<std::string> lines = {"WG EU 2.4.0.2 - C:\\Games\\World_of_Tanks_EU\\",
                                            "Lesta 1.37.0.0 - C:\\Games\\Wörld€\\Tanki\\"};
    const auto select = [](Win32InstallationChooser& chooser, int row) {
        SendMessageW(chooser.list(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    };
    struct Case {
        const char* name;
        std::function<void(Win32InstallationChooser&)> act;
        int answer;
    };
    const Case cases[] = {
        {"OK",
         [&](Win32InstallationChooser& chooser) {
             const HWND handle = chooser.handle();
             EXPECT_EQ(textOf(handle), "Select the WoT install dir:");
             const SIZE client = clientSize(handle);
             EXPECT_EQ(client.cx, 520);
             EXPECT_EQ(client.cy, 200);
             expectPlace(chooser.list(), installation_chooser::kListPlace);
             expectPlace(chooser.otherFolderButton(), installation_chooser::kOtherFolderPlace);
             EXPECT_EQ(textOf(chooser.otherFolderButton()), "Other folder…");
             EXPECT_TRUE(styleOf(chooser.useButton()) & BS_DEFPUSHBUTTON);
             EXPECT_EQ(SendMessageW(chooser.list(), LB_GETCOUNT, 0, 0), 2);
             EXPECT_EQ(SendMessageW(chooser.list(), LB_GETCURSEL, 0, 0), 0);
             wchar_t line[100] = {};
             SendMessageW(chooser.list(), LB_GETTEXT, 1, reinterpret_cast<LPARAM>(line));
             EXPECT_EQ(utf8Text(line), lines[1]);
             EXPECT_FALSE(IsWindowEnabled(main));
             EXPECT_FALSE(IsWindowEnabled(instructions));
             EXPECT_TRUE(IsWindowEnabled(handle));
             saveScreenshot(handle, "installation-chooser");
             select(chooser, 1);
             click(chooser.useButton());
         },
         1},
        {"double click",
         [&](Win32InstallationChooser& chooser) {
             select(chooser, 1);
             SendMessageW(chooser.handle(), WM_COMMAND,
                          MAKEWPARAM(Win32InstallationChooser::kListId, LBN_DBLCLK),
                          reinterpret_cast<LPARAM>(chooser.list()));
         },
         1},
        {"Enter",
         [](Win32InstallationChooser& chooser) { PostMessageW(chooser.list(), WM_KEYDOWN, VK_RETURN, 0); },
         0},
        {"Other folder", [](Win32InstallationChooser& chooser) { click(chooser.otherFolderButton()); },
         kChoseOtherFolder},
        {"Cancel", [](Win32InstallationChooser& chooser) { click(chooser.cancelButton()); }, kChoseNothing},
        {"Escape",
         [](Win32InstallationChooser& chooser) { PostMessageW(chooser.list(), WM_KEYDOWN, VK_ESCAPE, 0); },
         kChoseNothing},
        {"close box", [](Win32InstallationChooser& chooser) { requestClose(chooser.handle()); },
         kChoseNothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        actOnChooser = c.act;
        SetTimer(nullptr, 0, 10, actOnChooserOnceItRuns);
        EXPECT_EQ(test.ui->chooseInstallation(lines), c.answer);
        EXPECT_EQ(windowsOfClass(L"RavelinInstallationChooser"), 0);
        EXPECT_TRUE(IsWindowEnabled(main));
        EXPECT_TRUE(IsWindowEnabled(instructions));
    }
}

TEST(Dialogs, BuildSummaryIsModalAndOpensTheFolderOnlyWhenAsked) {
    TestUi test;
    test.ui->openMainWindow();
    test.ui->showMainWindow();
    test.ui->openInstructionsWindow();
    SetForegroundWindow(test.ui->mainWindow()->handle());
    pumpMessages();
    std::vector<BuildSummaryChoice> choices;
    for (const SummaryBoxButton pressed :
         {SummaryBoxButton::Ok, SummaryBoxButton::OpenFolder, SummaryBoxButton::ShowIcons}) {
        test.dialogs->summaryButton = pressed;
        choices.push_back(
            test.ui->showBuildSummary({false, "The new atlases are in C:\\Ravelin\\", "battleAtlas: 1 icon",
                                       "every name", "C:\\Ravelin\\", ""}));
        const ScriptedDialogs::Call& call = test.dialogs->calls.back();
        EXPECT_EQ(call.text, "The new atlases are in C:\\Ravelin\\\nbattleAtlas: 1 icon\nevery name");
        for (HWND window : call.enabledWindows) EXPECT_EQ(window, call.owner);
    }
    EXPECT_EQ(choices, (std::vector<BuildSummaryChoice>{BuildSummaryChoice::Close, BuildSummaryChoice::Close,
                                                        BuildSummaryChoice::ShowIcons}));
    EXPECT_EQ(test.dialogs->openedFolders, std::vector<std::string>{"C:\\Ravelin\\"});
    EXPECT_TRUE(IsWindowEnabled(test.ui->instructionsWindow()->handle()));
}

namespace {

int rowsShown(const Win32IconOverviewWindow& window) {
    return static_cast<int>(
        SendMessageW(window.control(Win32IconOverviewWindow::IconGrid), LVM_GETITEMCOUNT, 0, 0));
}

}  // namespace

TEST(IconOverviewWindow, ShowsFiltersAndLoadsOnlyTheRowsOnTheScreen) {
    TestUi test;
    test.ui->openMainWindow();
    test.ui->showMainWindow();
    test.ui->showIconOverview(overviewOf(600));
    const Win32IconOverviewWindow* window = test.ui->iconOverviewWindow();
    ASSERT_NE(window, nullptr);
    const HWND handle = window->handle();
    EXPECT_TRUE(IsWindowVisible(handle));
    EXPECT_EQ(textOf(handle), "Icons");
    EXPECT_EQ(clientSize(handle).cx, 760);
    EXPECT_EQ(clientSize(handle).cy, 560);
    EXPECT_TRUE(IsWindowEnabled(test.ui->mainWindow()->handle()));  // modeless
    EXPECT_EQ(GetWindow(handle, GW_OWNER), test.ui->mainWindow()->handle());
    expectPlace(window->control(Win32IconOverviewWindow::IconGrid), {10, 40, 740, 380});
    EXPECT_EQ(rowsShown(*window), 600);
    pumpMessages();
    EXPECT_GT(window->picturesLoaded(), 0);
    EXPECT_LT(window->picturesLoaded(), 100);  // the rows on the screen, not all 600
    // The columns fit the grid: it scrolls up and down only.
    EXPECT_TRUE(styleOf(window->control(Win32IconOverviewWindow::IconGrid)) & WS_VSCROLL);
    EXPECT_FALSE(styleOf(window->control(Win32IconOverviewWindow::IconGrid)) & WS_HSCROLL);
    saveScreenshot(handle, "icon-overview");
    // A long name is cut in its middle, so that its mark stays in the cell.
    wchar_t label[100] = {};
    ListView_GetItemText(window->control(Win32IconOverviewWindow::IconGrid), 4, 0, label, 100);
    EXPECT_EQ(utf8Text(label).rfind("germany-", 0), 0u);
    EXPECT_NE(utf8Text(label).find("\xe2\x80\xa6"), std::string::npos);
    EXPECT_TRUE(utf8Text(label).ends_with("name\ndefault"));

    const HWND filter = window->control(Win32IconOverviewWindow::FilterChoice);
    const std::pair<int, int> filters[] = {{1, 2}, {2, 598}, {4, 1}, {5, 1}, {0, 600}};
    for (const auto& [choice, rows] : filters) {
        SendMessageW(filter, CB_SETCURSEL, static_cast<WPARAM>(choice), 0);
        SendMessageW(handle, WM_COMMAND, MAKEWPARAM(Win32IconOverviewWindow::FilterChoice, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(filter));
        EXPECT_EQ(rowsShown(*window), rows) << choice;
    }
    SetWindowTextW(window->control(Win32IconOverviewWindow::SearchField), L"T15");
    EXPECT_EQ(rowsShown(*window), 100);
    SetWindowTextW(window->control(Win32IconOverviewWindow::SearchField), L"");
    EXPECT_EQ(SendMessageW(window->control(Win32IconOverviewWindow::UnmatchedList), LB_GETCOUNT, 0, 0), 1);

    NMITEMACTIVATE activate{};
    activate.hdr = {window->control(Win32IconOverviewWindow::IconGrid), Win32IconOverviewWindow::IconGrid,
                    static_cast<UINT>(NM_DBLCLK)};
    activate.iItem = 0;
    SendMessageW(handle, WM_NOTIFY, Win32IconOverviewWindow::IconGrid, reinterpret_cast<LPARAM>(&activate));
    EXPECT_EQ(test.dialogs->openedFolders, std::vector<std::string>{"overview\\mine\\"});

    PostMessageW(window->control(Win32IconOverviewWindow::SearchField), WM_KEYDOWN, VK_F5, 0);
    EXPECT_EQ(test.ui->waitEvent(), UiEvent::RefreshIconOverview);
    test.ui->showIconOverview(overviewOf(10));
    EXPECT_EQ(test.ui->iconOverviewWindow(), window);
    EXPECT_EQ(rowsShown(*window), 10);
    EXPECT_EQ(windowsOfClass(L"RavelinIconOverviewWindow"), 1);
}

TEST(IconOverviewWindow, FollowsItsSizeClosesOnEscapeAndTellsTheFullName) {
    using Window = Win32IconOverviewWindow;
    TestUi test;
    test.ui->openMainWindow();
    test.ui->showMainWindow();
    IconOverviewView view = overviewOf(100);
    view.windowSize = {900, 650, false};
    view.filter = icon_overview::Filter::NeedsAttention;
    test.ui->showIconOverview(view);
    const Window* window = test.ui->iconOverviewWindow();
    const HWND handle = window->handle();
    const HWND grid = window->control(Window::IconGrid);
    EXPECT_TRUE(styleOf(handle) & WS_THICKFRAME);
    EXPECT_TRUE(styleOf(handle) & WS_MAXIMIZEBOX);
    EXPECT_EQ(clientSize(handle).cx, 900);
    EXPECT_EQ(clientSize(handle).cy, 650);
    expectPlace(grid, {10, 40, 880, 470});
    expectPlace(window->control(Window::UnmatchedList), {10, 540, 880, 100});
    EXPECT_EQ(rowsShown(*window), 2);  // the other size and the new one without replacement

    // All icons, dragged larger: the columns share the grid's width.
    const HWND filter = window->control(Window::FilterChoice);
    SendMessageW(filter, CB_SETCURSEL, 0, 0);
    SendMessageW(handle, WM_COMMAND, MAKEWPARAM(Window::FilterChoice, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(filter));
    RECT frame{};
    GetWindowRect(handle, &frame);
    SetWindowPos(handle, nullptr, 0, 0, frame.right - frame.left + 101, frame.bottom - frame.top + 50,
                 SWP_NOZORDER);  // in the screen's corner, all of it on the screen for its picture
    EXPECT_EQ(test.ui->iconOverviewSize(), (OverviewWindowSize{1001, 700, false}));
    expectPlace(grid, {10, 40, 981, 520});
    RECT inner{};
    GetClientRect(grid, &inner);
    const int cell = LOWORD(ListView_GetItemSpacing(grid, FALSE));
    EXPECT_GE(cell, icon_overview_window::kCellWidth);
    EXPECT_LE(inner.right % cell, inner.right / cell) << inner.right << " " << cell;
    EXPECT_FALSE(styleOf(grid) & WS_HSCROLL);
    pumpMessages();
    saveScreenshot(handle, "icon-overview-resized");
    ShowWindow(handle, SW_MAXIMIZE);
    EXPECT_EQ(test.ui->iconOverviewSize(), (OverviewWindowSize{1001, 700, true}));
    ShowWindow(handle, SW_RESTORE);

    // The info tip names the icon in full, with its files.
    wchar_t text[300] = {};
    NMLVGETINFOTIPW tip{};
    tip.hdr = {grid, Window::IconGrid, static_cast<UINT>(LVN_GETINFOTIPW)};
    tip.pszText = text;
    tip.cchTextMax = 300;
    tip.iItem = 1;
    SendMessageW(handle, WM_NOTIFY, Window::IconGrid, reinterpret_cast<LPARAM>(&tip));
    EXPECT_EQ(utf8Text(text), "germany-T1001\noverview\\grey.png\noverview\\mine\\germany-T1001.png");

    PostMessageW(window->control(Window::SearchField), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(test.ui->waitEvent(), UiEvent::IconOverviewClosed);
    EXPECT_FALSE(IsWindowVisible(handle));
}

namespace {

// What Explorer hands a window when files are dropped onto it.
HDROP dropOf(const std::vector<std::wstring>& paths) {
    std::size_t characters = 1;  // the list ends in an empty name
    for (const std::wstring& path : paths) characters += path.size() + 1;
    const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + characters * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(files) + sizeof(DROPFILES));
    for (const std::wstring& path : paths) {
        path.copy(text, path.size());
        text += path.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

void holdKeys(std::initializer_list<int> keys) {
    BYTE state[256]{};
    for (const int key : keys) state[key] = 0x80;
    SetKeyboardState(state);
}

}  // namespace

TEST(MainWindow, ImportFromTheContextMenuTheShortcutsAndDrops) {
    TestUi test;
    test.ui->openMainWindow();
    test.ui->refreshMainWindow(filledView());
    test.ui->showMainWindow();
    const HWND window = test.ui->mainWindow()->handle();
    test.dialogs->importFiles = {"C:\\packs\\a.wotmod", "C:\\packs\\b.zip"};
    // The context menu's entries, as the menu sends them; a cancelled folder choice delivers nothing.
    SendMessageW(window, WM_COMMAND, static_cast<WPARAM>(MainCommand::ImportFiles), 0);
    SendMessageW(window, WM_COMMAND, static_cast<WPARAM>(MainCommand::ImportFolder), 0);
    EXPECT_EQ(test.ui->waitEvent(), WindowEvent(UiEvent::ImportChosen, test.dialogs->importFiles));
    EXPECT_TRUE(test.ui->pendingEvents().empty());
    // Ctrl+I and Ctrl+Shift+I wherever the keyboard is in the window.
    test.dialogs->folder = "C:\\packs\\Wörld";
    holdKeys({VK_CONTROL});
    PostMessageW(test.ui->mainWindow()->control(MainControl::InstallDirectoryField), WM_KEYDOWN, 'I', 0);
    EXPECT_EQ(test.ui->waitEvent(), WindowEvent(UiEvent::ImportChosen, test.dialogs->importFiles));
    holdKeys({VK_CONTROL, VK_SHIFT});
    PostMessageW(test.ui->mainWindow()->control(MainControl::CreateAtlases), WM_KEYDOWN, 'I', 0);
    EXPECT_EQ(test.ui->waitEvent(), WindowEvent(UiEvent::ImportChosen, {"C:\\packs\\Wörld"}));
    holdKeys({});
    std::vector<std::string> asked;
    for (const ScriptedDialogs::Call& call : test.dialogs->calls) asked.push_back(call.title);
    EXPECT_EQ(asked, (std::vector<std::string>{"import files", "Import icons from a folder", "import files",
                                               "Import icons from a folder"}));

    // Dropped onto the main window or the overview.
    SendMessageW(window, WM_DROPFILES,
                 reinterpret_cast<WPARAM>(dropOf({L"C:\\packs\\c.mtmod", L"C:\\packs\\W\u00f6rld"})), 0);
    test.ui->showIconOverview({});
    SendMessageW(test.ui->iconOverviewWindow()->handle(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(dropOf({L"C:\\packs\\battleAtlas.xml"})), 0);
    EXPECT_EQ(test.ui->pendingEvents(),
              (std::deque<WindowEvent>{{UiEvent::PathsDropped, {"C:\\packs\\c.mtmod", "C:\\packs\\Wörld"}},
                                       {UiEvent::PathsDropped, {"C:\\packs\\battleAtlas.xml"}}}));
    EXPECT_TRUE(extendedStyleOf(window) & WS_EX_ACCEPTFILES);
}
