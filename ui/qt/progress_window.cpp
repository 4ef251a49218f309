#include "ui/qt/progress_window.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

#include "ui/qt/main_window.h"
#include "ui/window_layout.h"

using namespace progress_window;

namespace {

// Room on the title bar besides the title: the frame's edges, its icon and the window manager's three
// buttons (with openbox's theme 90 px cut a Russian title by a word).
constexpr int kTitleBarAllowance = 120;

// As wide as the fixed layout, or wider when the title would not fit on the title bar: the window
// manager would cut it. Title bars mostly use a bold face of the system's font.
int windowWidthFor(const QString& title, const QFont& font) {
    QFont bold = font;
    bold.setBold(true);
    return std::max(kClientWidth, QFontMetrics(bold).horizontalAdvance(title) + kTitleBarAllowance);
}

}  // namespace

ProgressWindow::ProgressWindow(const QString& title, QWidget* owner) : QWidget(owner, Qt::Tool) {
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(title);
    const int widening = windowWidthFor(title, font()) - kClientWidth;
    setFixedSize(kClientWidth + widening, kClientHeight);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);

    textLine_ = new QLabel(this);
    textLine_->setGeometry(rectOf(kTextPlace).adjusted(0, 0, widening, 0));
    textLine_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    textLine_->setWordWrap(true);

    bar_ = new QProgressBar(this);
    bar_->setGeometry(rectOf(kBarPlace).adjusted(0, 0, widening, 0));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    centreWindow(*this, owner);
}

void ProgressWindow::setText(const QString& text) {
    pendingText_ = text;
}

void ProgressWindow::setValue(int value) {
    pendingValue_ = std::clamp(value, 0, 100);
}

void ProgressWindow::showPending() {
    // A label lays its text out anew on every change, even to the same text.
    if (pendingText_ && *pendingText_ != textLine_->text()) textLine_->setText(*pendingText_);
    if (pendingValue_) bar_->setValue(*pendingValue_);
    pendingText_.reset();
    pendingValue_.reset();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    event->ignore();  // it goes when its step ends
}
