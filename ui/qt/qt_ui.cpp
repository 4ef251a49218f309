#include "ui/qt/qt_ui.h"

#include <QApplication>
#include <QScrollBar>
#include <QTextEdit>

#include "platform/end_request.h"
#include "platform/localized_text.h"
#include "ui/qt/dialogs.h"
#include "ui/qt/installation_chooser.h"
#include "ui/qt/program_icon.h"

namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Swallows the user's input to every window while it is installed.
class InputDropper : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::Wheel:
            case QEvent::ContextMenu:
            case QEvent::TouchBegin:
            case QEvent::TouchUpdate:
            case QEvent::TouchEnd:
            case QEvent::DragEnter:  // a pack dropped during a step would start an import after it
            case QEvent::DragMove:
            case QEvent::Drop:
                return true;
            default:
                return false;
        }
    }
};

// Lets the windows repaint; input given meanwhile is dropped, not kept for after the step, so a click
// during a build never starts another one.
void processEventsDroppingInput() {
    InputDropper dropper;
    QCoreApplication::instance()->installEventFilter(&dropper);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::instance()->removeEventFilter(&dropper);
}

}  // namespace

QtUi::QtUi() {
    QApplication::setWindowIcon(programIcon());  // every window's, for the title bar and the task bar
    qtTranslations_.follow(currentLanguage());
}

QtUi::~QtUi() {
    delete progressWindow_.data();
    delete instructionsWindow_.data();
    delete iconOverviewWindow_.data();
}

MessageAnswer QtUi::showMessage(const std::string& title, const std::string& text, MessageKind kind) {
    return showMessageBox(title, text, kind);
}

std::string QtUi::chooseFolder(const std::string& title, const std::string& initialDirectory) {
    return chooseFolderDialog(title, initialDirectory);
}

int QtUi::chooseInstallation(const std::vector<std::string>& installations) {
    InstallationChooser chooser(installations, QApplication::activeWindow());
    chooser.exec();
    return chooser.choice();
}

void QtUi::openProgressWindow(const std::string& title) {
    closeProgressWindow();
    QWidget* owner =
        mainWindow_ && mainWindow_->isVisible() ? mainWindow_.get() : QApplication::activeWindow();
    progressWindow_ = new ProgressWindow(fromUtf8(title), owner);
    progressWindow_->show();
    progressPace_.restart();
    repaintProgress();
}

void QtUi::setProgressText(const std::string& text) {
    if (!progressWindow_) return;
    progressWindow_->setText(fromUtf8(text));
    repaintProgress();
}

void QtUi::setProgressBar(int value) {
    if (!progressWindow_) return;
    progressWindow_->setValue(value);
    repaintProgress();
}

void QtUi::closeProgressWindow() {
    if (!progressWindow_) return;
    delete progressWindow_.data();
    progressWindow_ = nullptr;
    processEventsDroppingInput();  // what came since the last repaint
}

void QtUi::repaintProgress() {
    if (!progressPace_.due()) return;
    progressWindow_->showPending();
    processEventsDroppingInput();
}

bool QtUi::openMainWindow() {
    qtTranslations_.follow(currentLanguage());  // chosen again since: the working directory's settings
    mainWindow_ = std::make_unique<MainWindow>(
        [this](WindowEvent event) { events_.push_back(std::move(event)); },
        [this](import_action::Choice choice) { return chooseImportSources(choice); });
    return true;
}

void QtUi::refreshMainWindow(const MainWindowView& view) {
    if (mainWindow_) mainWindow_->refresh(view);
}

void QtUi::showMainWindow() {
    if (!mainWindow_) return;
    mainWindow_->show();
    mainWindow_->activateWindow();
}

void QtUi::openInstructionsWindow() {
    closeInstructionsWindow();
    instructionsWindow_ =
        new InstructionsWindow(mainWindow_.get(), [this] { events_.push_back(UiEvent::CloseInstructions); });
    instructionsWindow_->show();
    instructionsWindow_->activateWindow();
}

void QtUi::closeInstructionsWindow() {
    delete instructionsWindow_.data();
    instructionsWindow_ = nullptr;
}

BuildSummaryChoice QtUi::showBuildSummary(const BuildSummaryView& view) {
    const SummaryBoxButton pressed = showSummaryBox(view);
    if (pressed == SummaryBoxButton::OpenFolder) openFolder(view.folder);
    return pressed == SummaryBoxButton::ShowIcons ? BuildSummaryChoice::ShowIcons : BuildSummaryChoice::Close;
}

void QtUi::showIconOverview(const IconOverviewView& view) {
    if (!iconOverviewWindow_) {
        iconOverviewWindow_ = new IconOverviewWindow(
            mainWindow_.get(), [this](WindowEvent event) { events_.push_back(std::move(event)); },
            [this](const std::string& folder) { openFolder(folder); }, view.windowSize);
        if (overviewPlace_) iconOverviewWindow_->move(*overviewPlace_);
        overviewPlace_.reset();
    }
    iconOverviewWindow_->show(view);
}

void QtUi::remakeWindows() {
    qtTranslations_.follow(currentLanguage());
    if (!mainWindow_) return;
    const QPoint place = mainWindow_->pos();
    const bool shown = mainWindow_->isVisible();
    const std::optional<QRect> instructions =
        instructionsWindow_ ? std::optional(instructionsWindow_->geometry()) : std::nullopt;
    overviewPlace_ = iconOverviewWindow_ ? std::optional(iconOverviewWindow_->pos()) : std::nullopt;
    closeInstructionsWindow();
    delete iconOverviewWindow_.data();
    openMainWindow();
    mainWindow_->move(place);
    if (shown) showMainWindow();
    if (instructions) {
        openInstructionsWindow();
        instructionsWindow_->setGeometry(*instructions);
    }
}

void QtUi::setEndRequestHandler(std::function<void()> handler) {
    endRequestHandler_ = std::move(handler);
    const int requests = watchEndRequests();
    if (requests < 0 || endRequests_) return;
    endRequests_ = std::make_unique<QSocketNotifier>(requests, QSocketNotifier::Read);
    // Qt's notifier runs in every event loop, a dialog's or a progress repaint's too.
    QObject::connect(endRequests_.get(), &QSocketNotifier::activated, [this] {
        endRequests_->setEnabled(false);
        if (endRequestHandler_) endRequestHandler_();
        endProcess(0);
    });
}

std::optional<OverviewWindowSize> QtUi::iconOverviewSize() const {
    if (!iconOverviewWindow_) return std::nullopt;
    return iconOverviewWindow_->chosenSize();
}

bool QtUi::iconOverviewOpen() const {
    return iconOverviewWindow_ && iconOverviewWindow_->isVisible();
}

WindowEvent QtUi::waitEvent() {
    while (events_.empty()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    WindowEvent event = std::move(events_.front());
    events_.pop_front();
    return event;
}
