#include "ui/win32/installation_chooser.h"

#include <algorithm>

#include "platform/localized_text.h"
#include "ui/win32/wide_text.h"

namespace {

using namespace installation_chooser;

constexpr wchar_t kWindowClass[] = L"RavelinInstallationChooser";

}  // namespace

std::unique_ptr<Win32InstallationChooser> Win32InstallationChooser::create(
    HWND owner, const std::vector<std::string>& installations) {
    std::unique_ptr<Win32InstallationChooser> window(new Win32InstallationChooser);
    if (!window->createWindow(kWindowClass, localized(kTitle), WS_POPUP | WS_CAPTION | WS_SYSMENU,
                              WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, owner))
        return nullptr;
    const HWND handle = window->handle();
    createControl(handle, L"STATIC", localized(kPrompt), SS_LEFT | SS_NOPREFIX, kPromptId);
    const HWND list = createControl(handle, L"LISTBOX", "",
                                    WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                    kListId, WS_EX_CLIENTEDGE);
    for (const std::string& installation : installations)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideText(installation).c_str()));
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    createControl(handle, L"BUTTON", localized(kOtherFolderCaption), WS_TABSTOP | BS_PUSHBUTTON,
                  kOtherFolderId);
    createControl(handle, L"BUTTON", localized(kUseCaption), WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
    createControl(handle, L"BUTTON", localized(kCancelCaption), WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL);
    window->layOut(windowDpi(handle));
    showInFront(handle, owner, list);
    return window;
}

void Win32InstallationChooser::layOut(UINT dpi) {
    placeControls(dpi, kClientWidth, kClientHeight,
                  {{GetDlgItem(handle_, kPromptId), kPromptPlace},
                   {list(), kListPlace},
                   {otherFolderButton(), kOtherFolderPlace},
                   {useButton(), kUsePlace},
                   {cancelButton(), kCancelPlace}});
    useFont(captionFont(dpi, {{localized(kOtherFolderCaption), kOtherFolderPlace.width - 10}}));
    // Lines longer than the list scroll sideways.
    int widest = 0;
    const int count = static_cast<int>(SendMessageW(list(), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring line(static_cast<std::size_t>(SendMessageW(list(), LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        SendMessageW(list(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
        line.resize(line.size() - 1);
        widest = std::max(widest, captionWidth(font(), utf8Text(line)));
    }
    SendMessageW(list(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + scaled(8, dpi)), 0);
}

std::optional<LRESULT> Win32InstallationChooser::handleMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_CLOSE) {
        answer_ = kChoseNothing;
        return 0;
    }
    if (message != WM_COMMAND) return std::nullopt;
    const int selected = static_cast<int>(SendMessageW(list(), LB_GETCURSEL, 0, 0));
    switch (LOWORD(wParam)) {
        case IDOK:  // also Enter
            if (selected >= 0) answer_ = selected;
            return 0;
        case kListId:
            if (HIWORD(wParam) == LBN_DBLCLK && selected >= 0) answer_ = selected;
            return 0;
        case kOtherFolderId:
            answer_ = kChoseOtherFolder;
            return 0;
        case IDCANCEL:  // also Escape
            answer_ = kChoseNothing;
            return 0;
        default:
            return std::nullopt;
    }
}
