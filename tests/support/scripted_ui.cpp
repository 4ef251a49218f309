#include "tests/support/scripted_ui.h"

#include <algorithm>

namespace {

const char* kindName(MessageKind kind) {
    switch (kind) {
        case MessageKind::Plain:
            return "plain";
        case MessageKind::Information:
            return "information";
        case MessageKind::Error:
            return "error";
        case MessageKind::Question:
            return "question";
    }
    return "?";
}

}  // namespace

MessageAnswer ScriptedUi::showMessage(const std::string& title, const std::string& text, MessageKind kind) {
    transcript.push_back(std::string("message ") + kindName(kind) + " [" + title + "] " + text);
    if (kind != MessageKind::Question) return MessageAnswer::Ok;
    if (answers.empty()) return MessageAnswer::No;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::string ScriptedUi::chooseFolder(const std::string& title, const std::string& initialDirectory) {
    transcript.push_back("folder [" + title + "] " + initialDirectory);
    if (folders.empty()) return {};
    std::string folder = folders.front();
    folders.pop_front();
    return folder;
}

int ScriptedUi::chooseInstallation(const std::vector<std::string>& installations) {
    std::string line = "installations";
    for (const std::string& installation : installations) line += " [" + installation + "]";
    transcript.push_back(line);
    if (installationChoices.empty()) return kChoseNothing;
    const int choice = installationChoices.front();
    installationChoices.pop_front();
    return choice;
}

void ScriptedUi::openProgressWindow(const std::string& title) {
    transcript.push_back("progress open " + title);
    progressWindowOpen = true;
}

void ScriptedUi::setProgressText(const std::string& text) {
    if (progressWindowOpen) transcript.push_back("progress text " + text);
}

void ScriptedUi::setProgressBar(int value) {
    if (!progressWindowOpen) return;
    transcript.push_back("progress bar " + std::to_string(std::clamp(value, 0, 100)));
}

void ScriptedUi::closeProgressWindow() {
    if (progressWindowOpen) transcript.push_back("progress close");
    progressWindowOpen = false;
}

BuildSummaryChoice ScriptedUi::showBuildSummary(const BuildSummaryView& view) {
    transcript.push_back(std::string(view.warning ? "summary with errors [" : "summary [") + view.folder +
                         "] " + (view.title.empty() ? "" : "[" + view.title + "] ") + view.headline + "\n" +
                         view.text + (view.details.empty() ? "" : "details:\n" + view.details));
    if (summaryChoices.empty()) return BuildSummaryChoice::Close;
    const BuildSummaryChoice choice = summaryChoices.front();
    summaryChoices.pop_front();
    return choice;
}

void ScriptedUi::setEndRequestHandler(std::function<void()> handler) {
    endRequestHandler = std::move(handler);
}

void ScriptedUi::showIconOverview(const IconOverviewView& view) {
    overviewOpen = true;
    std::string line = "overview";
    for (const OverviewAtlas& atlas : view.atlases)
        line += " " + atlas.title + " " + std::to_string(atlas.icons.size());
    line += " unmatched " + std::to_string(view.unmatched.size());
    // Said only where they are not the defaults.
    if (view.filter)
        line += " filter " + std::string(icon_overview::kFilterCaptions[static_cast<int>(*view.filter)]);
    const OverviewWindowSize size = view.windowSize;
    if (size != OverviewWindowSize{})
        line += " size " + std::to_string(size.width) + "x" + std::to_string(size.height) +
                (size.maximized ? " maximized" : "");
    transcript.push_back(line);
}

bool ScriptedUi::openMainWindow() {
    transcript.push_back("main open");
    return true;
}

void ScriptedUi::refreshMainWindow(const MainWindowView& view) {
    std::string line = "main refresh " + view.installDirectory;
    for (const AtlasIconsView& atlas : view.atlases) line += " | " + atlas.iconDirectory;
    line += " | " + view.newIconDirectory + " | " + view.gameVersion;
    for (const AtlasIconsView& atlas : view.atlases) line += " | " + std::to_string(atlas.icons);
    transcript.push_back(line + " | " + std::to_string(view.newIcons) +
                         (view.saveInGameDirectory ? " | in game" : "") +
                         (view.language.empty() ? "" : " | language " + view.language));
}

void ScriptedUi::remakeWindows() {
    transcript.push_back("remake windows");
    overviewOpen = false;
}

void ScriptedUi::showMainWindow() {
    transcript.push_back("main show");
}

void ScriptedUi::openInstructionsWindow() {
    transcript.push_back("instructions open");
    instructionsWindowOpen = true;
}

void ScriptedUi::closeInstructionsWindow() {
    if (instructionsWindowOpen) transcript.push_back("instructions close");
    instructionsWindowOpen = false;
}

WindowEvent ScriptedUi::waitEvent() {
    if (onWait) onWait();
    if (events.empty()) return UiEvent::MainWindowCloseRequest;
    WindowEvent event = events.front();
    events.pop_front();
    if (event.kind == UiEvent::IconOverviewClosed) overviewOpen = false;
    return event;
}

std::vector<std::string> ScriptedUi::linesStartingWith(const std::string& prefix) const {
    std::vector<std::string> lines;
    for (const std::string& line : transcript) {
        if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    }
    return lines;
}
