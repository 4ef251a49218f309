#pragma once

// The console ravelin-cli writes to. Its text is UTF-8 on every platform; a Windows console is handed it
// as UTF-16, so every character shows whatever the console's code page.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

void useUtf8Console();

// Writes UTF-8 text to the stream: through WriteConsoleW where the stream is a Windows console, else as
// the bytes they are.
void writeText(std::FILE* stream, std::string_view text);

// How a line that is rewritten in place (the progress line) is drawn on a stream.
enum class ConsoleLineMode {
    None,            // a pipe or a file: not drawn at all
    EscapeCodes,     // a terminal: "\r", "ESC[K" and the text
    CarriageReturn,  // a Windows console: "\r" and the text, cut to the width and padded over the last one
    LinePerStep,     // a Windows console of unknown width: the text a step ends with, on a line of its own
};
// A Windows console gets no escape codes: Wine's says it turned virtual-terminal processing on and still
// prints them as they are.
ConsoleLineMode consoleLineMode(bool isTerminal, bool isWindowsConsole, int consoleColumns);

// What redraws a console line over one as wide as shownWidth: "\r", the text cut to fit in the columns
// (one character kept free, so the line never wraps), blanks over what is left of the old one. width
// becomes the new text's width, in characters.
std::string redrawnLine(std::string_view text, std::size_t& width, int columns);

// A line of a console or terminal that is rewritten in place, such as a progress line.
class ConsoleLine {
public:
    // None when the stream is not a console or terminal.
    static std::optional<ConsoleLine> open(std::FILE* stream);
    // A line drawn in the mode given, whatever the stream is.
    static ConsoleLine drawnAs(std::FILE* stream, ConsoleLineMode mode, int columns = 80) {
        return ConsoleLine(stream, mode, columns);
    }

    // Replaces what the line shows.
    void show(std::string_view text);
    // What comes next starts on a line of its own.
    void end();

private:
    ConsoleLine(std::FILE* stream, ConsoleLineMode mode, int columns)
        : stream_(stream), mode_(mode), columns_(columns) {}

    std::FILE* stream_;
    ConsoleLineMode mode_;
    int columns_;
    std::size_t shownWidth_ = 0;
    std::string lastText_;  // one line per step: what end() writes
};
