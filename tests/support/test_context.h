#pragma once

// Everything an operation of the program needs, in a fresh working directory of its own.

#include <string>
#include <vector>

#include "app/context.h"
#include "app/event_log.h"
#include "app/settings.h"
#include "tests/support/scoped_working_directory.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_files.h"

struct TestContext {
    ScopedWorkingDirectory directory;
    ScriptedUi ui;
    Settings settings;
    EventLog log;
    Context context{settings, log, ui};
    Reporter& reporter = context.reporter;

    // The log entries so far, without their stamps.
    std::vector<std::string> entries() const { return unstampedLines(log.pendingEntries()); }
    // Sets the directory fields the way a first start in this working directory does.
    void useWorkingDirectoryLayout();
};
