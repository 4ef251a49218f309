#include "app/main_flow.h"
#include "ui/win32/native_ui.h"

int main() {
    const std::unique_ptr<DesktopUi> ui = makeNativeUi();
    return runProgram(*ui);
}
