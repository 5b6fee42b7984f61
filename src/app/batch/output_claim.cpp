#include "output_claim.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

#include "run_plan.h"

namespace tinta {

namespace {

// More numbered names than any folder holds; a bound against endless loops.
constexpr int kLastNumber = 100000;

}  // namespace

OutputClaim::~OutputClaim() {
    if (!path_.empty()) {
        ::unlink(path_.c_str());
    }
}

OutputClaim::OutputClaim(OutputClaim&& other) noexcept : path_(std::exchange(other.path_, {})) {}

OutputClaim& OutputClaim::operator=(OutputClaim&& other) noexcept {
    if (this != &other) {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
        path_ = std::exchange(other.path_, {});
    }
    return *this;
}

ClaimResult ClaimOutputName(const std::string& basePath, int firstNumber, bool moveOn) {
    ClaimResult result;
    for (int n = firstNumber; n <= kLastNumber; ++n) {
        result.path = NumberedPath(basePath, n);
        const int fd = ::open(result.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            result.status = ClaimStatus::kClaimed;
            result.claim = OutputClaim(result.path);
            return result;
        }
        if (errno != EEXIST) {
            result.status = ClaimStatus::kFailed;
            result.reason = std::generic_category().message(errno);
            return result;
        }
        if (!moveOn) {
            result.status = ClaimStatus::kTaken;
            return result;
        }
    }
    result.status = ClaimStatus::kFailed;
    result.reason = "空いている名前がありません";
    return result;
}

}  // namespace tinta
