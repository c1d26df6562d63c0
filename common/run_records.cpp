#include "common/run_records.h"

SetupPackage g_setupPackage;
