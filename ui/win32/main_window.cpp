#include "ui/win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <vector>

#include "platform/localized_text.h"
#include "ui/win32/file_drops.h"
#include "ui/win32/wide_text.h"

namespace {

using namespace main_window;

constexpr wchar_t kWindowClass[] = L"RavelinMainWindow";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

// The buttons whose presses the flow acts on.
constexpr std::pair<MainControl, UiEvent> kButtonEvents[] = {
    {MainControl::ChooseGameDirectory, UiEvent::ChooseGameDirectory},
    {MainControl::ChooseNewIconsDirectory, UiEvent::ChooseNewIconsDirectory},
    {MainControl::Instructions, UiEvent::OpenInstructions},
    {MainControl::IconOverview, UiEvent::OpenIconOverview},
    {MainControl::CreateAtlases, UiEvent::CreateAtlases},
};

int id(MainControl control) {
    return static_cast<int>(control);
}

// The directory fields are multi-line edits, the only kind that takes a formatting rectangle, so that
// their one line of text can sit in the middle of the box like the labels beside it. They leave Tab and
// the other dialog keys to the dialog, as a single-line field does.
LRESULT CALLBACK fieldProcedure(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    const LRESULT result = DefSubclassProc(field, message, wParam, lParam);
    return message == WM_GETDLGCODE ? result & ~DLGC_WANTALLKEYS : result;
}

void centreFieldText(HWND field, HFONT font) {
    HDC context = GetDC(field);
    if (!context) return;
    const HGDIOBJ previous = SelectObject(context, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(context, &metrics);
    SelectObject(context, previous);
    ReleaseDC(field, context);
    RECT client{};
    RECT format{};
    GetClientRect(field, &client);
    SendMessageW(field, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    format.top = std::max<LONG>(0, (client.bottom - metrics.tmHeight) / 2);
    format.bottom = format.top + metrics.tmHeight;
    SendMessageW(field, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&format));
}

}  // namespace

std::unique_ptr<Win32MainWindow> Win32MainWindow::create(EventSink sink, SourceChooser chooseSources) {
    std::unique_ptr<Win32MainWindow> window(new Win32MainWindow(std::move(sink), std::move(chooseSources)));
    if (!window->createWindow(kWindowClass, "Ravelin", kWindowStyle, WS_EX_CONTROLPARENT, nullptr))
        return nullptr;
    window->createControls();
    DragAcceptFiles(window->handle(), TRUE);
    window->layOut(windowDpi(window->handle()));
    centreWindow(window->handle(), nullptr);
    return window;
}

MainControl mainControlOf(const PlacedControl& placed) {
    switch (placed.role) {
        case MainControlRole::DirectoryCaption:
            return directoryCaption(placed.row);
        case MainControlRole::DirectoryField:
            return directoryField(placed.row);
        case MainControlRole::ChooseGameDirectory:
            return MainControl::ChooseGameDirectory;
        case MainControlRole::ChooseNewIconsDirectory:
            return MainControl::ChooseNewIconsDirectory;
        case MainControlRole::SaveInGameDirectory:
            return MainControl::SaveInGameDirectory;
        case MainControlRole::Instructions:
            return MainControl::Instructions;
        case MainControlRole::IconOverview:
            return MainControl::IconOverview;
        case MainControlRole::CreateAtlases:
            return MainControl::CreateAtlases;
    }
    return MainControl::StatusLine;
}

void Win32MainWindow::createControls() {
    // The status line first, then the controls in the layout's order, which is the tab order. A control
    // that cannot be created is left out; the messages meant for it go nowhere.
    createControl(handle_, STATUSCLASSNAMEW, "", 0, id(MainControl::StatusLine));
    // One line that scrolls sideways, never edited.
    const DWORD fieldStyle = WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL | ES_MULTILINE;
    const DWORD buttonStyle = WS_TABSTOP | BS_PUSHBUTTON;
    for (const PlacedControl& placed : placedControls()) {
        const int number = id(mainControlOf(placed));
        switch (placed.role) {
            case MainControlRole::DirectoryCaption:
                createControl(handle_, L"STATIC",
                              localized(kDirectoryCaptions[static_cast<std::size_t>(placed.row)]),
                              SS_LEFT | SS_NOPREFIX, number);
                break;
            case MainControlRole::DirectoryField:
                SetWindowSubclass(createControl(handle_, L"EDIT", "", fieldStyle, number, WS_EX_CLIENTEDGE),
                                  fieldProcedure, 0, 0);
                break;
            case MainControlRole::ChooseGameDirectory:
            case MainControlRole::ChooseNewIconsDirectory:
                createControl(handle_, L"BUTTON", kChooseCaption, buttonStyle, number);
                break;
            case MainControlRole::SaveInGameDirectory:
                createControl(handle_, L"BUTTON", localized(kSaveInGameDirectoryCaption),
                              WS_TABSTOP | WS_DISABLED | BS_AUTOCHECKBOX, number);
                break;
            case MainControlRole::Instructions:
                createControl(handle_, L"BUTTON", kInstructionsCaption, buttonStyle, number);
                break;
            case MainControlRole::IconOverview:
                createControl(handle_, L"BUTTON", localized(kIconOverviewCaption), buttonStyle, number);
                break;
            case MainControlRole::CreateAtlases:
                createControl(handle_, L"BUTTON", localized(kCreateAtlasesCaption), buttonStyle | WS_DISABLED,
                              number);
                break;
        }
    }
}

void Win32MainWindow::layOut(UINT dpi) {
    std::vector<std::pair<HWND, ControlPlace>> places;
    for (const PlacedControl& placed : placedControls())
        places.emplace_back(control(mainControlOf(placed)), placed.place);
    placeControls(dpi, kClientWidth, kClientHeight, places);
    const auto captions = captionsAndWidths();
    useFont(captionFont(dpi, {captions.begin(), captions.end()}));
    for (int row = 0; row < kRowCount; ++row) centreFieldText(control(directoryField(row)), font());
    const HWND status = control(MainControl::StatusLine);
    std::array<int, kStatusFieldCount> rightEdges{};
    for (int part = 0; part < kStatusFieldCount; ++part)
        rightEdges[static_cast<std::size_t>(part)] = scaled(kStatusFieldWidth, dpi) * (part + 1);
    rightEdges.back() = -1;  // the last part to the window's edge
    SendMessageW(status, SB_SETPARTS, rightEdges.size(), reinterpret_cast<LPARAM>(rightEdges.data()));
    SendMessageW(status, WM_SIZE, 0, 0);  // the status line sizes itself along the bottom edge
}

void Win32MainWindow::refresh(const MainWindowView& view) {
    const auto status = statusTexts(view);
    for (std::size_t part = 0; part < status.size(); ++part) {
        // Raised fields, drawn by the window so that the text keeps clear of the borders.
        statusTexts_[part] = wideText(status[part]);
        SendMessageW(control(MainControl::StatusLine), SB_SETTEXTW, part | SBT_POPOUT | SBT_OWNERDRAW, 0);
    }
    InvalidateRect(control(MainControl::StatusLine), nullptr, TRUE);
    const auto values = directories(view);
    for (std::size_t row = 0; row < values.size(); ++row)
        SetWindowTextW(control(directoryField(static_cast<int>(row))), wideText(*values[row]).c_str());
    const HWND box = control(MainControl::SaveInGameDirectory);
    EnableWindow(box, canSaveInGameDirectory(view));
    SendMessageW(box, BM_SETCHECK, view.saveInGameDirectory ? BST_CHECKED : BST_UNCHECKED, 0);
    EnableWindow(control(MainControl::CreateAtlases), canCreateAtlases(view));
    languages_ = view.languages;
    language_ = view.language;
}

void Win32MainWindow::show() {
    ShowWindow(handle_, SW_SHOW);
    SetForegroundWindow(handle_);
    SetFocus(control(MainControl::InstallDirectoryField));
}

bool Win32MainWindow::takeKey(const MSG& message) const {
    if (message.message != WM_KEYDOWN || message.wParam != 'I' || GetKeyState(VK_CONTROL) >= 0 ||
        GetKeyState(VK_MENU) < 0)
        return false;
    if (message.hwnd != handle_ && !IsChild(handle_, message.hwnd)) return false;
    askForImport(GetKeyState(VK_SHIFT) < 0 ? import_action::Choice::Folder : import_action::Choice::Files);
    return true;
}

void Win32MainWindow::askForImport(import_action::Choice choice) const {
    std::vector<std::string> sources = chooseSources_(choice);
    if (!sources.empty()) sink_(WindowEvent(UiEvent::ImportChosen, std::move(sources)));
}

HMENU Win32MainWindow::createContextMenu() const {
    const HMENU menu = CreatePopupMenu();
    const HMENU languages = CreatePopupMenu();
    if (!menu || !languages) {
        if (menu) DestroyMenu(menu);
        if (languages) DestroyMenu(languages);
        return nullptr;
    }
    const std::pair<MainCommand, std::string> entries[] = {
        {MainCommand::ImportFiles, import_action::actionCaption(import_action::kFilesTitle) + "\t" +
                                       std::string(import_action::kFilesShortcut)},
        {MainCommand::ImportFolder, import_action::actionCaption(import_action::kFolderTitle) + "\t" +
                                        std::string(import_action::kFolderShortcut)}};
    for (const auto& [command, caption] : entries)
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(command), wideText(caption).c_str());
    const int first = static_cast<int>(MainCommand::FirstLanguage);
    AppendMenuW(languages, MF_STRING, first, wideText(localized(language_menu::kSystemLanguage)).c_str());
    AppendMenuW(languages, MF_SEPARATOR, 0, nullptr);
    int checked = first;
    for (std::size_t i = 0; i < languages_.size(); ++i) {
        const int command = first + 1 + static_cast<int>(i);
        AppendMenuW(languages, MF_STRING, static_cast<UINT_PTR>(command),
                    wideText(languages_[i].name).c_str());
        if (languages_[i].code == language_) checked = command;
    }
    CheckMenuRadioItem(languages, first, first + static_cast<int>(languages_.size()), checked, MF_BYCOMMAND);
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(languages),
                wideText(localized(language_menu::kTitle)).c_str());
    return menu;
}

void Win32MainWindow::showContextMenu(LPARAM place) const {
    const HMENU menu = createContextMenu();
    if (!menu) return;
    POINT at{GET_X_LPARAM(place), GET_Y_LPARAM(place)};
    if (place == -1) {  // from the keyboard (Shift+F10, the menu key): at the control with the focus
        RECT focus{};
        const HWND focused = GetFocus();
        GetWindowRect(focused && IsChild(handle_, focused) ? focused : handle_, &focus);
        at = {focus.left + 4, focus.bottom};
    }
    // The chosen entry comes back as WM_COMMAND, as from any menu.
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, handle_, nullptr);
    DestroyMenu(menu);  // with the Language menu in it
}

void Win32MainWindow::drawStatusPart(const DRAWITEMSTRUCT& item) const {
    if (item.itemID >= statusTexts_.size()) return;
    const std::wstring& text = statusTexts_[item.itemID];
    RECT area = item.rcItem;
    const int margin = scaled(6, windowDpi(handle_));
    area.left += margin;
    area.right -= margin;
    const HGDIOBJ previous = SelectObject(item.hDC, font());
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
    const UINT alignment = item.itemID == 0 ? DT_LEFT : DT_RIGHT;
    DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &area,
              alignment | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP);
    SelectObject(item.hDC, previous);
}

std::optional<LRESULT> Win32MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (!lParam && (LOWORD(wParam) == static_cast<int>(MainCommand::ImportFiles) ||
                            LOWORD(wParam) == static_cast<int>(MainCommand::ImportFolder))) {
                askForImport(LOWORD(wParam) == static_cast<int>(MainCommand::ImportFiles)
                                 ? import_action::Choice::Files
                                 : import_action::Choice::Folder);
                return 0;
            }
            if (const int entry = LOWORD(wParam) - static_cast<int>(MainCommand::FirstLanguage);
                !lParam && entry >= 0 && entry <= static_cast<int>(languages_.size())) {
                sink_(WindowEvent::languageChosen(
                    entry == 0 ? std::string() : languages_[static_cast<std::size_t>(entry - 1)].code));
                return 0;
            }
            if (HIWORD(wParam) != BN_CLICKED || !lParam) break;
            if (LOWORD(wParam) == id(MainControl::SaveInGameDirectory)) {
                // The box has toggled itself already; BM_SETCHECK from refresh() sends no BN_CLICKED. A
                // disabled box may still toggle on a BM_CLICK (Wine does), which no user can send.
                if (!IsWindowEnabled(reinterpret_cast<HWND>(lParam))) return 0;
                const bool checked =
                    SendMessageW(reinterpret_cast<HWND>(lParam), BM_GETCHECK, 0, 0) == BST_CHECKED;
                sink_(checked ? UiEvent::SaveInGameDirectoryChecked : UiEvent::SaveInGameDirectoryUnchecked);
                return 0;
            }
            for (const auto& [button, event] : kButtonEvents) {
                if (LOWORD(wParam) == id(button)) {
                    sink_(event);
                    return 0;
                }
            }
            break;
        case WM_CONTEXTMENU:
            showContextMenu(lParam);
            return 0;
        case WM_DROPFILES:
            if (std::vector<std::string> paths = takeDroppedFiles(reinterpret_cast<HDROP>(wParam));
                !paths.empty())
                sink_(WindowEvent(UiEvent::PathsDropped, std::move(paths)));
            return 0;
        case WM_DRAWITEM:
            if (wParam != static_cast<WPARAM>(MainControl::StatusLine)) break;
            drawStatusPart(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_CLOSE:
            // The flow decides when the program ends; the window goes with it.
            sink_(UiEvent::MainWindowCloseRequest);
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;  // nothing to ask: the settings are stored as they change
        case WM_ENDSESSION:
            // The process may be ended as soon as this returns, so what the exit writes is written now.
            if (wParam && sessionEnd_) sessionEnd_();
            return 0;
        default:
            break;
    }
    return std::nullopt;
}
