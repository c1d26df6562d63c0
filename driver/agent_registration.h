// The update agent's registration mode and its pending registration.
#pragma once
#include <windows.h>

struct SetupContext;

// Runs a "/T" command line; answers the exit code.
int RunAgentRegistrationMode(SetupContext* context);
// Parses the program's whole command line and writes the registration; the
// window handle given (or 0) goes to window in every case. Answers 1 when the
// registration was written.
int RegisterAgent(HWND* window);
// Reads the "HWND" value of a pending registration; answers 1 when there is one.
int ReadAgentWindow(HWND* window);
// Removes the pending registration, if any. Always answers 1.
int DeleteAgentRegistration();

// A request as read from the arguments: the values in the order they are
// written, each with a text pointing into the argument vector, or none.
enum AgentValueKind { AgentValueText, AgentValueNumber };
struct AgentValue {
  const wchar_t* name;
  const wchar_t* text;
  AgentValueKind kind;
};
enum { kAgentValueCount = 5 };
struct AgentRequest {
  AgentValue values[kAgentValueCount];
};

// Reads an argument vector (argument 0 is the program) into request; the
// window handle given (or 0) goes to window in every case. Answers 1 when the
// arguments make a valid request.
int ParseAgentRequest(int count, const wchar_t* const* arguments, AgentRequest* request,
                      HWND* window);
// Creates the volatile registration key and writes the request's values.
// Answers 0 without writing when the key exists, and 0 after deleting the key
// again when a write failed.
int WriteAgentRegistration(const AgentRequest* request);

// RegSetValueExW in front of the mode's value writes: Wine's registry refuses
// no value write.
typedef LONG(WINAPI* WideValueSetter)(HKEY key, LPCWSTR name, DWORD reserved, DWORD type,
                                      const BYTE* data, DWORD size);
extern WideValueSetter g_setAgentValue;
