// The update agent's request: its grammar over an argument vector, the
// volatile key it is written to, and the reading and deletion of a pending one.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "driver/agent_registration.h"
#include "support/support.h"


namespace {

const wchar_t kFolder[] = L"<folder>";  // stands for an existing folder
const wchar_t kFile[] = L"<file>";      // stands for an existing file
const wchar_t kMissing[] = L"C:\\no such folder\\nothing.txt";

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring ExistingFolder() { return Widen(ts::WindowsDir()); }

std::wstring ExistingFile() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

// The arguments after the program's own, with the stand-ins for paths resolved.
std::vector<std::wstring> Arguments(const std::vector<const wchar_t*>& after) {
  std::vector<std::wstring> arguments{L"C:\\pkg\\setup.exe"};
  for (const wchar_t* a : after) {
    std::wstring argument = a;
    if (argument == kFolder) argument = ExistingFolder();
    if (argument == kFile) argument = ExistingFile();
    arguments.push_back(argument);
  }
  return arguments;
}

// A parsed request together with the arguments its texts point into.
struct Parsed {
  explicit Parsed(std::vector<std::wstring> list) : arguments(std::move(list)) {
    std::vector<const wchar_t*> vector;
    for (const std::wstring& a : arguments) vector.push_back(a.c_str());
    window = reinterpret_cast<HWND>(0x5555);
    valid = ParseAgentRequest(static_cast<int>(vector.size()), vector.data(), &request, &window);
  }
  Parsed(const Parsed&) = delete;
  Parsed& operator=(const Parsed&) = delete;

  std::vector<std::wstring> arguments;
  int valid;
  HWND window;
  AgentRequest request;
};

std::wstring TextOf(const AgentRequest& request, int index) {
  const wchar_t* text = request.values[index].text;
  return text == nullptr ? L"<none>" : text;
}

// --- Grammar -------------------------------------------------------------------

struct GrammarCase {
  const char* name;
  std::vector<const wchar_t*> arguments;
  int valid;
  uintptr_t window;
  // Expected texts of FEATUREID, HWND, PATH, NOTIFY, KILL ("<none>" for none);
  // a path stand-in means that path.
  const wchar_t* texts[kAgentValueCount];
};

const wchar_t* const N = L"<none>";

const GrammarCase kGrammarCases[] = {
    {"ProgramAlone", {}, 0, 0, {N, L"0", N, N, N}},
    {"BareT", {L"/T"}, 1, 0, {L"", L"0", N, N, N}},
    {"FeatureOnly", {L"/Tupdate-7"}, 1, 0, {L"update-7", L"0", N, N, N}},
    {"LowerT", {L"/tupdate"}, 0, 0, {N, L"0", N, N, N}},
    {"NoSlashT", {L"update"}, 0, 0, {N, L"0", N, N, N}},
    {"WithWindow", {L"/Tf", L"HWND=1a2B"}, 1, 0x1a2b, {L"f", L"1a2B", N, N, N}},
    {"WindowNotHex", {L"/Tf", L"HWND=zz"}, 1, 0, {L"f", L"zz", N, N, N}},
    {"WindowEmpty", {L"/Tf", L"HWND="}, 0, 0, {L"f", L"0", N, N, N}},
    {"WindowLowerName", {L"/Tf", L"hwnd=1f"}, 0, 0, {L"f", L"0", N, N, N}},
    {"WindowFirstBad", {L"/xf", L"HWND=1f"}, 0, 0, {N, L"0", N, N, N}},
    {"FourArguments", {L"/Tf", L"HWND=1f", kFolder}, 0, 0, {N, L"0", N, N, N}},
    {"FiveWithFolder", {L"/Tf", L"HWND=1f", kFolder, L"NOTIFY=tell me"}, 1, 0x1f,
     {L"f", L"1f", kFolder, L"tell me", N}},
    {"FiveWithFile", {L"/T", L"HWND=ff", kFile, L"NOTIFY="}, 1, 0xff, {L"", L"ff", kFile, L"", N}},
    {"FiveKillLast", {L"/Tf", L"HWND=1f", kFolder, L"KILL=k"}, 0, 0x1f,
     {L"f", L"1f", kFolder, N, L"k"}},
    {"FiveSomethingElse", {L"/Tf", L"HWND=1f", kFolder, L"NOTE=n"}, 0, 0x1f,
     {L"f", L"1f", kFolder, N, N}},
    {"FiveMissingPath", {L"/Tf", L"HWND=1f", kMissing, L"NOTIFY=n"}, 0, 0x1f, {L"f", L"1f", N, N, N}},
    {"FiveWindowEmpty", {L"/Tf", L"HWND=", kFolder, L"NOTIFY=n"}, 0, 0, {L"f", L"0", N, N, N}},
    {"SixNotifyThenKill", {L"/Tf", L"HWND=1f", kFolder, L"NOTIFY=n", L"KILL=k"}, 1, 0x1f,
     {L"f", L"1f", kFolder, L"n", L"k"}},
    {"SixKillThenNotify", {L"/Tf", L"HWND=1f", kFolder, L"KILL=k", L"NOTIFY=n"}, 1, 0x1f,
     {L"f", L"1f", kFolder, L"n", L"k"}},
    {"SixTwoNotify", {L"/Tf", L"HWND=1f", kFolder, L"NOTIFY=a", L"NOTIFY=b"}, 0, 0x1f,
     {L"f", L"1f", kFolder, L"b", N}},
    {"SixTwoKill", {L"/Tf", L"HWND=1f", kFolder, L"KILL=a", L"KILL=b"}, 0, 0x1f,
     {L"f", L"1f", kFolder, N, L"b"}},
    {"SixOneUnknown", {L"/Tf", L"HWND=1f", kFolder, L"NOTIFY=n", L"kill=k"}, 0, 0x1f,
     {L"f", L"1f", kFolder, L"n", N}},
    {"SixMissingPath", {L"/Tf", L"HWND=1f", kMissing, L"NOTIFY=n", L"KILL=k"}, 0, 0x1f,
     {L"f", L"1f", N, N, N}},
    {"Seven", {L"/Tf", L"HWND=1f", kFolder, L"NOTIFY=n", L"KILL=k", L"KILL=x"}, 0, 0,
     {N, L"0", N, N, N}},
};

void PrintTo(const GrammarCase& c, std::ostream* out) { *out << c.name; }

class AgentGrammar : public testing::TestWithParam<GrammarCase> {};

TEST_P(AgentGrammar, ValidityWindowAndValues) {
  const GrammarCase& c = GetParam();
  Parsed parsed(Arguments(c.arguments));
  EXPECT_EQ(c.valid, parsed.valid);
  EXPECT_EQ(c.window, reinterpret_cast<uintptr_t>(parsed.window));
  const wchar_t* names[kAgentValueCount] = {L"FEATUREID", L"HWND", L"PATH", L"NOTIFY", L"KILL"};
  for (int i = 0; i < kAgentValueCount; ++i) {
    EXPECT_EQ(std::wstring(names[i]), parsed.request.values[i].name);
    EXPECT_EQ(i == 1 ? AgentValueNumber : AgentValueText, parsed.request.values[i].kind);
    std::wstring expected = c.texts[i];
    if (expected == kFolder) expected = ExistingFolder();
    if (expected == kFile) expected = ExistingFile();
    EXPECT_EQ(expected, TextOf(parsed.request, i)) << "value " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, AgentGrammar, testing::ValuesIn(kGrammarCases),
                         [](const testing::TestParamInfo<GrammarCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(AgentGrammarWindow, HexadecimalReadingOfTheHandle) {
  struct Case {
    const wchar_t* text;
    uintptr_t window;
  } cases[] = {
      {L"HWND=0", 0},
      {L"HWND=10", 0x10},
      {L"HWND=0x10", 0x10},
      {L"HWND=7fffFFFF", 0x7fffffff},
      {L"HWND=12zz", 0x12},
      // 32 bits widen with their sign, as handles pass between 32- and 64-bit programs.
      {L"HWND=FFFF0000", static_cast<uintptr_t>(static_cast<intptr_t>(static_cast<int32_t>(0xFFFF0000)))},
      // Too many digits stop at the largest 32-bit value rather than wrapping.
      {L"HWND=123456789", static_cast<uintptr_t>(static_cast<intptr_t>(-1))},
  };
  for (const Case& c : cases) {
    Parsed parsed(Arguments({L"/T", c.text}));
    EXPECT_EQ(1, parsed.valid);
    EXPECT_EQ(c.window, reinterpret_cast<uintptr_t>(parsed.window));
  }
}

// --- The key -------------------------------------------------------------------

struct WrittenValue {
  std::wstring name;
  DWORD type;
};
std::vector<WrittenValue> g_written;
int g_failAt = -1;  // index of the write that fails, -1 for none

LONG WINAPI RecordingSetValue(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data,
                              DWORD size) {
  int index = static_cast<int>(g_written.size());
  g_written.push_back(WrittenValue{name, type});
  if (index == g_failAt) return ERROR_ACCESS_DENIED;
  return RegSetValueExW(key, name, reserved, type, data, size);
}

class AgentKey : public testing::Test {
 protected:
  void SetUp() override {
    // From the top, so that no volatile parent made by an older run stays.
    ts::DeleteRegTree(HKEY_CURRENT_USER, "SOFTWARE\\Varnex");
    g_written.clear();
    g_failAt = -1;
    saved_ = g_setAgentValue;
    g_setAgentValue = RecordingSetValue;
  }
  void TearDown() override {
    g_setAgentValue = saved_;
    ts::DeleteRegTree(HKEY_CURRENT_USER, ts::kAgentKey);
  }

  // The key's value names with their types and data (strings as text, a DWORD as hex).
  struct Value {
    std::wstring name;
    DWORD type;
    std::wstring data;
    DWORD size;
  };
  static std::vector<Value> ReadValues() {
    std::vector<Value> values;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Varnex\\VOD\\VeruZadovo", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
      return values;
    }
    for (DWORD i = 0;; ++i) {
      wchar_t name[256];
      DWORD nameLength = 256;
      BYTE data[2048];
      DWORD size = sizeof(data);
      DWORD type = 0;
      if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
      Value value{name, type, L"", size};
      if (type == REG_SZ) {
        value.data.assign(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
      } else if (type == REG_DWORD && size == 4) {
        DWORD number = *reinterpret_cast<const DWORD*>(data);
        do {
          value.data.insert(value.data.begin(), L"0123456789abcdef"[number & 0xF]);
          number >>= 4;
        } while (number != 0);
      }
      values.push_back(value);
    }
    RegCloseKey(key);
    return values;
  }

  static std::wstring FindData(const std::vector<Value>& values, const std::wstring& name,
                               DWORD* type) {
    for (const Value& v : values) {
      if (v.name == name) {
        *type = v.type;
        return v.data;
      }
    }
    *type = REG_NONE;
    return L"<absent>";
  }

  LONG(WINAPI* saved_)(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD) = nullptr;
};

struct KeyCase {
  const char* name;
  std::vector<const wchar_t*> arguments;
  // Expected values in write order: name, type, data (a string's data with its terminating null).
  std::vector<std::pair<const wchar_t*, std::wstring>> values;
};

TEST_F(AgentKey, ValuesTypesAndDataForEachAcceptedForm) {
  const std::wstring folder = ExistingFolder();
  const std::wstring z(1, L'\0');
  const KeyCase cases[] = {
      {"Two", {L"/T"}, {{L"FEATUREID", z}, {L"HWND", L"0"}}},
      {"Three", {L"/Tfeat", L"HWND=00A0b0"}, {{L"FEATUREID", L"feat" + z}, {L"HWND", L"a0b0"}}},
      {"Five",
       {L"/Tfeat", L"HWND=1f", kFolder, L"NOTIFY=http://x/y z"},
       {{L"FEATUREID", L"feat" + z}, {L"HWND", L"1f"}, {L"PATH", folder + z},
        {L"NOTIFY", L"http://x/y z" + z}}},
      {"SixKillFirst",
       {L"/T\x00e9t\x00e9", L"HWND=2", kFolder, L"KILL=stop", L"NOTIFY=go"},
       {{L"FEATUREID", L"\x00e9t\x00e9" + z}, {L"HWND", L"2"}, {L"PATH", folder + z},
        {L"NOTIFY", L"go" + z}, {L"KILL", L"stop" + z}}},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.name);
    ts::DeleteRegTree(HKEY_CURRENT_USER, ts::kAgentKey);
    g_written.clear();
    Parsed parsed(Arguments(c.arguments));
    ASSERT_EQ(1, parsed.valid);
    ASSERT_EQ(1, WriteAgentRegistration(&parsed.request));

    // Written in table order, with wide names.
    ASSERT_EQ(c.values.size(), g_written.size());
    for (size_t i = 0; i < c.values.size(); ++i) {
      EXPECT_EQ(std::wstring(c.values[i].first), g_written[i].name);
    }

    std::vector<Value> stored = ReadValues();
    EXPECT_EQ(c.values.size(), stored.size());
    for (const auto& expected : c.values) {
      DWORD type = 0;
      std::wstring data = FindData(stored, expected.first, &type);
      DWORD wantType = std::wstring(expected.first) == L"HWND" ? REG_DWORD : REG_SZ;
      EXPECT_EQ(wantType, type) << std::string(expected.first, expected.first + wcslen(expected.first));
      EXPECT_EQ(expected.second, data);
    }
  }
}

TEST_F(AgentKey, IsVolatile) {
  Parsed parsed(Arguments({L"/Tf", L"HWND=1"}));
  ASSERT_EQ(1, WriteAgentRegistration(&parsed.request));
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, ts::kAgentKey, 0, KEY_ALL_ACCESS, &key));
  DWORD subkeys = 99;
  DWORD values = 0;
  EXPECT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                            &values, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(0u, subkeys);
  EXPECT_EQ(2u, values);
  // Only a volatile key refuses a lasting subkey.
  HKEY child = nullptr;
  EXPECT_EQ(ERROR_CHILD_MUST_BE_VOLATILE,
            RegCreateKeyExA(key, "lasting", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                            &child, nullptr));
  if (child != nullptr) RegCloseKey(child);
  EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key, "passing", 0, nullptr, REG_OPTION_VOLATILE,
                                           KEY_ALL_ACCESS, nullptr, &child, nullptr));
  RegCloseKey(child);
  RegDeleteKeyA(key, "passing");
  RegCloseKey(key);
}

TEST_F(AgentKey, KeysMadeOnTheWayAreLasting) {
  Parsed parsed(Arguments({L"/Tf"}));
  ASSERT_EQ(1, WriteAgentRegistration(&parsed.request));
  for (const char* parent : {"SOFTWARE\\Varnex", "SOFTWARE\\Varnex\\VOD"}) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, parent, 0, KEY_ALL_ACCESS, &key));
    HKEY child = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key, "Settings", 0, nullptr, REG_OPTION_NON_VOLATILE,
                                             KEY_ALL_ACCESS, nullptr, &child, nullptr))
        << parent;
    if (child != nullptr) RegCloseKey(child);
    RegDeleteKeyA(key, "Settings");
    RegCloseKey(key);
  }
}

TEST_F(AgentKey, AnExistingKeyIsLeftAsItWas) {
  ASSERT_TRUE(ts::WriteRegDword(HKEY_CURRENT_USER, ts::kAgentKey, "HWND", 0x77));
  Parsed parsed(Arguments({L"/Tnew", L"HWND=1"}));
  EXPECT_EQ(0, WriteAgentRegistration(&parsed.request));
  EXPECT_TRUE(g_written.empty());
  std::vector<Value> stored = ReadValues();
  ASSERT_EQ(1u, stored.size());
  EXPECT_EQ(L"77", stored[0].data);
}

TEST_F(AgentKey, AFailedWriteStopsTheWritesAndDeletesTheKey) {
  for (int failAt = 0; failAt < kAgentValueCount; ++failAt) {
    SCOPED_TRACE(failAt);
    ts::DeleteRegTree(HKEY_CURRENT_USER, ts::kAgentKey);
    g_written.clear();
    g_failAt = failAt;
    Parsed parsed(Arguments({L"/Tf", L"HWND=1f", kFolder, L"NOTIFY=n", L"KILL=k"}));
    ASSERT_EQ(1, parsed.valid);
    EXPECT_EQ(0, WriteAgentRegistration(&parsed.request));
    EXPECT_EQ(static_cast<size_t>(failAt + 1), g_written.size());
    EXPECT_FALSE(ts::RegKeyExists(HKEY_CURRENT_USER, ts::kAgentKey));
  }
}

// --- Reading and deleting a pending registration ---------------------------------

TEST_F(AgentKey, ReadAgentWindow) {
  HWND window = reinterpret_cast<HWND>(0x1234);
  EXPECT_EQ(0, ReadAgentWindow(&window));  // none pending
  EXPECT_EQ(nullptr, window);

  // A key without an "HWND" value is no pending registration with a window.
  ASSERT_TRUE(ts::WriteRegString(HKEY_CURRENT_USER, ts::kAgentKey, "FEATUREID", "f"));
  window = reinterpret_cast<HWND>(0x1234);
  EXPECT_EQ(0, ReadAgentWindow(&window));
  EXPECT_EQ(nullptr, window);

  for (DWORD value : {0x0u, 0x10062u, 0x7fffffffu}) {
    ASSERT_TRUE(ts::WriteRegDword(HKEY_CURRENT_USER, ts::kAgentKey, "HWND", value));
    EXPECT_EQ(1, ReadAgentWindow(&window));
    EXPECT_EQ(static_cast<uintptr_t>(value), reinterpret_cast<uintptr_t>(window));
  }

  // What the writer stores, the reader gives back.
  ts::DeleteRegTree(HKEY_CURRENT_USER, ts::kAgentKey);
  Parsed parsed(Arguments({L"/Tf", L"HWND=abc"}));
  ASSERT_EQ(1, WriteAgentRegistration(&parsed.request));
  EXPECT_EQ(1, ReadAgentWindow(&window));
  EXPECT_EQ(parsed.window, window);
}

TEST_F(AgentKey, DeleteAgentRegistration) {
  EXPECT_EQ(1, DeleteAgentRegistration());  // nothing to delete
  Parsed parsed(Arguments({L"/Tf", L"HWND=1"}));
  ASSERT_EQ(1, WriteAgentRegistration(&parsed.request));
  ASSERT_TRUE(ts::RegKeyExists(HKEY_CURRENT_USER, ts::kAgentKey));
  EXPECT_EQ(1, DeleteAgentRegistration());
  EXPECT_FALSE(ts::RegKeyExists(HKEY_CURRENT_USER, ts::kAgentKey));
  HWND window;
  EXPECT_EQ(0, ReadAgentWindow(&window));
  // A new request may follow.
  EXPECT_EQ(1, WriteAgentRegistration(&parsed.request));
}

}  // namespace
