#pragma once

// The program's UTF-8 text and Windows' UTF-16 text.

#include <string>
#include <string_view>

std::wstring wideText(std::string_view utf8);
std::string utf8Text(std::wstring_view wide);
