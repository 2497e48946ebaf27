// The fuzz target under a name of its own, so that every target links into the one replay program.
#define LLVMFuzzerTestOneInput fuzz_ini_profile
#include "../../fuzz/ini_profile.cpp"
