// The engine tests of tests/native/xml_variant_test.cpp, run under Wine
// against the Windows build of the engine.
#include "native/xml_variant_test.cpp"
