// Registry helpers for the registry subsystem's tests: raw reads of what the
// operations wrote, recursive cleanup, read-only keys, and the write filter.
#pragma once
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/system_change.h"
#include "registry/registry_io.h"
#include "support/support.h"

namespace regtest {

struct Value {
  DWORD type;
  std::string data;  // raw bytes as stored
  bool operator==(const Value& other) const { return type == other.type && data == other.data; }
};

// A REG_SZ as the operations store it: the text and its zero.
inline Value Sz(const std::string& text) { return Value{REG_SZ, text + std::string(1, '\0')}; }
inline Value Dword(DWORD v) {
  return Value{REG_DWORD, std::string(reinterpret_cast<const char*>(&v), sizeof(v))};
}
inline Value Raw(DWORD type, const std::string& bytes) { return Value{type, bytes}; }

inline void PrintTo(const Value& v, std::ostream* os) {
  *os << "type " << v.type << " data [";
  for (unsigned char c : v.data) {
    if (c >= 0x20 && c < 0x7F) *os << c; else *os << "\\x" << std::hex << int(c) << std::dec;
  }
  *os << "]";
}

// All values of a key, by name ("" is the default value).
inline std::map<std::string, Value> Values(HKEY root, const std::string& path) {
  std::map<std::string, Value> out;
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
  for (DWORD i = 0;; ++i) {
    char name[16384];
    DWORD nameLength = sizeof(name);
    BYTE data[4096];
    DWORD size = sizeof(data);
    DWORD type = 0;
    if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
    out[name] = Value{type, std::string(reinterpret_cast<char*>(data), size)};
  }
  RegCloseKey(key);
  return out;
}

inline std::vector<std::string> Subkeys(HKEY root, const std::string& path) {
  std::vector<std::string> out;
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
  char name[MAX_PATH];
  for (DWORD i = 0; RegEnumKeyA(key, i, name, MAX_PATH) == ERROR_SUCCESS; ++i) out.push_back(name);
  RegCloseKey(key);
  return out;
}

inline void SetRaw(HKEY root, const std::string& path, const char* name, DWORD type,
                   const std::string& bytes) {
  HKEY key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                 static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}
inline void SetValue(HKEY root, const std::string& path, const char* name, const Value& v) {
  SetRaw(root, path, name, v.type, v.data);
}

inline void CreateKey(HKEY root, const std::string& path) {
  HKEY key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
      ERROR_SUCCESS) {
    RegCloseKey(key);
  }
}

inline bool SetKeyDacl(HKEY root, const std::string& path, const char* sddl) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, WRITE_DAC | READ_CONTROL, &key) != ERROR_SUCCESS) {
    return false;
  }
  PSECURITY_DESCRIPTOR sd = nullptr;
  bool ok = ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd,
                                                                 nullptr) &&
            RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
  if (sd != nullptr) LocalFree(sd);
  RegCloseKey(key);
  return ok;
}
// Everyone may read the key, nobody may change it.
inline bool MakeKeyReadOnly(HKEY root, const std::string& path) {
  return SetKeyDacl(root, path, "D:P(A;;KR;;;WD)");
}
inline bool MakeKeyWritable(HKEY root, const std::string& path) {
  return SetKeyDacl(root, path, "D:(A;;KA;;;WD)");
}

// Deletes a key with everything below it, without the code under test.
inline void DeleteTree(HKEY root, const std::string& path) {
  MakeKeyWritable(root, path);
  for (const std::string& sub : Subkeys(root, path)) DeleteTree(root, path + "\\" + sub);
  RegDeleteKeyA(root, path.c_str());
}

// The change filter: records every change asked for, and refuses
// the one named by failName.
struct WriteLog {
  std::vector<std::string> names;
  std::string failName;
  bool failing = false;
};
inline WriteLog& Log() {
  static WriteLog log;
  return log;
}
inline int FilterWrites(const char* name) {
  // Only values: the chains of the registry operations are chains of values.
  for (const char* word : {"create key ", "delete key ", "set key "}) {
    if (std::string(name).rfind(word, 0) == 0) return 1;
  }
  Log().names.push_back(name);
  return !(Log().failing && Log().failName == name);
}
// Starts recording; with a name, that write fails.
inline void WatchWrites(const char* failName = nullptr) {
  Log() = WriteLog{};
  if (failName != nullptr) {
    Log().failName = failName;
    Log().failing = true;
  }
  SetSystemChangeFilter(FilterWrites);
}
inline void StopWatchingWrites() { SetSystemChangeFilter(nullptr); }

// An operation that writes the values of one key as a chain.
struct ValueChain {
  HKEY root;
  std::string key;                  // emptied before each run
  std::vector<std::string> names;   // in the order they are written
  std::vector<std::string> always;  // still tried after a refusal, in this order
  std::function<int()> write;       // the operation: 1 on success
  std::function<void()> prepare;    // before each run, if given
};

// Refuses each value in turn: the operation fails having tried the values up
// to the refused one (and those it always tries), and the key keeps exactly
// the values before it.
inline void ExpectARefusedValueEndsTheChain(const ValueChain& chain) {
  for (size_t refused = 0; refused < chain.names.size(); ++refused) {
    SCOPED_TRACE(chain.names[refused]);
    DeleteTree(chain.root, chain.key);
    if (chain.prepare) chain.prepare();
    WatchWrites(chain.names[refused].c_str());
    EXPECT_EQ(0, chain.write());
    StopWatchingWrites();
    std::vector<std::string> tried(chain.names.begin(), chain.names.begin() + refused + 1);
    tried.insert(tried.end(), chain.always.begin(), chain.always.end());
    EXPECT_EQ(tried, Log().names);
    std::vector<std::string> kept(chain.names.begin(), chain.names.begin() + refused);
    std::sort(kept.begin(), kept.end());
    std::vector<std::string> stored;
    for (const auto& value : Values(chain.root, chain.key)) stored.push_back(value.first);
    EXPECT_EQ(kept, stored);
  }
}

}  // namespace regtest
