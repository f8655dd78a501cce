#pragma once

#include "cli/headless_options.h"

namespace quillark {

// `quillark --headless`: the program's start-up sequence over a list without a
// window (loader, sort, first test pass), then the list on standard output.
// With --once it prints when the first pass has finished and returns 0;
// otherwise it repeats a pass every interval and redraws the table until
// interrupted.
int RunHeadless(const HeadlessOptions& options);

}  // namespace quillark
