#pragma once

#include <string>

struct Context;

// The game's client version: the text between "<client_ver>" and "</client_ver>" (any letter case) on the
// first line of wotInstallDir + "WoTLauncher.cfg" that holds the opening marker, untrimmed. The empty
// text when the file cannot be read (logged as an error) or holds no such line.
std::string readClientVersion(Context& context);
