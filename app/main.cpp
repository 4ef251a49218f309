#include <QApplication>

#include "app/main_flow.h"
#include "app/program_version.h"
#include "ui/qt/qt_ui.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Ravelin");
    QApplication::setApplicationVersion(
        QString::fromUtf8(kProgramVersion.data(), static_cast<qsizetype>(kProgramVersion.size())));
    QtUi ui;
    return runProgram(ui);
}
