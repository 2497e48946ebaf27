// The fuzz target under a name of its own, so that every target links into the one replay program.
#define LLVMFuzzerTestOneInput fuzz_cli_options
#include "../../fuzz/cli_options.cpp"
