#pragma once

namespace scenario::driver {

// Exit statuses of scenario-builder.
inline constexpr int kExitClean = 0;
inline constexpr int kExitRecordedFault = 1;  // files written, but the texts had a fault
inline constexpr int kExitShownError = 2;     // errore: a reserved place in use, no compact file
inline constexpr int kExitFailure = 3;        // a file could not be written, or no cells
inline constexpr int kExitUsage = 64;

}  // namespace scenario::driver
