#pragma once

// The console ravelin-cli writes to. Its text is UTF-8 on every platform: Windows needs to be told so
// before the first output.

#include <cstdio>
#include <optional>
#include <string_view>

void useUtf8Console();

// A line of a console or terminal that is rewritten in place, such as a progress line. A terminal (and a
// Windows console whose virtual-terminal processing could be turned on) gets "\r" and "ESC[K"; a classic
// Windows console is redrawn through the console functions. A pipe or a file gets none, so no escape
// code ever lands in one.
class ConsoleLine {
public:
    // None when the stream is not a console or terminal.
    static std::optional<ConsoleLine> open(std::FILE* stream);
    // A line drawn with "\r" and "ESC[K" whatever the stream is.
    static ConsoleLine withEscapeCodes(std::FILE* stream) { return ConsoleLine(stream, true); }

    // Replaces what the line shows.
    void show(std::string_view text);
    // What comes next starts on a line of its own.
    void end();

private:
    ConsoleLine(std::FILE* stream, bool escapeCodes) : stream_(stream), escapeCodes_(escapeCodes) {}

    std::FILE* stream_;
    bool escapeCodes_;
};
