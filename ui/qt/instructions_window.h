#pragma once

// The instructions window: the built-in instructions text, read-only, closed by its "Close" button.

#include <QWidget>
#include <functional>

class QCloseEvent;
class QPushButton;
class QTextEdit;

class InstructionsWindow : public QWidget {
public:
    InstructionsWindow(QWidget* owner, std::function<void()> onClose);

    QTextEdit* textField() const { return textField_; }
    QPushButton* closeButton() const { return closeButton_; }

protected:
    // The window manager's close request (Alt+F4, a close box the window manager adds) is ignored.
    void closeEvent(QCloseEvent* event) override;

private:
    QTextEdit* textField_;
    QPushButton* closeButton_;
};
