#include "platform/form.h"

#include <array>

#include <gtest/gtest.h>

#include "platform/test_support.h"

namespace jumblix::testing {
namespace {

TEST(TextBox, TypingStopsAtTheLimitButTheProgramMaySetLongerTexts) {
  TextBox box("Text1", "", 2, {});
  EXPECT_TRUE(box.type_char('2'));
  EXPECT_TRUE(box.type_char('5'));
  EXPECT_FALSE(box.type_char('7'));
  EXPECT_EQ(box.text(), "25");
  box.set_text("12345");
  EXPECT_FALSE(box.type_char('6'));
  EXPECT_EQ(box.text(), "12345");
  TextBox unlimited("Text3", "12345", 0, {});
  EXPECT_TRUE(unlimited.type_char('6'));
}

TEST(OptionButton, OneSelectedPerGroup) {
  OptionGroup colours, other;
  OptionButton a("Option1", colours, {}), b("Option2", colours, {}), elsewhere("Option9", other, {});
  elsewhere.set_value(true);
  a.set_value(true);
  b.set_value(true);
  EXPECT_EQ((std::array{a.value(), b.value(), elsewhere.value()}), (std::array{false, true, true}));
}

TEST(FileListBox, ListsBitmapFilesInAnyLetterCaseSorted) {
  TempDir dir;
  for (const char* name : {"b.bmp", "notes.txt", "A.BMP", "c.Bmp", "d.bmp.txt"}) dir.write(name, "x");
  std::filesystem::create_directory(dir.file("x.bmp"));
  FileListBox list("File1", "*.bmp", {});
  list.set_folder(dir.path());
  EXPECT_EQ(list.entries(), (std::vector<std::string>{"A.BMP", "b.bmp", "c.Bmp"}));
  EXPECT_EQ(list.selected(), -1);
  EXPECT_EQ(list.entry(-1), "");
  EXPECT_EQ(list.entry(3), "");
  list.set_folder(dir.file("no such folder"));
  EXPECT_EQ(list.count(), 0);
}

}  // namespace
}  // namespace jumblix::testing
