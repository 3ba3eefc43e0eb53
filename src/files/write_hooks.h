#pragma once

#include <cstdint>

namespace scenario::files {

// Test hooks, for the tests that kill the programs, fill the disk, swap a link at an output
// name or take the directory's locks away at a chosen moment. The programs of a test build set
// them from their environment (SCENARIO_TEST_*) before they write; a release build never reads
// those variables (see set_write_hooks_from_environment).
struct WriteHooks {
    std::int64_t fail_after_bytes = -1;  // bytes written in all before a write fails as if
                                         // the disk were full; -1 never
    std::uint32_t piece_delay_us = 0;    // a pause before each piece of 64 KB is written
    std::uint32_t rename_delay_ms = 0;   // a pause before each rename into place
    std::uint32_t fail_rename_at = 0;    // the rename into place (1, 2, ...) that fails; 0 none
    bool no_locks = false;               // the directory keeps no locks, as on some file systems
};
void set_write_hooks(const WriteHooks& hooks);
const WriteHooks& write_hooks();

// Reads the hooks from SCENARIO_TEST_FAIL_AFTER_BYTES, SCENARIO_TEST_PIECE_DELAY_US,
// SCENARIO_TEST_RENAME_DELAY_MS, SCENARIO_TEST_FAIL_RENAME_AT and SCENARIO_TEST_NO_LOCKS in a
// program built with the hooks (the CMake option SCENARIO_TEST_HOOKS); does nothing in one
// built without. For the programs' main only.
void set_write_hooks_from_environment();

}  // namespace scenario::files
