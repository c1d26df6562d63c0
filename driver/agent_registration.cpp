// The "/T" mode: an update agent's request, kept in a volatile per-user key
// for the installed product, which is started and waited for.
#include "driver/agent_registration.h"

#include <shellapi.h>
#include <stdlib.h>
#include <wchar.h>

#include "common/product_names.h"
#include "common/resource_strings.h"
#include "common/run_records.h"
#include "common/text.h"
#include "driver/environment.h"
#include "driver/finish_run.h"
#include "registry/product_key.h"
#include "resources/resource_ids.h"

WideValueSetter g_setAgentValue = RegSetValueExW;

namespace {


int StartsWith(const wchar_t* text, const wchar_t* prefix) {
  size_t length = wcslen(prefix);
  return wcsncmp(text, prefix, length) == 0;
}

// The HWND text as a hexadecimal number. Defined for any text: no digits give
// 0, too many give 0xFFFFFFFF.
DWORD ReadHexNumber(const wchar_t* text) {
  return static_cast<DWORD>(wcstoul(text, nullptr, 16));
}

// Window handles travel as 32 bits and widen with their sign, as between
// 32- and 64-bit processes.
HWND WindowFromNumber(DWORD number) {
  return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(number)));
}

void InitAgentRequest(AgentRequest* request) {
  request->values[0] = AgentValue{L"FEATUREID", nullptr, AgentValueText};
  request->values[1] = AgentValue{L"HWND", L"0", AgentValueNumber};
  request->values[2] = AgentValue{L"PATH", nullptr, AgentValueText};
  request->values[3] = AgentValue{L"NOTIFY", nullptr, AgentValueText};
  request->values[4] = AgentValue{L"KILL", nullptr, AgentValueText};
}

LONG WriteAgentValue(HKEY key, const AgentValue& value) {
  if (value.kind == AgentValueNumber) {
    DWORD number = ReadHexNumber(value.text);
    return g_setAgentValue(key, value.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                           sizeof(number));
  }
  DWORD size = static_cast<DWORD>((wcslen(value.text) + 1) * sizeof(wchar_t));
  return g_setAgentValue(key, value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text), size);
}

}  // namespace

int ParseAgentRequest(int count, const wchar_t* const* arguments, AgentRequest* request,
                      HWND* window) {
  InitAgentRequest(request);
  AgentValue* values = request->values;
  int acceptable = count == 2 || count == 3 || count == 5 || count == 6;
  for (int i = 1; acceptable && i < count; ++i) {
    const wchar_t* argument = arguments[i];
    if (i == 1) {
      acceptable = StartsWith(argument, L"/T");
      if (acceptable) values[0].text = argument + 2;
    } else if (i == 2) {
      acceptable = StartsWith(argument, L"HWND=") && argument[5] != L'\0';
      if (acceptable) values[1].text = argument + 5;
    } else if (i == 3) {
      acceptable = GetFileAttributesW(argument) != INVALID_FILE_ATTRIBUTES;
      if (acceptable) values[2].text = argument;
    } else if (StartsWith(argument, L"NOTIFY=")) {
      values[3].text = argument + 7;
    } else if (StartsWith(argument, L"KILL=")) {
      values[4].text = argument + 5;
    }
  }
  *window = WindowFromNumber(ReadHexNumber(values[1].text));

  // Each argument adds the next value of the table; a gap ends the count.
  int found = 0;
  while (found < kAgentValueCount && found < count - 1 && values[found].text != nullptr) ++found;
  return acceptable && found == count - 1;
}

int WriteAgentRegistration(const AgentRequest* request) {
  HKEY parent = nullptr;
  HKEY key = nullptr;
  int written = 0;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kAgentKeyPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    // A request is pending already: it stays as it is.
  } else if (RegCreateKeyExA(HKEY_CURRENT_USER, kAgentParentPath, 0, nullptr,
                             REG_OPTION_NON_VOLATILE, KEY_CREATE_SUB_KEY, nullptr, &parent,
                             nullptr) != ERROR_SUCCESS) {
    // Keys made on the way to a volatile key would be volatile too, and the
    // product's own lasting keys below them refused: the parent is lasting.
    parent = nullptr;
    key = nullptr;
  } else {
    DWORD disposition = 0;
    if (RegCreateKeyExA(parent, kAgentKeyName, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, &disposition) != ERROR_SUCCESS) {
      key = nullptr;
    } else if (disposition != REG_OPENED_EXISTING_KEY) {
      // (An existing key was made by another request since the check above.)
      written = 1;
      for (int i = 0; i < kAgentValueCount && written; ++i) {
        if (request->values[i].text == nullptr) continue;
        written = WriteAgentValue(key, request->values[i]) == ERROR_SUCCESS;
      }
      // A half-written request must not stay pending.
      if (!written) RegDeleteKeyA(HKEY_CURRENT_USER, kAgentKeyPath);
    }
  }
  if (key != nullptr) RegCloseKey(key);
  if (parent != nullptr) RegCloseKey(parent);
  return written;
}

int RegisterAgent(HWND* window) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr) {
    *window = nullptr;
    return 0;
  }
  AgentRequest request;
  int registered = ParseAgentRequest(count, arguments, &request, window) &&
                   WriteAgentRegistration(&request);
  LocalFree(arguments);
  return registered;
}

int ReadAgentWindow(HWND* window) {
  *window = nullptr;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kAgentKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  DWORD number = 0;
  DWORD size = sizeof(number);
  LONG result = RegQueryValueExA(key, "HWND", nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return 0;
  *window = WindowFromNumber(number);
  return 1;
}

int DeleteAgentRegistration() {
  RegDeleteKeyA(HKEY_CURRENT_USER, kAgentKeyPath);
  return 1;
}

int RunAgentRegistrationMode(SetupContext* context) {
  if (!context->isNt5OrLater) return ERROR_NOT_SUPPORTED;
  const int administrator = g_isUserAdministrator();

  char programFile[MAX_PATH];
  char programFolder[MAX_PATH];
  ZeroMemory(programFile, sizeof(programFile));
  ZeroMemory(programFolder, sizeof(programFolder));
  SHELLEXECUTEINFOA* info = &context->launchInfo;
  ZeroMemory(info, sizeof(*info));
  info->cbSize = sizeof(*info);
  int registered = 0;
  DWORD code = ERROR_CANTREAD;
  int allowed = 0;

  if (ReadProgramPath(programFile, MAX_PATH) && ReadProgramFolder(programFolder)) {
    if (ReadAgentWindow(&context->ownerWindow)) {
      code = ERROR_BUSY;
    } else {
      code = administrator ? ERROR_INVALID_PARAMETER : ERROR_ACCESS_DENIED;
      if (administrator) registered = allowed = RegisterAgent(&context->ownerWindow);
    }
  }

  info->fMask = SEE_MASK_NOCLOSEPROCESS;
  info->lpFile = programFile;
  info->lpDirectory = programFolder;
  info->nShow = SW_SHOWNORMAL;
  info->lpParameters = "/H /W";
  if (allowed) code = ERROR_FUNCTION_FAILED;
  const int launched = allowed && StartProductAndWait(context);
  // The buffers end with this call.
  info->lpFile = nullptr;
  info->lpDirectory = nullptr;
  if (launched) return 0;

  if (registered) DeleteAgentRegistration();
  char text[MAX_PATH];
  if (code == ERROR_ACCESS_DENIED) {
    LoadResourceString(GetModuleHandleA(nullptr), IDS_NOT_ADMINISTRATOR, text, MAX_PATH);
  } else {
    FormatSystemError(code, text);
  }
  // There is no silent option in this mode: the agent's user always hears why.
  ShowStartFailure(context->ownerWindow, text);
  return static_cast<int>(code);
}
