// Linked into the programs of a build with SCENARIO_TEST_HOOKS: the tests steer the writer
// through the environment.
#include <cstdlib>

#include "files/write_hooks.h"

namespace scenario::files {

namespace {

std::uint32_t environment_number(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? 0 : static_cast<std::uint32_t>(std::strtoul(value, nullptr, 10));
}

}  // namespace

void set_write_hooks_from_environment() {
    WriteHooks from_environment;
    if (const char* value = std::getenv("SCENARIO_TEST_FAIL_AFTER_BYTES")) {
        from_environment.fail_after_bytes = std::strtoll(value, nullptr, 10);
    }
    from_environment.piece_delay_us = environment_number("SCENARIO_TEST_PIECE_DELAY_US");
    from_environment.rename_delay_ms = environment_number("SCENARIO_TEST_RENAME_DELAY_MS");
    from_environment.fail_rename_at = environment_number("SCENARIO_TEST_FAIL_RENAME_AT");
    from_environment.no_locks = environment_number("SCENARIO_TEST_NO_LOCKS") != 0;
    set_write_hooks(from_environment);
}

}  // namespace scenario::files
