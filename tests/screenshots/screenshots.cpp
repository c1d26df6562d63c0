// Pictures of the windows a person meets during an install, taken from the X
// display: dialog 101 for a fresh install and for an upgrade, the progress
// window and the "Completed." box. scripts/screenshots.sh turns them into
// the PNG files of docs/.
#include <windows.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "support/support.h"

namespace {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> pixels;  // bottom-up rows of BGR, each padded to 4 bytes
};

// The window as the display shows it, together with a second one (a message
// over it) when also is given.
Picture Capture(HWND window, HWND also = nullptr) {
  Picture picture;
  RECT rect;
  RECT other;
  if (!GetWindowRect(window, &rect)) return picture;
  if (also != nullptr && GetWindowRect(also, &other)) UnionRect(&rect, &rect, &other);
  picture.width = rect.right - rect.left;
  picture.height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, picture.width, picture.height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, picture.width, picture.height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const int stride = (picture.width * 3 + 3) & ~3;
  picture.pixels.resize(static_cast<size_t>(stride) * picture.height);
  GetDIBits(memory, bitmap, 0, picture.height, picture.pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return picture;
}

// How many different colours the picture holds (a blank capture has one).
size_t Colours(const Picture& picture) {
  std::set<unsigned> seen;
  const int stride = (picture.width * 3 + 3) & ~3;
  for (int y = 0; y < picture.height; ++y) {
    const unsigned char* row = &picture.pixels[static_cast<size_t>(y) * stride];
    for (int x = 0; x < picture.width; ++x) {
      seen.insert(row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16));
    }
  }
  return seen.size();
}

bool SaveBitmap(const Picture& picture, const std::string& path) {
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof(header);
  header.biWidth = picture.width;
  header.biHeight = picture.height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(header);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(picture.pixels.size());
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
  bytes.append(reinterpret_cast<const char*>(&header), sizeof(header));
  bytes.append(reinterpret_cast<const char*>(picture.pixels.data()), picture.pixels.size());
  return ts::WriteFileText(path, bytes);
}

std::string OutputFolder() {
  const char* folder = std::getenv("SETUP_SCREENSHOTS");
  std::string path = folder != nullptr && folder[0] != '\0' ? folder : ts::BuildDir() + "\\screenshots";
  CreateDirectoryA(path.c_str(), nullptr);
  return path;
}

class Screenshots : public testing::Test {
 protected:
  void SetUp() override {
    ts::IsolateShortcutFolders();
    // Xvfb runs no window manager: let Wine draw the captions and frames.
    ts::WriteRegString(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", "Managed", "N");
    ts::WriteRegString(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", "Decorated", "N");
    ts::ResetMachineState();
    package_ = ts::PreparePackage();
    folder_ = OutputFolder();
  }
  void TearDown() override {
    ts::DeleteRegValue(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", "Managed");
    ts::DeleteRegValue(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", "Decorated");
    ts::ResetMachineState();
  }

  // Captures the window and saves it under name; a window that lives long
  // enough is given time to paint first.
  void Take(HWND window, const std::string& name, bool shortLived = false, HWND also = nullptr) {
    if (!shortLived) {
      RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      Sleep(300);
    }
    Picture picture = Capture(window, also);
    EXPECT_GT(picture.width, 100) << name;
    EXPECT_GT(picture.height, 50) << name;
    EXPECT_GT(Colours(picture), 2u) << name << " looks blank";
    EXPECT_TRUE(SaveBitmap(picture, folder_ + "\\" + name + ".bmp")) << name;
    taken_.insert(name);
  }

  std::string package_;
  std::string folder_;
  std::set<std::string> taken_;
};

TEST_F(Screenshots, InstallWindows) {
  auto answer = [&](const std::string& dialogName) {
    return [this, dialogName](const ts::SeenWindow& window) {
      if (GetDlgItem(window.window, IDC_TARGET_FOLDER) != nullptr) {
        Take(window.window, dialogName);
        return ts::PressButton(window.window, IDOK);
      }
      if (GetDlgItem(window.window, IDC_PROGRESS_BAR) != nullptr) {
        if (!taken_.count("progress")) Take(window.window, "progress", true);
        return true;
      }
      if (window.text == "Completed." && !taken_.count("completed")) Take(window.window, "completed");
      return ts::AnswerOk(window);
    };
  };
  EXPECT_EQ(0u, ts::RunSetup(package_, "", answer("dialog-fresh")).exitCode);
  EXPECT_EQ(0u, ts::RunSetup(package_, "", answer("dialog-upgrade")).exitCode);
  // A relative folder refused at OK, the dialog behind the message.
  ts::ResetMachineState();
  HWND dialog = nullptr;
  EXPECT_EQ(0u, ts::RunSetup(package_, "", [&](const ts::SeenWindow& window) {
                  if (GetDlgItem(window.window, IDC_TARGET_FOLDER) != nullptr) {
                    dialog = window.window;
                    SendMessageA(GetDlgItem(dialog, IDC_TARGET_FOLDER), WM_SETTEXT, 0,
                                 reinterpret_cast<LPARAM>("Programs\\Ravozeve"));
                    return ts::PressButton(dialog, IDOK);
                  }
                  if (dialog != nullptr && GetWindow(window.window, GW_OWNER) == dialog) {
                    Take(window.window, "dialog-refused", false, dialog);
                    ts::PressButton(window.window, IDOK);
                    return ts::PressButton(dialog, IDCANCEL);
                  }
                  return ts::AnswerOk(window);
                }).exitCode);
  for (const char* name : {"dialog-fresh", "dialog-upgrade", "progress", "completed", "dialog-refused"}) {
    EXPECT_TRUE(taken_.count(name)) << name << " was not seen";
  }
}

}  // namespace
