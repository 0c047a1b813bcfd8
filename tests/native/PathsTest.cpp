// Windows path parts on single- and double-byte code pages, and integer texts at the
// edges of 32 bits.
#include <climits>

#include "Fixture.h"
#include "vcl/SysUtils.h"

namespace {

using PathsTest = HeadlessTest;

TEST_F(PathsTest, PartsAreFoundCharacterByCharacter) {
  struct Case {
    const char* Name;
    int CodePage;
    const char* Path;
    const char* FileName;
    const char* Dir;
    const char* Drive;
    bool EndsWithDelimiter;
  };
  // On code page 932 the character U+8868 is 0x95 0x5C: its trail byte has the value of "\".
  for (const Case& c : {
           Case{"plain", 1252, "C:\\Talks\\deck.pptx", "deck.pptx", "C:\\Talks", "C:", false},
           Case{"drive root", 1252, "D:\\", "", "D:\\", "D:", true},
           Case{"share", 1252, "\\\\srv\\share\\v\\a.avi", "a.avi", "\\\\srv\\share\\v", "\\\\srv\\share", false},
           Case{"western bytes stay single", 1252, "D:\\\x95\x5C", "", "D:\\\x95", "D:", true},
           Case{"double-byte name", 932, "C:\\Talks\\\x94\xAD\x95\x5C.pptx", "\x94\xAD\x95\x5C.pptx", "C:\\Talks", "C:",
                false},
           Case{"double-byte folder", 932, "D:\\\x94\xAD\x95\x5C", "\x94\xAD\x95\x5C", "D:\\", "D:", false},
           Case{"double-byte folder and delimiter", 932, "D:\\\x94\xAD\x95\x5C\\", "", "D:\\\x94\xAD\x95\x5C", "D:",
                true},
           Case{"double-byte share", 932, "\\\\\x95\x5C\\s\\x", "x", "\\\\\x95\x5C\\s", "\\\\\x95\x5C\\s", false},
       }) {
    SCOPED_TRACE(c.Name);
    world->CodePage = c.CodePage;
    EXPECT_EQ(vcl::ExtractFileName(c.Path), c.FileName);
    EXPECT_EQ(vcl::ExtractFileDir(c.Path), c.Dir);
    EXPECT_EQ(vcl::ExtractFileDrive(c.Path), c.Drive);
    EXPECT_EQ(vcl::EndsWithPathDelimiter(c.Path), c.EndsWithDelimiter);
    EXPECT_EQ(vcl::HasMultiByteCharacters(c.Path), c.CodePage == 932);
  }
}

TEST_F(PathsTest, IntegerTextsAtTheEdges) {
  struct Case {
    const char* Text;
    bool Valid;
    int Value;
  };
  for (const Case& c : {Case{"2147483647", true, INT_MAX}, Case{"-2147483648", true, INT_MIN},
                        Case{"2147483648", false, 0}, Case{"$7FFFFFFF", true, INT_MAX},
                        Case{"$FFFFFFFF", true, -1}, Case{"-$80000000", true, INT_MIN}, Case{"-$1", true, -1},
                        Case{"0x100000000", false, 0}, Case{" 12", true, 12}, Case{"12 ", false, 0}}) {
    SCOPED_TRACE(c.Text);
    int value = 0;
    EXPECT_EQ(vcl::TryStrToInt(c.Text, value), c.Valid);
    if (c.Valid) EXPECT_EQ(value, c.Value);
  }
}

}  // namespace
