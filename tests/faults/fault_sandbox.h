#pragma once

// A sandbox holding the game and the working directory "work", which is the process's working directory:
// what the fault tests start from.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/fake_game_install.h"
#include "tests/support/scoped_working_directory.h"

struct FaultSandbox : ::testing::Test {
    ScopedWorkingDirectory sandbox;
    FakeGameInstall game{sandbox.path() / "game", smallGameWithAtlases("1.0")};
    std::filesystem::path work = sandbox.path() / "work";

    void SetUp() override {
        std::filesystem::create_directory(work);
        std::filesystem::current_path(work);
    }
};
