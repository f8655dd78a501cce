#pragma once

namespace quillark {

// The program's heap policy, set once at start-up: freed memory up to 64 MiB
// stays with the process, and blocks of that size come from the heap rather
// than from fresh mappings. Texts of a few hundred kilobytes are converted
// and dropped on every pattern run and every request; without this, glibc
// hands each one back to the system and the next one pays page faults for it
// (in a virtual machine, more than the work itself).
void KeepFreedMemoryForReuse();

}  // namespace quillark
