#include "ui/terminal/terminal_ui.h"

#include <algorithm>

#include "platform/localized_text.h"
#include "platform/text_utilities.h"

namespace {

// A message on one line: its line breaks become blanks, other control characters are shown escaped.
std::string oneLine(const std::string& text) {
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            line += ' ';
            ++i;
        } else {
            line += text[i];
        }
    }
    return printableText(line);
}

constexpr int kBarWidth = 30;
constexpr std::size_t kTextWidth = 40;

}  // namespace

TerminalUi::TerminalUi(std::FILE* messages, bool answerYes, std::optional<ConsoleLine> progressLine)
    : messages_(messages), answerYes_(answerYes), progressLine_(progressLine) {}

MessageAnswer TerminalUi::showMessage(const std::string& title, const std::string& text, MessageKind kind) {
    if (kind == MessageKind::Error) {
        errors_.push_back(oneLine(text));
        return MessageAnswer::Ok;
    }
    if (progressOpen_ && progressLine_) progressLine_->end();
    drawnValue_ = -1;
    if (kind != MessageKind::Question) {
        writeText(messages_, title + ": " + oneLine(text) + "\n");
        return MessageAnswer::Ok;
    }
    const bool yes = answerYes_;
    writeText(messages_,
              title + ": " + oneLine(text) + " " + (yes ? localized("[Yes]") : localized("[No]")) + "\n");
    return yes ? MessageAnswer::Yes : MessageAnswer::No;
}

void TerminalUi::openProgressWindow(const std::string& title) {
    closeProgressWindow();
    progressOpen_ = true;
    progressTitle_ = printableText(title);
    progressText_.clear();
    progressValue_ = 0;
    pace_.restart();
    drawProgress();
}

void TerminalUi::setProgressText(const std::string& text) {
    if (!progressOpen_) return;
    progressText_ = text;  // made printable when drawn
}

void TerminalUi::setProgressBar(int value) {
    if (!progressOpen_) return;
    progressValue_ = std::clamp(value, 0, 100);
    if (progressValue_ != drawnValue_ && pace_.due()) drawProgress();
}

void TerminalUi::closeProgressWindow() {
    if (progressOpen_ && progressLine_) {
        // A finished step reads 100 %, whatever its last counted value was.
        progressValue_ = 100;
        drawProgress();
        progressLine_->end();
    }
    progressOpen_ = false;
    drawnValue_ = -1;
}

void TerminalUi::drawProgress() {
    if (!progressLine_) return;
    drawnValue_ = progressValue_;
    const int filled = progressValue_ * kBarWidth / 100;
    const std::string printable = printableText(progressText_);
    std::string text = printable.substr(0, kTextWidth);
    // Never cut a character in half.
    if (text.size() < printable.size()) {
        while (!text.empty() && isUtf8ContinuationByte(printable[text.size()])) text.pop_back();
    }
    progressLine_->show(progressTitle_ + " [" + std::string(static_cast<std::size_t>(filled), '#') +
                        std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') + "] " +
                        padLeft(std::to_string(progressValue_), 3, ' ') + "% " + text);
}
