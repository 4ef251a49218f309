#include "platform/file_set.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>

#include "platform/file_io.h"
#include "platform/pending_files.h"
#include "tests/support/scoped_file_size_limit.h"
#include "tests/support/scoped_working_directory.h"
#include "tests/support/test_context.h"
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

// Files of one step held back until all are written: dropped, they leave every earlier file; put in
// place, they replace, add and remove as one; a protected file is refused when it is added.
TEST(PendingFiles, GoInTogetherOrNotAtAll) {
    TestContext t;
    fs::create_directories("empty");
    writeFileText("old.xml", "old xml");
    writeFileText("old.png", "old png");
    const auto write = [](PendingFiles& pending, const std::string& path, OutputFile::Mode mode) {
        std::optional<OutputFile> file = OutputFile::open(path, mode);
        file->write("new " + path);
        return file->finishWriting() && pending.add(std::move(*file));
    };
    const auto fill = [&](PendingFiles& pending) {
        EXPECT_TRUE(write(pending, "old.xml", OutputFile::Mode::Replace));
        EXPECT_TRUE(write(pending, "empty/icon.png", OutputFile::Mode::Truncate));  // in place
        pending.removeWithTheRest("old.png");
        // What a reader of the step sees, by either spelling of the path.
        EXPECT_EQ(readFileText(pending.currentPath(t.directory.text() + "old.xml")), "new old.xml");
        EXPECT_EQ(pending.currentPath("old.png"), "");
        EXPECT_EQ(pending.currentPath("other.dat"), "other.dat");
    };
    const Snapshot before = snapshotOf(".");
    {
        PendingFiles dropped;
        fill(dropped);
        dropped.noteWriteFailure();
        EXPECT_TRUE(dropped.writeFailed());
    }
    EXPECT_EQ(snapshotOf("."), before);  // nor any temporary file

    PendingFiles pending;
    fill(pending);
    fs::permissions("old.xml", fs::perms::owner_read);
    EXPECT_FALSE(write(pending, "old.xml", OutputFile::Mode::Replace));
    EXPECT_TRUE(pending.writeFailed());
    fs::permissions("old.xml", fs::perms::owner_all);
    EXPECT_TRUE(pending.putInPlace(t.reporter));
    const std::string icon = (fs::path("empty") / "icon.png").string();
    EXPECT_EQ(snapshotOf("."), (Snapshot{{"old.xml", "new old.xml"}, {icon, "new empty/icon.png"}}));
}
