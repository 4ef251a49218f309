#pragma once

// Files and folders dropped onto a window (DragAcceptFiles, WM_DROPFILES).

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

// The dropped paths in the order Windows lists them; the drop's memory is released.
std::vector<std::string> takeDroppedFiles(HDROP drop);
