#include "ui/qt/instructions_window.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QTextEdit>

#include "ui/qt/main_window.h"
#include "ui/window_layout.h"

InstructionsWindow::InstructionsWindow(QWidget* owner, std::function<void()> onClose)
    : QWidget(owner, Qt::Tool) {
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(qtText(instructions_window::kTitle));
    setFixedSize(instructions_window::kClientWidth, instructions_window::kClientHeight);

    textField_ = new QTextEdit(this);
    textField_->setGeometry(rectOf(instructions_window::kTextPlace));
    textField_->setReadOnly(true);
    textField_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textField_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textField_->setLineWrapMode(QTextEdit::WidgetWidth);
    QString text = qtText(shownInstructionsText());
    text.replace("\r\n", "\n");
    textField_->setPlainText(text);

    closeButton_ = new QPushButton(qtText(instructions_window::kCloseCaption), this);
    closeButton_->setGeometry(rectOf(instructions_window::kClosePlace));
    closeButton_->setAutoDefault(false);
    connect(closeButton_, &QPushButton::clicked, this, [onClose = std::move(onClose)] { onClose(); });
    centreWindow(*this, owner);
}

void InstructionsWindow::closeEvent(QCloseEvent* event) {
    event->ignore();  // only its "Close" button closes it
}
