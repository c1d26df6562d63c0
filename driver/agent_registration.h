// The update agent's registration mode and its pending registration.
#pragma once
#include <windows.h>

struct SetupContext;

// Runs a "/T" command line; answers the exit code.
int RunAgentRegistrationMode(SetupContext* context);
int RegisterAgent(HWND* window);
int ReadAgentWindow(HWND* window);
int DeleteAgentRegistration();
