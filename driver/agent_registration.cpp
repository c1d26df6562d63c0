#include "driver/agent_registration.h"

// Placeholder until the registration mode lands: nothing pending, nothing written.
int RunAgentRegistrationMode(SetupContext*) { return 0; }
int RegisterAgent(HWND* window) { *window = nullptr; return 1; }
int ReadAgentWindow(HWND* window) { *window = nullptr; return 0; }
int DeleteAgentRegistration() { return 1; }
