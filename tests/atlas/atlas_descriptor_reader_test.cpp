#include "atlas/atlas_descriptor_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/text_file.h"

TEST(AtlasDescriptorReader, FieldValueRule) {
    struct Case {
        const char* line;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"    <name> icon1 </name>", "icon1"},
        {"<name>icon1</name>", "icon1"},
        {"<name> a b </name>", "a b"},
        {"<name>    </name>", ""},
        {"<name>\ticon\t</name>", "\ticon\t"},  // only blanks are trimmed
        {"<name> open only", ""},               // closing marker missing
        {"</name> x <name> y", ""},             // closing marker before the value
        {"<name>a</name><name>b</name>", "a"},  // first occurrence only
        {"<x> 12 </x>", std::nullopt},          // another field
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(atlasFieldValue(c.line, "<name>", "</name>"), c.expected);
    }
}

TEST(AtlasDescriptorReader, EmitsWhenNameWidthAndHeightAreKnown) {
    AtlasDescriptorReader reader;
    EXPECT_FALSE(reader.readLine("<root>").entry);
    EXPECT_EQ(reader.readLine("<name> a </name>").foundName, "a");
    EXPECT_FALSE(reader.readLine("<x> $1A </x>").entry);
    EXPECT_FALSE(reader.readLine("<y> -3 </y>").entry);
    EXPECT_FALSE(reader.readLine("<width> 28 </width>").entry);
    const auto result = reader.readLine("<height>24</height>");
    ASSERT_TRUE(result.entry);
    EXPECT_EQ(result.entry->name, "a");
    EXPECT_EQ(result.entry->x, 26);
    EXPECT_EQ(result.entry->y, -3);
    EXPECT_EQ(result.entry->width, 28);
    EXPECT_EQ(result.entry->height, 24);

    // All fields on one line; a late x carries over into the next entry.
    const auto oneLine = reader.readLine("<name>b</name><width>1</width><height>2</height><x>5</x>");
    ASSERT_TRUE(oneLine.entry);
    EXPECT_EQ(oneLine.entry->x, 5);
    const auto late = reader.readLine("<name>c</name><width>1</width><height>2</height>");
    EXPECT_EQ(late.entry->x, -1);
    reader.readLine("<name>d</name><width>1</width><height>2</height>");
    reader.readLine("<x>9</x>");
    EXPECT_EQ(reader.readLine("<name>e</name><width>1</width><height>2</height>").entry->x, 9);

    // A negative width is never emitted; the next entry's fields overwrite it.
    EXPECT_FALSE(reader.readLine("<name>f</name><width>-1</width><height>2</height>").entry);
    EXPECT_EQ(reader.readLine("<name>g</name><width>3</width>").entry->name, "g");
    // An empty name still names an entry.
    EXPECT_EQ(reader.readLine("<name></name><width>3</width><height>1</height>").entry->name, "");
}

TEST(AtlasDescriptorReader, ReadsTheGamesOwnAtlasFiles) {
    const char* realdata = std::getenv("RAVELIN_REALDATA");
    if (!realdata || !std::filesystem::is_directory(realdata))
        GTEST_SKIP() << "real atlas files not available";
    int files = 0;
    for (const auto& file : std::filesystem::directory_iterator(realdata)) {
        // Only the atlases: the directory also holds the game's version.xml.
        if (file.path().extension() != ".xml" || file.path().stem().string().ends_with("-version")) continue;
        SCOPED_TRACE(file.path().filename().string());
        ++files;
        std::optional<TextFile> text = openTextFileForReading(file.path().string());
        ASSERT_TRUE(text);
        AtlasDescriptorReader reader;
        int subTextures = 0, names = 0, entries = 0;
        while (!atEndOfFile(*text)) {
            const std::string line = readLine(*text);
            if (line.find("<SubTexture>") != std::string::npos) ++subTextures;
            const auto result = reader.readLine(line);
            names += result.foundName ? 1 : 0;
            if (result.entry) {
                ++entries;
                EXPECT_GE(result.entry->x, 0);
                EXPECT_GE(result.entry->y, 0);
                EXPECT_GT(result.entry->width, 0);
            }
        }
        EXPECT_GT(subTextures, 0);
        EXPECT_EQ(names, subTextures);
        EXPECT_EQ(entries, subTextures);
    }
    EXPECT_EQ(files, 5);
}
