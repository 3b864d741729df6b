// fuzz_run.h: the checks of one fuzz input, which libFuzzer's entry point and
// the corpus replay share.
#ifndef ADPCMTBL_FUZZ_RUN_H_
#define ADPCMTBL_FUZZ_RUN_H_

#include <cstddef>
#include <cstdint>

// Makes the table from the input in memory and checks it; at the first check
// that fails, says on standard error what differed, under |name|, and returns
// false.
bool CheckRun(const std::uint8_t* data, std::size_t size, const char* name);

#endif  // ADPCMTBL_FUZZ_RUN_H_
