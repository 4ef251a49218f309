#include <QApplication>
#include <algorithm>
#include <string>
#include <string_view>

#include "app/main_flow.h"
#include "app/program_language.h"
#include "app/program_version.h"
#include "app/working_directory.h"
#include "platform/localized_text.h"
#include "ui/qt/qt_languages.h"
#include "ui/qt/qt_ui.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Ravelin");
    QApplication::setApplicationVersion(
        QString::fromUtf8(kProgramVersion.data(), static_cast<qsizetype>(kProgramVersion.size())));
    const std::optional<std::string> language = languageOption(argc, argv);
    chooseProgramLanguage(language, desktopLanguages());
    QtUi ui;
    // The desktop entry starts Ravelin with --user-data: a menu's launcher stands in a directory of its own
    // (often the home directory), which Ravelin would fill with its files. From a terminal Ravelin works
    // in the directory it is started in.
    const bool userData = std::any_of(
        argv + 1, argv + argc, [](const char* word) { return std::string_view(word) == "--user-data"; });
    if (userData && !enterUserWorkingDirectory()) {
        ui.showMessage(localized("Error"),
                       localized("Can't create the working directory {directory}, exiting program!",
                                 {{"directory", userWorkingDirectory()}}),
                       MessageKind::Error);
        return 0;
    }
    if (userData) chooseProgramLanguage(language, desktopLanguages());  // the working directory's settings
    return runProgram(ui);
}
