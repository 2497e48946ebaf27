// The fuzz target under a name of its own, so that every target links into the one replay program.
#define LLVMFuzzerTestOneInput fuzz_bank_file
#include "../../fuzz/bank_file.cpp"
