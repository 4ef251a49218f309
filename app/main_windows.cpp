#include "app/main_flow.h"
#include "app/program_language.h"
#include "platform/system_language.h"
#include "ui/win32/native_ui.h"

int main(int argc, char** argv) {
    chooseProgramLanguage(languageOption(argc, argv), systemLanguages());
    const std::unique_ptr<DesktopUi> ui = makeNativeUi();
    return runProgram(*ui);
}
