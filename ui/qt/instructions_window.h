#pragma once

// The instructions window: the built-in instructions text, read-only, closed by its "Close" button, the
// title bar's close box, Escape or Enter, which all ask the flow to close it.

#include <QWidget>
#include <functional>

class QCloseEvent;
class QKeyEvent;
class QPushButton;
class QTextEdit;

class InstructionsWindow : public QWidget {
public:
    InstructionsWindow(QWidget* owner, std::function<void()> onClose);

    QTextEdit* textField() const { return textField_; }
    QPushButton* closeButton() const { return closeButton_; }

    // Makes the window as tall as it may be within the given height of its inside.
    void fitHeight(int availableClientHeight);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::function<void()> onClose_;
    QTextEdit* textField_;
    QPushButton* closeButton_;
};
