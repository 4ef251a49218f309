#pragma once

// What every fuzz target shares: a sandbox directory whose "work" subdirectory is the working directory,
// a Ui that answers nothing, and the check that nothing was written beside the working directory.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/context.h"
#include "app/event_log.h"
#include "app/settings.h"
#include "ui/ui.h"

class SilentUi : public Ui {
public:
    MessageAnswer showMessage(const std::string&, const std::string&, MessageKind) override {
        return MessageAnswer::No;
    }
    std::string chooseFolder(const std::string&, const std::string&) override { return {}; }
    int chooseInstallation(const std::vector<std::string>&) override { return kChoseNothing; }
    void openProgressWindow(const std::string&) override {}
    void setProgressText(const std::string&) override {}
    void setProgressBar(int) override {}
    void closeProgressWindow() override {}
};

// What one run of an operation needs; the log stays in memory.
struct FuzzContext {
    SilentUi ui;
    Settings settings;
    EventLog log;
    Context context{settings, log, ui};
};

// Creates the sandbox once per process and enters its "work" directory.
const std::filesystem::path& fuzzSandbox();
// The working directory as the program writes it, with a trailing separator.
std::string workingDirectoryText();
// Aborts (a finding) when anything but "work" and "game" appears in the sandbox.
void checkNothingWrittenOutside();
// Empties a directory of the working directory, creating it when missing.
void resetDirectory(const std::string& name);
std::string_view asText(const std::uint8_t* data, std::size_t size);
