#include <gtest/gtest.h>

#include "ui/folder_picker_start.h"

TEST(FolderPickerStart, KeepsAtMost259CharactersAndADriveRootsSeparator) {
    EXPECT_EQ(folderPickerStart("C:\\Program Files (x86)"), "C:\\Program Files (x86)");
    EXPECT_EQ(folderPickerStart("C:\\Games\\"), "C:\\Games");
    EXPECT_EQ(folderPickerStart("/home/modder/"), "/home/modder");
    EXPECT_EQ(folderPickerStart("C:\\"), "C:\\");
    EXPECT_EQ(folderPickerStart("é\\"), "é\\");  // two characters, though three bytes
    EXPECT_EQ(folderPickerStart(""), "");
    EXPECT_EQ(folderPickerStart(std::string(300, 'a')), std::string(259, 'a'));
    // Characters, not bytes, count; one beyond the basic plane counts twice and is never cut in half.
    EXPECT_EQ(folderPickerStart("C:\\" + std::string(300, 'e') + "é"), "C:\\" + std::string(256, 'e'));
    EXPECT_EQ(folderPickerStart(std::string(258, 'a') + "\xF0\x9F\x98\x80"), std::string(258, 'a'));
    EXPECT_EQ(folderPickerStart(std::string(257, 'a') + "€\\"), std::string(257, 'a') + "€");
}
