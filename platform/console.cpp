#include "platform/console.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

void useUtf8Console() {
#ifdef _WIN32
    SetConsoleOutputCP(CP_UTF8);
#endif
}

#ifdef _WIN32
namespace {

HANDLE consoleOf(std::FILE* stream) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
}

}  // namespace
#endif

std::optional<ConsoleLine> ConsoleLine::open(std::FILE* stream) {
#ifdef _WIN32
    // A pipe, a file or the NUL device has no console mode (isatty would call NUL a terminal).
    const HANDLE console = consoleOf(stream);
    DWORD mode = 0;
    if (!GetConsoleMode(console, &mode)) return std::nullopt;
    const bool escapeCodes = (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
                             SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
    return ConsoleLine(stream, escapeCodes);
#else
    if (::isatty(fileno(stream)) == 0) return std::nullopt;
    return ConsoleLine(stream, true);
#endif
}

void ConsoleLine::show(std::string_view text) {
    if (escapeCodes_) {
        std::fprintf(stream_, "\r\033[K%.*s", static_cast<int>(text.size()), text.data());
        std::fflush(stream_);
        return;
    }
#ifdef _WIN32
    // A classic console: blank the cursor's row from its start, then write the text there.
    std::fflush(stream_);
    const HANDLE console = consoleOf(stream_);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(console, &info)) {
        const COORD start{0, info.dwCursorPosition.Y};
        DWORD written = 0;
        FillConsoleOutputCharacterW(console, L' ', static_cast<DWORD>(info.dwSize.X), start, &written);
        SetConsoleCursorPosition(console, start);
    }
    std::fwrite(text.data(), 1, text.size(), stream_);
    std::fflush(stream_);
#endif
}

void ConsoleLine::end() {
    std::fputc('\n', stream_);
    std::fflush(stream_);
}
