#include "platform/text_file.h"

#include <gtest/gtest.h>

#include "tests/support/scoped_working_directory.h"
#include "tests/support/test_files.h"

namespace {

std::vector<std::string> readAllLines(const std::string& path) {
    std::optional<TextFile> file = openTextFileForReading(path);
    EXPECT_TRUE(file.has_value());
    std::vector<std::string> lines;
    while (file && !atEndOfFile(*file)) lines.push_back(readLine(*file));
    return lines;
}

}  // namespace

TEST(TextFile, WritesUtf8LinesWithCrLfAndNoByteOrderMark) {
    ScopedWorkingDirectory directory;
    std::optional<TextFile> file = createTextFile("out.txt");
    ASSERT_TRUE(file);
    writeLine(*file, "a");
    writeLine(*file, "é");
    writeLine(*file, "");
    EXPECT_TRUE(closeTextFile(*file));
    EXPECT_EQ(readFileText("out.txt"), "a\r\n\xC3\xA9\r\n\r\n");
}

TEST(TextFile, ReadsEveryKindOfLineEnd) {
    ScopedWorkingDirectory directory;
    writeFileText("in.txt", std::string("cr\rlf\ncrlf\r\nnul") + '\0' + "last");
    EXPECT_EQ(readAllLines("in.txt"), (std::vector<std::string>{"cr", "lf", "crlf", "nul", "last"}));
}

TEST(TextFile, KeepsByteOrderMarkAndReplacesMalformedBytes) {
    ScopedWorkingDirectory directory;
    // BOM; a stray continuation byte; a lead byte cut short by "x"; an overlong form; a surrogate; a
    // 4-byte character; a lead byte cut off by the end of the file.
    writeFileText("in.txt", "\xEF\xBB\xBFhi\n\x80x\xC3x\xC0\xAF\xED\xA0\x80\xF0\x9F\x98\x80\n\xE2\x82");
    const auto lines = readAllLines("in.txt");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "\xEF\xBB\xBFhi");
    EXPECT_EQ(lines[1], "?x?x?????\xF0\x9F\x98\x80");
    EXPECT_EQ(lines[2], "?");
}

TEST(TextFile, CrLfSplitAcrossTheBufferIsOneLineEnd) {
    ScopedWorkingDirectory directory;
    const std::string first(4095, 'a');
    writeFileText("in.txt", first + "\r\nb");
    EXPECT_EQ(readAllLines("in.txt"), (std::vector<std::string>{first, "b"}));
}

TEST(TextFile, EndOfFileAndMissingFiles) {
    ScopedWorkingDirectory directory;
    writeFileText("in.txt", "only");
    std::optional<TextFile> file = openTextFileForReading("in.txt");
    ASSERT_TRUE(file);
    EXPECT_EQ(readLine(*file), "only");
    EXPECT_TRUE(atEndOfFile(*file));
    EXPECT_EQ(readLine(*file), "");
    EXPECT_FALSE(openTextFileForReading("missing.txt"));
    EXPECT_FALSE(createTextFile("no-such-dir/out.txt"));
}

TEST(TextFile, AppendAddsToTheEnd) {
    ScopedWorkingDirectory directory;
    writeFileText("log.txt", "one\r\n");
    std::optional<TextFile> file = openTextFile("log.txt", true);
    ASSERT_TRUE(file);
    writeLine(*file, "two");
    closeTextFile(*file);
    EXPECT_EQ(readFileText("log.txt"), "one\r\ntwo\r\n");
}

TEST(TextFile, ReplacementKeepsTheOldFileUntilClosedAndOnFailure) {
    ScopedWorkingDirectory directory;
    writeFileText("data.txt", "old\r\n");
    {
        std::optional<TextFile> file = createReplacementTextFile("data.txt");
        ASSERT_TRUE(file);
        writeLine(*file, "new");
        EXPECT_EQ(readFileText("data.txt"), "old\r\n");
        // Dropped without closing: the old file stays and no temporary file is left behind.
    }
    EXPECT_EQ(readFileText("data.txt"), "old\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()),
              1);

    std::optional<TextFile> file = createReplacementTextFile("data.txt");
    ASSERT_TRUE(file);
    writeLine(*file, "new");
    EXPECT_TRUE(closeTextFile(*file));
    EXPECT_EQ(readFileText("data.txt"), "new\r\n");
}

TEST(TextFile, FailedWritesAreReportedAtClose) {
    std::optional<TextFile> file = openTextFile("/dev/full", false);
    if (!file) GTEST_SKIP() << "/dev/full is not available";
    writeLine(*file, std::string(10000, 'x'));
    EXPECT_FALSE(closeTextFile(*file));
}
