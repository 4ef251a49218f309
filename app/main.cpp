#include <QApplication>

#include "app/main_flow.h"
#include "ui/qt/caption_font.h"
#include "ui/qt/qt_ui.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Ravelin");
    QApplication::setApplicationVersion("0.3.1");
    QApplication::setFont(captionFont(mainWindowCaptions()));
    QtUi ui;
    return runProgram(ui);
}
