#include "ui/qt/instructions_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>

#include "platform/localized_text.h"
#include "ui/qt/main_window.h"
#include "ui/window_layout.h"

using namespace instructions_window;

namespace {

// The height the window's screen leaves for its inside: the available height less a frame like the
// owner's (a tool window's frame is no taller).
int availableClientHeight(const QWidget* owner) {
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen) return kClientHeight;
    const int frame = owner && owner->isVisible() ? owner->frameGeometry().height() - owner->height() : 0;
    return screen->availableGeometry().height() - frame;
}

}  // namespace

InstructionsWindow::InstructionsWindow(QWidget* owner, std::function<void()> onClose)
    : QWidget(owner, Qt::Tool), onClose_(std::move(onClose)) {
    // Its only button is "Close", so the title bar's close box and the keys do the same.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(qtText(localized(kTitle)));

    textField_ = new QTextEdit(this);
    textField_->setReadOnly(true);
    textField_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textField_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textField_->setLineWrapMode(QTextEdit::WidgetWidth);
    QString text = qtText(shownInstructionsText());
    text.replace("\r\n", "\n");
    textField_->setPlainText(text);

    closeButton_ = new QPushButton(qtText(localized(kCloseCaption)), this);
    closeButton_->setAutoDefault(false);
    connect(closeButton_, &QPushButton::clicked, this, [this] { onClose_(); });
    fitHeight(availableClientHeight(owner));
    centreWindow(*this, owner);
}

void InstructionsWindow::fitHeight(int availableHeight) {
    const int height = clientHeightFor(availableHeight);
    setFixedSize(kClientWidth, height);
    textField_->setGeometry(rectOf(textPlace(height)));
    closeButton_->setGeometry(rectOf(closePlace(height)));
}

void InstructionsWindow::keyPressEvent(QKeyEvent* event) {
    // The read-only text field and the button leave these keys to the window.
    const int key = event->key();
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
            onClose_();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void InstructionsWindow::closeEvent(QCloseEvent* event) {
    event->ignore();  // the flow closes it, as after a click on "Close"
    onClose_();
}
