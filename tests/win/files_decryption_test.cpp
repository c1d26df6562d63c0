// Decryption of staged and installed files, on the decision between the two
// functions bound at run time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/file_decryption.h"

namespace {

DWORD g_status;
BOOL g_statusAnswer;
std::vector<std::string> g_queried;
std::vector<std::pair<std::string, DWORD>> g_decrypted;

BOOL WINAPI FakeStatus(LPCSTR path, LPDWORD status) {
  g_queried.push_back(path);
  *status = g_status;
  return g_statusAnswer;
}

BOOL WINAPI FakeDecrypt(LPCSTR path, DWORD reserved) {
  g_decrypted.emplace_back(path, reserved);
  return TRUE;
}

TEST(FileDecryption, DecryptsOnlyWhatTheFileSystemReportsEncrypted) {
  struct Case {
    const char* what;
    bool haveStatus;
    bool haveDecrypt;
    BOOL statusAnswer;
    DWORD status;
    bool decrypted;
  } cases[] = {
      {"encrypted", true, true, TRUE, FILE_IS_ENCRYPTED, true},
      {"encryptable, not encrypted", true, true, TRUE, FILE_ENCRYPTABLE, false},
      {"system file", true, true, TRUE, FILE_SYSTEM_ATTR, false},
      {"status query failed", true, true, FALSE, FILE_IS_ENCRYPTED, false},
      {"no status function: not encrypted", false, true, TRUE, FILE_IS_ENCRYPTED, false},
      {"no decryption function: nothing happens", true, false, TRUE, FILE_IS_ENCRYPTED, false},
  };
  for (const Case& c : cases) {
    g_queried.clear();
    g_decrypted.clear();
    g_status = c.status;
    g_statusAnswer = c.statusAnswer;
    DecryptWith("C:\\Prog\\DidIve.exe", c.haveStatus ? FakeStatus : nullptr,
                c.haveDecrypt ? FakeDecrypt : nullptr);
    EXPECT_EQ(g_queried.size(), c.haveStatus ? 1u : 0u) << c.what;
    if (c.decrypted) {
      ASSERT_EQ(g_decrypted.size(), 1u) << c.what;
      EXPECT_EQ(g_decrypted[0].first, "C:\\Prog\\DidIve.exe");
      EXPECT_EQ(g_decrypted[0].second, 0u);
    } else {
      EXPECT_TRUE(g_decrypted.empty()) << c.what;
    }
  }
}

}  // namespace
