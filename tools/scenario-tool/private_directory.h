#pragma once

#include <filesystem>

namespace scenario::tool {

// A fresh directory of our own under the system's temporary directory, removed with all it
// holds when the object goes. The compile works there, on copies of the author's texts.
class PrivateDirectory {
  public:
    PrivateDirectory();  // throws EnvironmentError when none can be made
    ~PrivateDirectory();
    PrivateDirectory(const PrivateDirectory&) = delete;
    PrivateDirectory& operator=(const PrivateDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace scenario::tool
