#include "tests/support/TempDir.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace testing_support {

TempDir::TempDir() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tunewright-test.XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed for " + pattern);
    FPath = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(FPath, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(FPath, ec);
}

} // namespace testing_support
