// The capture window before any conversion: its frame, its shared state, its auto-stop
// setting and the free-space query.
#include "CapForm.h"
#include "Fixture.h"
#include "vcl/SysUtils.h"

namespace {

class CapFormTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    ConfigFile = "C:\\Data\\Config.ini";
    MakeDir("C:\\Data");
  }
  void Start() {
    vcl::Application.CreateForm(main_);
    vcl::Application.CreateForm(Form_cap);
  }

 private:
  vcl::TForm* main_ = nullptr;
};

TEST_F(CapFormTest, DriveFreeMegabytesOfAPathsDrive) {
  world->DiskFreeBytes["C:"] = 5 * 1048576ull + 1048575;
  world->DiskFreeBytes["D:"] = 3ull << 40;  // 3 TB
  struct Case {
    const char* Path;
    std::int32_t MB;
  };
  const Case cases[] = {{"C:\\Out", 5},          {"c:\\out\\job", 5},  {"D:\\", 3 << 20},
                        {"\\\\server\\share\\Out", 0}, {"Q:\\Out", 0}, {"1:\\Out", 0}};
  for (const Case& c : cases) EXPECT_EQ(DriveFreeMB(c.Path), c.MB) << c.Path;
  for (const char* path : {"", "Out\\Job"}) EXPECT_THROW(DriveFreeMB(path), vcl::Exception) << path;
}

TEST_F(CapFormTest, AutoStopIsTickedOnFirstStartAndSurvivesRestarts) {
  Start();
  EXPECT_EQ(Form_cap->CheckBox_autostop->Caption(), "Auto stop(Disk free size <= 100MB)");
  EXPECT_TRUE(Form_cap->CheckBox_autostop->Checked());
  Form_cap->CheckBox_autostop->Click();
  vcl::Application.DestroyForms();
  EXPECT_EQ(ReadFile(ConfigFile), "[Global]\r\nAutoStop=0\r\n");
  Start();
  EXPECT_FALSE(Form_cap->CheckBox_autostop->Checked());
  Form_cap->CheckBox_autostop->Click();
  vcl::Application.DestroyForms();
  Start();
  EXPECT_TRUE(Form_cap->CheckBox_autostop->Checked());
}

TEST_F(CapFormTest, DoneEventStartsSetAndStaysSetUntilReset) {
  Start();
  ASSERT_TRUE(CaptureDoneEvent);
  EXPECT_TRUE(CaptureDoneEvent->WaitFor(0));
  EXPECT_TRUE(CaptureDoneEvent->WaitFor(0)) << "manual reset";
  CaptureDoneEvent->ResetEvent();
  EXPECT_FALSE(CaptureDoneEvent->WaitFor(0));
  vcl::Application.DestroyForms();
  EXPECT_FALSE(CaptureDoneEvent);
}

TEST_F(CapFormTest, RefusesToCloseWhileLockedAndSwitchesTheScreenSaverBackOnWhenHidden) {
  Start();
  Form_cap->OnShow = nullptr;  // shown here without a conversion
  Form_cap->Show();
  world->ScreenSaverActive = false;
  Form_cap->CloseLocked = true;
  Form_cap->Close();
  EXPECT_TRUE(Form_cap->Visible());
  EXPECT_FALSE(world->ScreenSaverActive);
  Form_cap->CloseLocked = false;
  Form_cap->Close();
  EXPECT_FALSE(Form_cap->Visible());
  EXPECT_TRUE(world->ScreenSaverActive);
}

TEST_F(CapFormTest, ButtonPanelSitsBelowTheBlackAreaWithTheDisabledCapturePanel) {
  widgets->PageBorder = 3;
  Start();
  const TForm_cap& cap = *Form_cap;
  EXPECT_FALSE(cap.TabSheet_cap->TabVisible);
  EXPECT_FALSE(cap.TabSheet_progress->TabVisible);
  EXPECT_EQ(cap.PageControl1->ActivePage(), cap.TabSheet_cap);
  EXPECT_EQ(cap.TabSheet_cap->Width(), 474 - 6) << "sheets sit inside the page control's border";
  EXPECT_EQ(cap.Panel1->Height(), 90);
  EXPECT_EQ(cap.Panel1->Top() + cap.Panel1->Height(), cap.TabSheet_cap->Height());
  EXPECT_EQ(cap.Panel2->Height(), cap.Panel1->Top());
  EXPECT_EQ(cap.Panel2->Color(), vcl::clBtnText);
  EXPECT_EQ(cap.Panel_cap->Parent(), cap.Panel2);
  EXPECT_FALSE(cap.Panel_cap->Enabled());
  for (const vcl::TTimer* t : {cap.Timer1, cap.Timer2, cap.Timer3}) EXPECT_FALSE(t->Enabled());
  EXPECT_EQ(cap.Timer2->Interval(), 1000u);
  EXPECT_EQ(cap.Timer3->Interval(), 500u);
  EXPECT_EQ(widgets->RunningTimers(), 0);
}

TEST_F(CapFormTest, PartsFollowTheWindowsSize) {
  widgets->PageBorder = 3;
  Start();
  TForm_cap& cap = *Form_cap;
  for (auto [width, height] : {std::pair{1000, 700}, std::pair{606, 496}, std::pair{474, 340}}) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    cap.SetClientSize(width, height);
    EXPECT_EQ(cap.PageControl1->Width(), width);
    EXPECT_EQ(cap.PageControl1->Height(), height);
    const vcl::TSheetArea area = widgets->PageArea(*cap.PageControl1);
    for (const vcl::TTabSheet* sheet : {cap.TabSheet_cap, cap.TabSheet_progress}) {
      EXPECT_EQ(sheet->Left(), area.Left);
      EXPECT_EQ(sheet->Top(), area.Top);
      EXPECT_EQ(sheet->Width(), area.Width);
      EXPECT_EQ(sheet->Height(), area.Height);
    }
    const vcl::TTabSheet& sheet = *cap.TabSheet_cap;
    EXPECT_EQ(cap.Panel1->Top() + cap.Panel1->Height(), sheet.Height());
    EXPECT_EQ(cap.Panel1->Width(), sheet.Width());
    EXPECT_EQ(cap.Panel1->Height(), 90);
    EXPECT_EQ(cap.Panel2->Top(), 0);
    EXPECT_EQ(cap.Panel2->Width(), sheet.Width());
    EXPECT_EQ(cap.Panel2->Height(), sheet.Height() - 90);
    EXPECT_EQ(cap.Image1->Width(), sheet.Width()) << "the progress picture covers its page";
    EXPECT_EQ(cap.Image1->Height(), sheet.Height());
    // The capture panel is placed by Step 2, not by the window's size.
    EXPECT_EQ(cap.Panel_cap->Left(), 88);
    EXPECT_EQ(cap.Panel_cap->Width(), 320);
  }
}

}  // namespace
