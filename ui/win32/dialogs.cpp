#include "ui/win32/dialogs.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shobjidl.h>

#include <memory>

#include "platform/localized_text.h"
#include "ui/win32/wide_text.h"
#include "ui/window_layout.h"

namespace {

template <typename Interface>
struct ComRelease {
    void operator()(Interface* object) const { object->Release(); }
};
template <typename Interface>
using ComPointer = std::unique_ptr<Interface, ComRelease<Interface>>;

struct ComTaskMemory {
    void operator()(wchar_t* text) const { CoTaskMemFree(text); }
};

// The component model, once per run, before the first folder picker.
bool componentModelReady() {
    static const bool ready =
        SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    return ready;
}

// The system's file dialog with the options added to its own and the title; none when it cannot be made.
ComPointer<IFileOpenDialog> openDialog(FILEOPENDIALOGOPTIONS added, const std::string& title) {
    IFileOpenDialog* created = nullptr;
    if (!componentModelReady() ||
        FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&created))))
        return nullptr;
    ComPointer<IFileOpenDialog> dialog(created);
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | added);
    dialog->SetTitle(wideText(title).c_str());
    return dialog;
}

UINT messageBoxStyle(MessageKind kind) {
    switch (kind) {
        case MessageKind::Information:
            return MB_OK | MB_ICONINFORMATION;
        case MessageKind::Error:
            return MB_OK | MB_ICONERROR;
        case MessageKind::Question:
            return MB_YESNO;
        case MessageKind::Plain:
            break;
    }
    return MB_OK;
}

}  // namespace

MessageAnswer NativeDialogs::showMessage(HWND owner, const std::string& title, const std::string& text,
                                         MessageKind kind) {
    const int answer = MessageBoxW(owner, wideText(text).c_str(), wideText(title).c_str(),
                                   messageBoxStyle(kind) | MB_SETFOREGROUND);
    if (answer == IDYES) return MessageAnswer::Yes;
    if (answer == IDOK) return MessageAnswer::Ok;
    return MessageAnswer::No;
}

std::string NativeDialogs::chooseFolder(HWND owner, const std::string& title,
                                        const std::string& initialDirectory) {
    const ComPointer<IFileOpenDialog> dialog =
        openDialog(FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST, title);
    if (!dialog) return {};
    IShellItem* start = nullptr;
    if (!initialDirectory.empty() && SUCCEEDED(SHCreateItemFromParsingName(wideText(initialDirectory).c_str(),
                                                                           nullptr, IID_PPV_ARGS(&start)))) {
        const ComPointer<IShellItem> startFolder(start);
        dialog->SetFolder(startFolder.get());  // a start that does not exist opens where Windows chooses
    }
    if (FAILED(dialog->Show(owner))) return {};  // cancelled
    IShellItem* chosen = nullptr;
    if (FAILED(dialog->GetResult(&chosen))) return {};
    const ComPointer<IShellItem> chosenFolder(chosen);
    wchar_t* path = nullptr;
    if (FAILED(chosenFolder->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) return {};
    const std::unique_ptr<wchar_t, ComTaskMemory> ownedPath(path);
    return utf8Text(ownedPath.get());
}

std::vector<std::string> NativeDialogs::chooseImportFiles(HWND owner) {
    const ComPointer<IFileOpenDialog> dialog =
        openDialog(FOS_ALLOWMULTISELECT | FOS_FORCEFILESYSTEM | FOS_FILEMUSTEXIST,
                   localized(import_action::kFilesTitle));
    if (!dialog) return {};
    std::string patterns;
    for (std::string_view pattern : import_action::kFilesPatterns)
        patterns += (patterns.empty() ? "" : ";") + std::string(pattern);
    const std::wstring filterName = wideText(localized(import_action::kFilesFilterName));
    const std::wstring filterPatterns = wideText(patterns);
    const COMDLG_FILTERSPEC filter{filterName.c_str(), filterPatterns.c_str()};
    dialog->SetFileTypes(1, &filter);
    if (FAILED(dialog->Show(owner))) return {};  // cancelled
    IShellItemArray* chosen = nullptr;
    if (FAILED(dialog->GetResults(&chosen))) return {};
    const ComPointer<IShellItemArray> items(chosen);
    DWORD count = 0;
    items->GetCount(&count);
    std::vector<std::string> files;
    for (DWORD i = 0; i < count; ++i) {
        IShellItem* item = nullptr;
        if (FAILED(items->GetItemAt(i, &item))) continue;
        const ComPointer<IShellItem> file(item);
        wchar_t* path = nullptr;
        if (FAILED(file->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) continue;
        const std::unique_ptr<wchar_t, ComTaskMemory> ownedPath(path);
        files.push_back(utf8Text(ownedPath.get()));
    }
    return files;
}

SummaryBoxButton NativeDialogs::showSummary(HWND owner, const BuildSummaryView& view) {
    constexpr int kOpenFolder = 100;
    constexpr int kShowIcons = 101;
    const std::wstring openCaption = wideText(localized(build_summary::kOpenFolderCaption));
    const std::wstring iconsCaption = wideText(localized(build_summary::kShowIconsCaption));
    const std::wstring okCaption = wideText(localized("OK"));
    const TASKDIALOG_BUTTON buttons[] = {
        {kOpenFolder, openCaption.c_str()}, {kShowIcons, iconsCaption.c_str()}, {IDOK, okCaption.c_str()}};
    const std::wstring title = wideText(!view.title.empty() ? view.title
                                        : view.warning      ? localized(build_summary::kTitleWithErrors)
                                                            : localized(build_summary::kTitle));
    const std::wstring headline = wideText(view.headline);
    const std::wstring content = wideText(view.text);
    const std::wstring details = wideText(view.details);
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = owner;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_SIZE_TO_CONTENT;
    config.pszWindowTitle = title.c_str();
    config.pszMainIcon = view.warning ? TD_WARNING_ICON : TD_INFORMATION_ICON;
    config.pszMainInstruction = headline.c_str();
    config.pszContent = content.c_str();
    // Every name, behind the dialog's own "See details", so the box stays the size of what matters.
    if (!details.empty()) config.pszExpandedInformation = details.c_str();
    config.cButtons = 3;
    config.pButtons = buttons;
    config.nDefaultButton = IDOK;
    int pressed = IDOK;
    if (FAILED(TaskDialogIndirect(&config, &pressed, nullptr, nullptr))) {
        // Without the task dialog (an old common-controls library), a plain box without the buttons.
        const std::wstring text = headline + L"\n\n" + content;
        MessageBoxW(owner, text.c_str(), title.c_str(),
                    MB_OK | (view.warning ? MB_ICONWARNING : MB_ICONINFORMATION) | MB_SETFOREGROUND);
        return SummaryBoxButton::Ok;
    }
    if (pressed == kOpenFolder) return SummaryBoxButton::OpenFolder;
    return pressed == kShowIcons ? SummaryBoxButton::ShowIcons : SummaryBoxButton::Ok;
}

void NativeDialogs::openFolder(const std::string& folder) {
    ShellExecuteW(nullptr, L"open", wideText(folder).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

ModalScope::ModalScope(HWND owner) {
    struct Walk {
        ModalScope* scope;
        HWND owner;
    } walk{this, owner};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM parameter) -> BOOL {
            const auto& [scope, owner] = *reinterpret_cast<Walk*>(parameter);
            if (window == owner || !IsWindowVisible(window)) return TRUE;
            if (IsWindowEnabled(window)) {
                EnableWindow(window, FALSE);
                scope->disabled_.push_back(window);
            }
            if (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) {
                SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                scope->wereTopmost_.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
}

ModalScope::~ModalScope() {
    for (HWND window : disabled_) {
        if (IsWindow(window)) EnableWindow(window, TRUE);
    }
    for (HWND window : wereTopmost_) {
        if (IsWindow(window))
            SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

HWND dialogOwner() {
    const HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    if (!foreground || !GetWindowThreadProcessId(foreground, &process) || process != GetCurrentProcessId())
        return nullptr;
    return foreground;
}
