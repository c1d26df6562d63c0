#include "common/run_records.h"
#include "driver/options.h"

int ParseOptions(const char* commandLine, SetupContext* context) {
  ApplyOptionText(commandLine, &context->flags);
  return 1;
}
