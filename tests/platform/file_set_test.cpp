#include "platform/file_set.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>

#include "platform/file_io.h"
#include "tests/support/scoped_file_size_limit.h"
#include "tests/support/scoped_working_directory.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

using Failure = FileSetOutcome::Failure;

// Three new files over "set/": a.xml and b.png replace older ones, c.dds is new.
struct FileSetTest : ::testing::Test {
    ScopedWorkingDirectory directory;
    std::vector<FileCopy> files{
        {"new/a.xml", "set/a.xml"}, {"new/b.png", "set/b.png"}, {"new/c.dds", "set/c.dds"}};

    void SetUp() override {
        fs::create_directories("new");
        fs::create_directories("set");
        writeFileText("new/a.xml", "new a");
        writeFileText("new/b.png", std::string(64 * 1024, 'b'));
        writeFileText("new/c.dds", "new c");
        writeFileText("set/a.xml", "old a");
        writeFileText("set/b.png", "old b");
    }
    std::map<std::string, std::string> installed() {
        std::map<std::string, std::string> content;
        for (const auto& entry : fs::directory_iterator("set"))
            content[entry.path().filename().string()] = readFileText(entry.path().string());
        return content;
    }
    const std::map<std::string, std::string> kBefore{{"a.xml", "old a"}, {"b.png", "old b"}};
};

}  // namespace

TEST_F(FileSetTest, ReplacesEveryFileKeepingModes) {
    fs::permissions("set/a.xml", fs::perms::owner_read | fs::perms::owner_write);
    const FileSetOutcome outcome = replaceFiles(files);
    ASSERT_TRUE(outcome.succeeded()) << outcome.path;
    EXPECT_EQ(installed(),
              (std::map<std::string, std::string>{
                  {"a.xml", "new a"}, {"b.png", std::string(64 * 1024, 'b')}, {"c.dds", "new c"}}));
#ifndef _WIN32  // Windows knows only read-only or not
    EXPECT_EQ(fs::status("set/a.xml").permissions(), fs::perms::owner_read | fs::perms::owner_write);
#endif
}

// Whatever fails, the set stays exactly as it was and no temporary file is left beside it.
TEST_F(FileSetTest, AnyFailureLeavesTheSetAsItWas) {
    struct Case {
        const char* name;
        std::function<bool()> arrange;  // false: the case cannot be made here
        Failure failure;
        std::string path;
        std::function<void()> undo = [] {};
    };
    std::unique_ptr<ScopedFileSizeLimit> limit;
    FileHandle held;
    const Case cases[] = {
        {"write-protected, even for root",
         [] {
             fs::permissions("set/b.png",
                             fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
             return true;
         },
         Failure::WriteProtected, "set/b.png", [] { fs::permissions("set/b.png", fs::perms::owner_all); }},
        {"missing source", [] { return fs::remove("new/c.dds"); }, Failure::SourceUnreadable, "new/c.dds",
         [] { writeFileText("new/c.dds", "new c"); }},
#ifndef _WIN32
        {"full disk part-way",
         [&] {
             limit = std::make_unique<ScopedFileSizeLimit>(1024);
             return true;
         },
         Failure::WriteFailed, "set/b.png", [&] { limit.reset(); }},
#else
        // The game holds its files open without leave to rename them: the first file, already in, goes back.
        {"second rename refused",
         [&] {
             held = openFile("set/b.png", "rb");
             return held != nullptr;
         },
         Failure::ReplaceFailed, "set/b.png", [&] { held.reset(); }},
#endif
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        if (!test.arrange()) continue;
        const FileSetOutcome outcome = replaceFiles(files);
        test.undo();
        EXPECT_EQ(outcome.failure, test.failure);
        EXPECT_EQ(outcome.path, test.path);
        EXPECT_EQ(installed(), kBefore);
    }
}
