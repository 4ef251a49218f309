#include "ui/qt/progress_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

#include "ui/qt/main_window.h"
#include "ui/window_layout.h"

ProgressWindow::ProgressWindow(const QString& title, QWidget* owner) : QWidget(owner, Qt::Tool) {
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(title);
    setFixedSize(progress_window::kClientWidth, progress_window::kClientHeight);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);

    textLine_ = new QLabel(this);
    textLine_->setGeometry(rectOf(progress_window::kTextPlace));
    textLine_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    textLine_->setWordWrap(true);

    bar_ = new QProgressBar(this);
    bar_->setGeometry(rectOf(progress_window::kBarPlace));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    centreWindow(*this, owner);
}

void ProgressWindow::setText(const QString& text) {
    textLine_->setText(text);
}

void ProgressWindow::setValue(int value) {
    bar_->setValue(std::clamp(value, 0, 100));
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    event->ignore();  // it goes when its step ends
}
