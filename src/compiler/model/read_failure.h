#pragma once

#include <stdexcept>
#include <string>

namespace scenario::compiler {

// A run-time failure while the texts are read and placed: a value that does not fit its field,
// a record cut short, an unreadable file. The reader catches it and records error 25.
class ReadFailure : public std::runtime_error {
  public:
    explicit ReadFailure(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace scenario::compiler
