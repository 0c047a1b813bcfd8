// Process, window, screen-saver and folder helpers.
#include "Fixture.h"
#include "GlobalFunc.h"

namespace {

using Entry = platform::ProcessEntry;

class GlobalFuncTest : public HeadlessTest {};

TEST_F(GlobalFuncTest, FindProcessGivesTheLastMatchWhateverTheCase) {
  world->Processes = {{4, "System"}, {10, "rode.exe"}, {11, "C:\\Office\\POWERPNT.EXE"}, {12, "RODE.EXE"}};
  std::uint32_t id = 0;
  EXPECT_TRUE(FindProcess("rode.exe", id));
  EXPECT_EQ(id, 12u);
  EXPECT_TRUE(FindProcess("powerpnt.exe", id));
  EXPECT_EQ(id, 11u);
  id = 99;
  EXPECT_FALSE(FindProcess("notepad.exe", id));
  EXPECT_EQ(id, 99u) << "id written although nothing matched";
  world->SnapshotFails = true;
  EXPECT_FALSE(FindProcess("rode.exe", id));
}

TEST_F(GlobalFuncTest, KillProcessEndsEveryMatch) {
  world->Processes = {{10, "rode.exe"}, {11, "POWERPNT.EXE"}, {12, "Rode.exe"}};
  KillProcess("RODE.EXE");
  EXPECT_EQ(world->Terminated, (std::vector<std::uint32_t>{10, 12}));
  ASSERT_EQ(world->Processes.size(), 1u);
  EXPECT_EQ(world->Processes[0].ProcessId, 11u);
}

TEST_F(GlobalFuncTest, EncoderWindowIsTheFirstWindowOfTheEncoder) {
  world->Windows = {{0x100, 7}, {0x200, 12}, {0x300, 10}, {0x400, 12}};
  EXPECT_EQ(FindEncoderWindow(), 0u) << "no encoder runs";
  world->Processes = {{10, "rode.exe"}, {12, "rode.exe"}};
  EXPECT_EQ(FindEncoderWindow(), 0x200u);
  world->Processes = {{9, "rode.exe"}};
  EXPECT_EQ(FindEncoderWindow(), 0u) << "the encoder has no window";
}

TEST_F(GlobalFuncTest, ScreenSaverIsSwitchedOnAfterwardsWhateverItWasBefore) {
  world->ScreenSaverActive = true;
  DisableScreenSaver();
  EXPECT_FALSE(world->ScreenSaverActive);
  EnableScreenSaver();
  EXPECT_TRUE(world->ScreenSaverActive);
  world->ScreenSaverActive = false;
  DisableScreenSaver();
  EnableScreenSaver();
  EXPECT_TRUE(world->ScreenSaverActive);
}

TEST_F(GlobalFuncTest, SpecialFolderIsCreatedOnlyWhenAsked) {
  world->SpecialFolders[platform::CsidlPersonal] = "C:\\Fresh\\Documents";
  EXPECT_EQ(GetSpecialFolder(platform::CsidlPersonal, false), "C:\\Fresh\\Documents");
  EXPECT_FALSE(Exists("C:\\Fresh\\Documents"));
  EXPECT_EQ(GetSpecialFolder(platform::CsidlPersonal, true), "C:\\Fresh\\Documents");
  EXPECT_TRUE(Exists("C:\\Fresh\\Documents"));
  EXPECT_EQ(GetSpecialFolder(0x26, false), "") << "a folder the shell does not know";
}

TEST_F(GlobalFuncTest, DeleteFolderRemovesFilesButDoesNotRecurse) {
  WriteFile("C:\\Job\\video.avi", "v");
  WriteFile("C:\\Job\\.hidden", "h");
  world->FileAttributes["C:\\JOB\\.HIDDEN"].Hidden = true;
  WriteFile("C:\\Job\\temp\\vtemp.m2v", "t");
  EXPECT_TRUE(DeleteFolder("C:\\Job"));
  EXPECT_FALSE(Exists("C:\\Job\\video.avi"));
  EXPECT_FALSE(Exists("C:\\Job\\.hidden"));
  EXPECT_TRUE(Exists("C:\\Job\\temp\\vtemp.m2v")) << "went into the sub-folder";
  EXPECT_TRUE(Exists("C:\\Job"));
  // The callers' order: the temp folder first, then the job folder.
  EXPECT_TRUE(DeleteFolder("C:\\Job\\temp"));
  EXPECT_TRUE(DeleteFolder("C:\\Job"));
  EXPECT_FALSE(Exists("C:\\Job"));
}

TEST_F(GlobalFuncTest, DeleteFolderSkipsWhatCannotBeDeletedAndAlwaysAnswersTrue) {
  WriteFile("C:\\Job\\locked.txt", "r");
  world->FileAttributes["C:\\JOB\\LOCKED.TXT"].ReadOnly = true;
  WriteFile("C:\\Job\\b.txt", "b");
  EXPECT_TRUE(DeleteFolder("C:\\Job"));
  EXPECT_TRUE(Exists("C:\\Job\\locked.txt"));
  EXPECT_FALSE(Exists("C:\\Job\\b.txt"));
  EXPECT_TRUE(DeleteFolder(""));
  EXPECT_TRUE(DeleteFolder("C:\\Nowhere"));
}

TEST_F(GlobalFuncTest, FoldersAreTheSameWhateverTheCaseOfTheirPath) {
  WriteFile("C:\\Out\\Job\\video.avi", "v");
  EXPECT_TRUE(platform::Files().DirectoryExists("c:\\OUT\\job"));
  EXPECT_TRUE(platform::Files().CreateDir("c:\\out\\Second"));
  EXPECT_TRUE(Exists("C:\\Out\\Second")) << "a second folder made beside the first instead of inside it";
  EXPECT_TRUE(DeleteFolder("C:\\OUT\\JOB"));
  EXPECT_FALSE(Exists("C:\\Out\\Job"));
}

}  // namespace
