#pragma once

// Which language the user's texts are shown in, chosen once at start in the working directory: the code
// of --lang when given, else the "language" of ravelin.conf when the user set one, else the system's.
// The log, ravelin.conf and file names stay English whatever is chosen.

#include <optional>
#include <string>
#include <vector>

// --lang CODE or --lang=CODE among the program's words; none when not given.
std::optional<std::string> languageOption(int argc, char** argv);

// Returns the language chosen ("en" when English, also for a language without a catalogue).
// systemLanguages: most wanted first, as the toolkit or the environment names them.
std::string chooseProgramLanguage(const std::optional<std::string>& option,
                                  const std::vector<std::string>& systemLanguages);
