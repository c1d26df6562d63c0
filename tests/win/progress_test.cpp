// The progress window: dialog 102 as the resources carry it, and the window
// that ShowProgressWindow makes of it, moved by ProgressStep and ProgressMove.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "driver/progress.h"
#include "resources/resource_ids.h"
#include "support/resource_texts.h"

namespace {


class ProgressWindowTest : public ::testing::Test {
 protected:
  // The tests carry setup.exe's resources in their own module.
  static void SetUpTestSuite() {
    InitCommonControls();
    module_ = GetModuleHandleA(nullptr);
  }
  void SetUp() override {
    window_ = ShowProgressWindow(reinterpret_cast<HINSTANCE>(module_));
    ASSERT_NE(window_, nullptr);
    bar_ = GetDlgItem(window_, IDC_PROGRESS_BAR);
    ASSERT_NE(bar_, nullptr);
  }
  void TearDown() override {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  int Position() const { return static_cast<int>(SendMessageA(bar_, PBM_GETPOS, 0, 0)); }
  bool RepaintPending() const {
    return GetUpdateRect(window_, nullptr, FALSE) != FALSE || GetUpdateRect(bar_, nullptr, FALSE) != FALSE;
  }
  // As when another window uncovers the progress window.
  void Uncover() const { RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN); }

  static HMODULE module_;
  HWND window_ = nullptr;
  HWND bar_ = nullptr;
};

HMODULE ProgressWindowTest::module_ = nullptr;

// What the shown window does not tell: the template's styles, font and the
// bar's text. Its language, size and places are checked elsewhere.
TEST_F(ProgressWindowTest, TemplateGivesStylesFontAndBarText) {
  const void* data = nullptr;
  DWORD size = 0;
  ASSERT_TRUE(ts::ResourceBytes(module_, RT_DIALOG, MAKEINTRESOURCEA(IDD_PROGRESS),
                                MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), &data, &size));
  ts::DialogTemplate dialog;
  ASSERT_TRUE(ts::ParseDialogTemplate(data, size, &dialog));
  EXPECT_FALSE(dialog.extended);
  EXPECT_EQ(static_cast<DWORD>(WS_POPUP | DS_MODALFRAME | DS_SETFONT), dialog.style);
  EXPECT_EQ(0u, dialog.exStyle);
  EXPECT_EQ(L"MS Sans Serif", dialog.font);
  EXPECT_EQ(8, dialog.pointSize);
  ASSERT_EQ(1u, dialog.items.size());
  EXPECT_EQ(static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_BORDER), dialog.items[0].style);
  EXPECT_EQ(0u, dialog.items[0].exStyle);
  EXPECT_EQ(L"Progress1", dialog.items[0].text);
}

BOOL CALLBACK CountChild(HWND, LPARAM param) {
  ++*reinterpret_cast<int*>(param);
  return TRUE;
}

TEST_F(ProgressWindowTest, ShowsTitleRangeAndSingleBar) {
  EXPECT_FALSE(RepaintPending()) << "window not painted when shown";
  char title[MAX_PATH] = {};
  GetWindowTextA(window_, title, MAX_PATH);
  EXPECT_STREQ(title, "Installation Program");
  EXPECT_TRUE(IsWindowVisible(window_));
  EXPECT_EQ(GetWindowLongA(window_, GWL_STYLE) & WS_CAPTION, 0);

  int children = 0;
  EnumChildWindows(window_, CountChild, reinterpret_cast<LPARAM>(&children));
  EXPECT_EQ(children, 1);
  char className[64] = {};
  GetClassNameA(bar_, className, sizeof(className));
  EXPECT_STRCASEEQ(className, "msctls_progress32");

  PBRANGE range = {-1, -1};
  SendMessageA(bar_, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 8);
  EXPECT_EQ(Position(), 0);

  // Client area and bar as the template's dialog units give them.
  RECT expected = {0, 0, 236, 49};
  ASSERT_TRUE(MapDialogRect(window_, &expected));
  RECT client;
  GetClientRect(window_, &client);
  EXPECT_EQ(client.right - client.left, expected.right - expected.left);
  EXPECT_EQ(client.bottom - client.top, expected.bottom - expected.top);
  // Position and size are converted apart, as the dialog manager does.
  RECT barExpected = {17, 17, 201, 15};
  ASSERT_TRUE(MapDialogRect(window_, &barExpected));
  RECT barRect;
  GetWindowRect(bar_, &barRect);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&barRect), 2);
  EXPECT_EQ(barRect.left, barExpected.left);
  EXPECT_EQ(barRect.top, barExpected.top);
  EXPECT_EQ(barRect.right - barRect.left, barExpected.right);
  EXPECT_EQ(barRect.bottom - barRect.top, barExpected.bottom);
}

TEST_F(ProgressWindowTest, StepsMoveTheBarAndRepaint) {
  for (int position = 1; position <= 8; ++position) {
    Uncover();
    ASSERT_TRUE(RepaintPending());
    ProgressStep(window_, position);
    EXPECT_EQ(Position(), position);
    EXPECT_FALSE(RepaintPending()) << "position " << position;
  }
}

TEST_F(ProgressWindowTest, PlainMoveSetsThePositionAndRepaints) {
  ProgressStep(window_, 1);
  Uncover();
  ProgressMove(window_, 2);
  EXPECT_EQ(Position(), 2);
  EXPECT_FALSE(RepaintPending());
}

TEST_F(ProgressWindowTest, QuitRequestOutlivesTheSteps) {
  PostQuitMessage(7);
  ProgressStep(window_, 3);
  EXPECT_EQ(Position(), 3);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 7u);
}

TEST(ProgressWindow, MissingDialogGivesNoWindowAndStepsStillRun) {
  InitCommonControls();
  // A module without dialog 102.
  HWND window = ShowProgressWindow(GetModuleHandleA("ntdll.dll"));
  EXPECT_EQ(window, nullptr);
  EXPECT_EQ(FindWindowA(nullptr, "Installation Program"), nullptr);
  // The driver goes on with the handle as it came back.
  ProgressStep(window, 1);
  ProgressMove(window, 2);
}

}  // namespace
