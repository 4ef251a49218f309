#include <gtest/gtest.h>

#include <string>

#include "platform/file_io.h"
#include "tests/support/scoped_working_directory.h"
#include "tests/support/test_files.h"

// Writes of every size against a small buffer, in each mode, give exactly the bytes in their order: some
// fill the buffer, some cross it, some are larger than it and go straight to the file.
TEST(OutputFile, WritesOfEverySizeAgainstItsBufferKeepTheirOrder) {
    ScopedWorkingDirectory directory;
    const std::vector<std::size_t> sizes = {3, 3, 2, 1, 8, 20, 0, 7, 9, 1};
    for (const OutputFile::Mode mode :
         {OutputFile::Mode::Replace, OutputFile::Mode::Truncate, OutputFile::Mode::Append}) {
        for (const std::size_t bufferSize : {std::size_t{0}, std::size_t{8}, std::size_t{65536}}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(mode)) + " " + std::to_string(bufferSize));
            writeFileText("out.bin", "old");
            std::optional<OutputFile> file = OutputFile::open("out.bin", mode, bufferSize);
            ASSERT_TRUE(file);
            std::string written = mode == OutputFile::Mode::Append ? "old" : "";
            char next = 'a';
            for (const std::size_t size : sizes) {
                std::string chunk;
                for (std::size_t i = 0; i < size; ++i, next = next == 'z' ? 'a' : static_cast<char>(next + 1))
                    chunk += next;
                file->write(chunk);
                written += chunk;
            }
            // Until it is finished a replacement leaves the old file as it was.
            if (mode == OutputFile::Mode::Replace) {
                EXPECT_EQ(readFileText("out.bin"), "old");
            }
            EXPECT_TRUE(file->finish());
            EXPECT_EQ(readFileText("out.bin"), written);
        }
    }
}
