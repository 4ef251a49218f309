#pragma once

// The modal dialogs: message boxes of the four kinds and the folder picker. Both are application-modal,
// so no other window of the program takes input while one is open.

#include <string>
#include <vector>

#include "ui/ui.h"
#include "ui/window_layout.h"

MessageAnswer showMessageBox(const std::string& title, const std::string& text, MessageKind kind);
// The build summary with OK and "Open folder"; true when "Open folder" was pressed.
SummaryBoxButton showSummaryBox(const BuildSummaryView& view);
void openFolderInFileManager(const std::string& folder);
// The chosen directory with a trailing separator, or the empty text when cancelled.
std::string chooseFolderDialog(const std::string& title, const std::string& initialDirectory);
// The icon packs and atlas XML files, or the one folder, chosen to import; empty when cancelled.
std::vector<std::string> chooseImportSourcesDialog(import_action::Choice choice);
