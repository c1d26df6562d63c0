#include "driver/setup_context.h"

int ParseOptions(const char* commandLine, SetupContext* context) {
  ApplyOptionText(commandLine, &context->flags);
  return 1;
}
