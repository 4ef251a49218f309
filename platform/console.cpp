#include "platform/console.h"

#ifdef _WIN32
#include <windows.h>
#endif

void useUtf8Console() {
#ifdef _WIN32
    SetConsoleOutputCP(CP_UTF8);
#endif
}
