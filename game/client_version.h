#pragma once

#include <string>

class Reporter;

// The game's client version: the text between "<client_ver>" and "</client_ver>" (any letter case) on the
// first line of installDirectory + "WoTLauncher.cfg" that holds the opening marker, untrimmed. The empty
// text when the file cannot be read (reported as an error) or holds no such line.
std::string readClientVersion(const std::string& installDirectory, Reporter& reporter);
