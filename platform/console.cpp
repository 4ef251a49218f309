#include "platform/console.h"

#include <algorithm>

#include "platform/text_utilities.h"

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

HANDLE handleOf(std::FILE* stream) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
}

// A pipe, a file or the NUL device has no console mode (isatty would call NUL a terminal).
bool isConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

}  // namespace
#endif

void writeText(std::FILE* stream, std::string_view text) {
#ifdef _WIN32
    const HANDLE handle = handleOf(stream);
    if (isConsole(handle)) {
        std::fflush(stream);  // what went out through the stream first stays first
        const std::u16string wide = utf16Text(validUtf8(text));
        // In pieces, as older consoles take at most some 64 KiB at once; a surrogate pair stays whole.
        constexpr std::size_t kPiece = 8192;
        for (std::size_t start = 0; start < wide.size();) {
            std::size_t count = std::min(kPiece, wide.size() - start);
            if (start + count < wide.size() && wide[start + count - 1] >= 0xD800 &&
                wide[start + count - 1] < 0xDC00)
                --count;
            DWORD written = 0;
            if (!WriteConsoleW(handle, reinterpret_cast<const wchar_t*>(wide.data() + start),
                               static_cast<DWORD>(count), &written, nullptr))
                return;
            start += count;
        }
        return;
    }
#endif
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

ConsoleLineMode consoleLineMode(bool isTerminal, bool isWindowsConsole, int consoleColumns) {
    if (isWindowsConsole)
        return consoleColumns > 1 ? ConsoleLineMode::CarriageReturn : ConsoleLineMode::LinePerStep;
    return isTerminal ? ConsoleLineMode::EscapeCodes : ConsoleLineMode::None;
}

std::string redrawnLine(std::string_view text, std::size_t& width, int columns) {
    const std::size_t room = columns > 1 ? static_cast<std::size_t>(columns - 1) : 0;
    std::size_t characters = 0;
    std::size_t end = 0;
    while (end < text.size() && characters < room) {
        nextCodePoint(text, end);
        ++characters;
    }
    std::string line = "\r" + std::string(text.substr(0, end));
    if (characters < width) line.append(width - characters, ' ');
    width = characters;
    return line;
}

std::optional<ConsoleLine> ConsoleLine::open(std::FILE* stream) {
#ifdef _WIN32
    const HANDLE handle = handleOf(stream);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    const bool console = isConsole(handle);
    const int columns = console && GetConsoleScreenBufferInfo(handle, &info) ? info.dwSize.X : 0;
    const ConsoleLineMode mode = consoleLineMode(false, console, columns);
#else
    const int columns = 0;
    const ConsoleLineMode mode = consoleLineMode(::isatty(fileno(stream)) != 0, false, columns);
#endif
    if (mode == ConsoleLineMode::None) return std::nullopt;
    return ConsoleLine(stream, mode, columns);
}

void ConsoleLine::show(std::string_view text) {
    switch (mode_) {
        case ConsoleLineMode::EscapeCodes:
            writeText(stream_, "\r\033[K" + std::string(text));
            break;
        case ConsoleLineMode::CarriageReturn:
            writeText(stream_, redrawnLine(text, shownWidth_, columns_));
            break;
        case ConsoleLineMode::LinePerStep:
            lastText_ = text;
            break;
        case ConsoleLineMode::None:
            break;
    }
}

void ConsoleLine::end() {
    if (mode_ == ConsoleLineMode::LinePerStep) {
        if (!lastText_.empty()) writeText(stream_, lastText_ + "\n");
        lastText_.clear();
        return;
    }
    writeText(stream_, "\n");
    shownWidth_ = 0;
}
