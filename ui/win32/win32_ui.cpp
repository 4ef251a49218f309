#include "ui/win32/win32_ui.h"

#include "ui/win32/native_ui.h"

#include <commctrl.h>
#include <shellapi.h>

#include "platform/path_separator.h"
#include "platform/system_language.h"
#include "ui/folder_picker_start.h"

namespace {

// Input given while a step ran is dropped, not replayed as clicks once the step is over.
void dropWaitingInput() {
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    // Packs dropped meanwhile are not imported after the step either.
    while (PeekMessageW(&message, nullptr, WM_DROPFILES, WM_DROPFILES, PM_REMOVE))
        DragFinish(reinterpret_cast<HDROP>(message.wParam));
}

// Moves a window's top left corner to where a window stood, keeping its size, order and focus.
void moveWindowTo(HWND window, const RECT& place) {
    SetWindowPos(window, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

Win32Ui::Win32Ui(std::unique_ptr<Win32Dialogs> dialogs) : dialogs_(std::move(dialogs)) {
    INITCOMMONCONTROLSEX controls{
        sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
}

MessageAnswer Win32Ui::showMessage(const std::string& title, const std::string& text, MessageKind kind) {
    const HWND owner = dialogOwner();
    const ModalScope modal(owner);
    return dialogs_->showMessage(owner, title, text, kind);
}

std::string Win32Ui::chooseFolder(const std::string& title, const std::string& initialDirectory) {
    const HWND owner = dialogOwner();
    const ModalScope modal(owner);
    const std::string chosen = dialogs_->chooseFolder(owner, title, folderPickerStart(initialDirectory));
    return chosen.empty() ? std::string() : withTrailingSeparator(chosen);
}

int Win32Ui::chooseInstallation(const std::vector<std::string>& installations) {
    const HWND owner = dialogOwner();
    const ModalScope modal(owner);
    // The owner takes no input either while the chooser is open; it is enabled again before the chooser
    // goes, so that Windows gives it the focus back.
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    std::unique_ptr<Win32InstallationChooser> chooser =
        Win32InstallationChooser::create(owner, installations);
    int answer = chooser ? kChoseOtherFolder : kChoseNothing;  // without a chooser, the picker as before
    while (chooser && !chooser->answer()) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            PostQuitMessage(got == 0 ? static_cast<int>(message.wParam) : 0);  // for the flow's own wait
            answer = kChoseNothing;
            break;
        }
        if (!IsDialogMessageW(chooser->handle(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (chooser && chooser->answer()) answer = *chooser->answer();
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    chooser.reset();
    return answer;
}

void Win32Ui::openProgressWindow(const std::string& title) {
    closeProgressWindow();
    const HWND owner =
        mainWindow_ && IsWindowVisible(mainWindow_->handle()) ? mainWindow_->handle() : nullptr;
    progressWindow_ = Win32ProgressWindow::create(title, owner);
    progressPace_.restart();
    repaintProgress();
}

void Win32Ui::setProgressText(const std::string& text) {
    if (!progressWindow_) return;
    progressWindow_->setText(text);
    repaintProgress();
}

void Win32Ui::setProgressBar(int value) {
    if (!progressWindow_) return;
    progressWindow_->setValue(value);
    repaintProgress();
}

void Win32Ui::closeProgressWindow() {
    if (!progressWindow_) return;
    progressWindow_.reset();
    dropWaitingInput();
}

void Win32Ui::repaintProgress() {
    if (!progressWindow_ || !progressPace_.due()) return;
    progressWindow_->repaint();
    // Paint messages only: every window stays drawn, and Windows sees the program responding.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) DispatchMessageW(&message);
}

bool Win32Ui::openMainWindow() {
    mainWindow_ =
        Win32MainWindow::create([this](WindowEvent event) { events_.push_back(std::move(event)); },
                                [this](import_action::Choice choice) { return chooseImportSources(choice); });
    if (!mainWindow_) return false;
    mainWindow_->setSessionEndHandler([this] {
        if (endRequestHandler_) endRequestHandler_();
        endProcess(0);
    });
    return true;
}

void Win32Ui::refreshMainWindow(const MainWindowView& view) {
    if (mainWindow_) mainWindow_->refresh(view);
}

void Win32Ui::showMainWindow() {
    if (mainWindow_) mainWindow_->show();
}

void Win32Ui::openInstructionsWindow() {
    closeInstructionsWindow();
    instructionsWindow_ =
        Win32InstructionsWindow::create(mainWindow_ ? mainWindow_->handle() : nullptr,
                                        [this] { events_.push_back(UiEvent::CloseInstructions); });
}

void Win32Ui::closeInstructionsWindow() {
    instructionsWindow_.reset();
}

BuildSummaryChoice Win32Ui::showBuildSummary(const BuildSummaryView& view) {
    const HWND owner = dialogOwner();
    SummaryBoxButton pressed = SummaryBoxButton::Ok;
    {
        const ModalScope modal(owner);
        pressed = dialogs_->showSummary(owner, view);
    }
    if (pressed == SummaryBoxButton::OpenFolder) dialogs_->openFolder(view.folder);
    return pressed == SummaryBoxButton::ShowIcons ? BuildSummaryChoice::ShowIcons : BuildSummaryChoice::Close;
}

void Win32Ui::showIconOverview(const IconOverviewView& view) {
    if (!iconOverviewWindow_) {
        iconOverviewWindow_ = Win32IconOverviewWindow::create(
            mainWindow_ ? mainWindow_->handle() : nullptr,
            [this](WindowEvent event) { events_.push_back(std::move(event)); },
            [this](const std::string& folder) { dialogs_->openFolder(folder); }, view.windowSize);
    }
    if (iconOverviewWindow_ && overviewPlace_) moveWindowTo(iconOverviewWindow_->handle(), *overviewPlace_);
    overviewPlace_.reset();
    if (iconOverviewWindow_) iconOverviewWindow_->show(view);
}

std::optional<OverviewWindowSize> Win32Ui::iconOverviewSize() const {
    if (!iconOverviewWindow_) return std::nullopt;
    return iconOverviewWindow_->chosenSize();
}

std::vector<std::string> Win32Ui::chooseImportSources(import_action::Choice choice) {
    const HWND owner = dialogOwner();
    const ModalScope modal(owner);
    if (choice == import_action::Choice::Files) return dialogs_->chooseImportFiles(owner);
    std::string folder = dialogs_->chooseFolder(owner, localized(import_action::kFolderTitle), {});
    if (folder.empty()) return {};
    return {folder};
}

std::vector<std::string> Win32Ui::systemLanguages() const {
    return ::systemLanguages();
}

void Win32Ui::remakeWindows() {
    if (!mainWindow_) return;
    const auto placeOf = [](const NativeWindow* window) -> std::optional<RECT> {
        RECT place{};
        if (!window || !GetWindowRect(window->handle(), &place)) return std::nullopt;
        return place;
    };
    const std::optional<RECT> mainPlace = placeOf(mainWindow_.get());
    const bool shown = IsWindowVisible(mainWindow_->handle());
    const std::optional<RECT> instructionsPlace = placeOf(instructionsWindow_.get());
    overviewPlace_ = placeOf(iconOverviewWindow_.get());
    // The owned windows go before their owner, which Windows would otherwise take down under them.
    closeInstructionsWindow();
    iconOverviewWindow_.reset();
    std::unique_ptr<Win32MainWindow> previous = std::move(mainWindow_);
    if (!openMainWindow()) {
        mainWindow_ = std::move(previous);  // the old language rather than no window
        return;
    }
    previous.reset();
    if (mainPlace) moveWindowTo(mainWindow_->handle(), *mainPlace);
    if (shown) mainWindow_->show();
    if (instructionsPlace) {
        openInstructionsWindow();
        if (instructionsWindow_) moveWindowTo(instructionsWindow_->handle(), *instructionsPlace);
    }
}

bool Win32Ui::isDialogMessage(MSG& message) const {
    if (mainWindow_ && mainWindow_->takeKey(message)) return true;
    if (instructionsWindow_ && instructionsWindow_->takeKey(message)) return true;
    if (iconOverviewWindow_ && iconOverviewWindow_->takeKey(message)) return true;
    // Tab, Shift+Tab, Space and the arrow keys move between and press the controls.
    for (const NativeWindow* window : {static_cast<const NativeWindow*>(mainWindow_.get()),
                                       static_cast<const NativeWindow*>(instructionsWindow_.get()),
                                       static_cast<const NativeWindow*>(iconOverviewWindow_.get())}) {
        if (!window) continue;
        const HWND handle = window->handle();
        if ((message.hwnd == handle || IsChild(handle, message.hwnd)) && IsDialogMessageW(handle, &message))
            return true;
    }
    return false;
}

bool Win32Ui::iconOverviewOpen() const {
    return iconOverviewWindow_ && IsWindowVisible(iconOverviewWindow_->handle());
}

WindowEvent Win32Ui::waitEvent() {
    while (events_.empty()) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // Asked to quit (or the queue is gone): the same as the close box.
            events_.push_back(UiEvent::MainWindowCloseRequest);
            break;
        }
        if (!isDialogMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    WindowEvent event = std::move(events_.front());
    events_.pop_front();
    return event;
}

void Win32Ui::setEndRequestHandler(std::function<void()> handler) {
    endRequestHandler_ = std::move(handler);
}

std::unique_ptr<DesktopUi> makeNativeUi() {
    return std::make_unique<Win32Ui>();
}
