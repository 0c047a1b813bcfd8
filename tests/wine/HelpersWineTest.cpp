// The process, folder and configuration helpers against real Win32.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "GlobalFunc.h"
#include "WineSupport.h"
#include "platform/win32/Win32Platform.h"
#include "vcl/IniFiles.h"

using namespace winetest;

namespace {

class Helpers : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { platform::InstallPlatform(platform::win32::MakeServices()); }
  static void TearDownTestSuite() { platform::InstallPlatform({}); }

  // A fresh folder under the temp folder, named after the test.
  std::string Scratch() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string dir = std::string(temp) + "slidecaster-" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
  }
  static void Write(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    std::ofstream(path) << "x";
    SetFileAttributesA(path.c_str(), attributes);
  }
  static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
};

TEST_F(Helpers, FindAndKillProcessesByName) {
  const std::string idler = BinFolder() + "\\testhelpers\\idler.exe";
  Process a = Launch(idler), b = Launch(idler);
  ASSERT_TRUE(a.Handle && b.Handle);
  std::uint32_t id = 0;
  ASSERT_TRUE(WaitUntil([&] { return FindProcess("IDLER.EXE", id) && id == b.Id; }, 5000))
      << "expected the later process " << b.Id << ", got " << id;
  id = 0;
  EXPECT_TRUE(FindProcess("idler.exe", id)) << "a lower-case name did not match";
  EXPECT_EQ(id, b.Id);

  KillProcess("idler.exe");
  HANDLE both[2] = {a.Handle, b.Handle};
  EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 10000), WAIT_OBJECT_0) << "not every match ended";
  DWORD code = 99;
  GetExitCodeProcess(a.Handle, &code);
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(FindProcess("idler.exe", id));
  a.Close();
  b.Close();
}

TEST_F(Helpers, DeleteFolderLeavesSubFoldersAndWhatCannotBeDeleted) {
  const std::string dir = Scratch();
  Write(dir + "\\video.avi");
  Write(dir + "\\hidden.dat", FILE_ATTRIBUTE_HIDDEN);
  Write(dir + "\\system.dat", FILE_ATTRIBUTE_SYSTEM);
  Write(dir + "\\locked.txt", FILE_ATTRIBUTE_READONLY);
  CreateDirectoryA((dir + "\\temp").c_str(), nullptr);
  Write(dir + "\\temp\\vtemp.m2v");

  EXPECT_TRUE(DeleteFolder(dir));
  EXPECT_FALSE(Exists(dir + "\\video.avi"));
  EXPECT_FALSE(Exists(dir + "\\hidden.dat"));
  EXPECT_FALSE(Exists(dir + "\\system.dat"));
  EXPECT_TRUE(Exists(dir + "\\locked.txt")) << "a read-only file cannot be deleted";
  EXPECT_TRUE(Exists(dir + "\\temp\\vtemp.m2v")) << "went into the sub-folder";

  SetFileAttributesA((dir + "\\locked.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(DeleteFolder(dir + "\\temp"));
  EXPECT_TRUE(DeleteFolder(dir));
  EXPECT_FALSE(Exists(dir));
  EXPECT_TRUE(DeleteFolder(dir)) << "a missing folder";
}

TEST_F(Helpers, SpecialFoldersAreTheUsersDocumentsAndLocalData) {
  char profile[MAX_PATH] = {};
  GetEnvironmentVariableA("USERPROFILE", profile, MAX_PATH);
  const std::string documents = GetSpecialFolder(platform::CsidlPersonal, false);
  const std::string local = GetSpecialFolder(platform::CsidlLocalAppData, false);
  EXPECT_EQ(documents, std::string(profile) + "\\Documents");
  EXPECT_EQ(local, std::string(profile) + "\\AppData\\Local");
  EXPECT_TRUE(platform::Files().DirectoryExists(documents));
  EXPECT_TRUE(platform::Files().DirectoryExists(local));
}

TEST_F(Helpers, PrivateProfileRoundTrip) {
  const std::string file = Scratch() + "\\Config.ini";
  DeleteFileA(file.c_str());
  vcl::TIniFile ini(file);
  EXPECT_EQ(ini.ReadString("Global", "OutputPath", "none"), "none") << "a missing file reads as empty";
  ini.WriteString("Global", "OutputPath", "C:\\Out");
  ini.WriteInteger("Global", "AutoSlideTime", 30);
  ini.WriteBool("Global", "AutoStop", false);
  ini.WriteString("AVI", "Resolution", "640*480");
  ini.WriteString("Global", "OutputPath", "D:\\Video");
  EXPECT_EQ(ini.ReadString("global", "outputpath", ""), "D:\\Video");
  EXPECT_EQ(ini.ReadInteger("Global", "AutoSlideTime", 5), 30);
  EXPECT_FALSE(ini.ReadBool("Global", "AutoStop", true));
  EXPECT_EQ(ini.ReadInteger("AVI", "Resolution", 5), 5) << "not an integer";
  // The headless backend writes the same text.
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            "[Global]\r\nOutputPath=D:\\Video\r\nAutoSlideTime=30\r\nAutoStop=0\r\n[AVI]\r\nResolution=640*480\r\n");

  vcl::TIniFile nowhere("Q:\\no such drive\\Config.ini");
  EXPECT_THROW(nowhere.WriteString("Global", "OutputPath", "x"), vcl::EIniFileException);
}

TEST_F(Helpers, NoLeadBytesInCodePage1252) {
  ASSERT_EQ(GetACP(), 1252u) << "the tests pin code page 1252";
  for (unsigned char byte : {static_cast<unsigned char>('A'), static_cast<unsigned char>('\\')})
    EXPECT_FALSE(platform::System().IsLeadByte(byte)) << static_cast<int>(byte);
}

}  // namespace
