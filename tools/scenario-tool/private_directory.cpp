#include "private_directory.h"

#include <random>
#include <string>
#include <system_error>

#include "exit_status.h"

namespace scenario::tool {

PrivateDirectory::PrivateDirectory() {
    std::error_code ec;
    const auto base = std::filesystem::temp_directory_path(ec);
    if (ec) {
        throw EnvironmentError("no temporary directory to work in: " + ec.message());
    }
    std::random_device seed;
    std::mt19937_64 random(seed());
    // create_directory fails on an existing name, so a directory we did not make is never used.
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = base / ("scenario-tool-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate, ec)) {
            std::filesystem::permissions(candidate, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::replace, ec);
            path_ = std::move(candidate);
            return;
        }
        if (ec && ec != std::errc::file_exists) {
            break;
        }
    }
    throw EnvironmentError("cannot make a working directory under " + base.string() +
                           (ec ? ": " + ec.message() : std::string()));
}

PrivateDirectory::~PrivateDirectory() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

}  // namespace scenario::tool
