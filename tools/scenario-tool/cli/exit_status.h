#pragma once

#include <stdexcept>
#include <string>

namespace scenario::tool {

// Exit statuses of scenario-tool.
inline constexpr int kExitClean = 0;
inline constexpr int kExitTextFault = 1;  // a fault recorded, or a reserved place in use
inline constexpr int kExitUsage = 2;      // wrong usage, or inputs / outputs that cannot be used

// Wrong usage: an unknown command or option, a missing or malformed argument. The message
// names what was wrong; the caller adds a pointer to the help.
class UsageError : public std::runtime_error {
  public:
    explicit UsageError(const std::string& what) : std::runtime_error(what) {}
};

// An input that cannot be read or an output that cannot be written: nothing was written.
class EnvironmentError : public std::runtime_error {
  public:
    explicit EnvironmentError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace scenario::tool
