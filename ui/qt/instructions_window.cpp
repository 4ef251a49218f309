#include "ui/qt/instructions_window.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QTextEdit>

#include "ui/qt/main_window.h"

InstructionsWindow::InstructionsWindow(QWidget* owner, std::function<void()> onClose)
    : QWidget(owner, Qt::Tool) {
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle("Instructions");
    setFixedSize(420, 600);

    textField_ = new QTextEdit(this);
    textField_->setGeometry(10, 10, 400, 550);
    textField_->setReadOnly(true);
    textField_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textField_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textField_->setLineWrapMode(QTextEdit::WidgetWidth);
    const std::string_view stored = instructionsText();
    QString text = QString::fromUtf8(stored.data(), static_cast<qsizetype>(stored.size()));
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);  // the byte-order mark is not part of the text
    text.replace("\r\n", "\n");
    textField_->setPlainText(text);

    closeButton_ = new QPushButton("Close", this);
    closeButton_->setGeometry(170, 560, 100, 30);
    closeButton_->setAutoDefault(false);
    connect(closeButton_, &QPushButton::clicked, this, [onClose = std::move(onClose)] { onClose(); });
    centreWindow(*this, owner);
}

void InstructionsWindow::closeEvent(QCloseEvent* event) {
    event->ignore();  // only its "Close" button closes it
}
