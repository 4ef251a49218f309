#pragma once

// The progress window: a title naming the step, one wrapping text line and a 0..100 bar. It takes no
// input. The step only stores its latest text and value; they reach the widgets when the owner repaints.

#include <QWidget>
#include <optional>

class QCloseEvent;
class QLabel;
class QProgressBar;

class ProgressWindow : public QWidget {
public:
    ProgressWindow(const QString& title, QWidget* owner);

    void setText(const QString& text);
    void setValue(int value);  // clamped to 0..100
    // Puts the stored text and value into the widgets (before a repaint).
    void showPending();

    QLabel* textLine() const { return textLine_; }
    QProgressBar* bar() const { return bar_; }

protected:
    // The window manager's close request (Alt+F4, a close box the window manager adds) is ignored.
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* textLine_;
    QProgressBar* bar_;
    std::optional<QString> pendingText_;
    std::optional<int> pendingValue_;
};
