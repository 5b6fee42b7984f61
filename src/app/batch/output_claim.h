// Taking a final output name so that no other writer, in this process or
// another, can take it too: the name is created empty with O_CREAT | O_EXCL
// and the output later replaces the empty file. A claim that is not kept is
// removed again, so a file that then fails leaves no empty file behind.
#pragma once

#include <string>

namespace tinta {

class OutputClaim {
  public:
    OutputClaim() = default;
    explicit OutputClaim(std::string path) : path_(std::move(path)) {}
    ~OutputClaim();
    OutputClaim(OutputClaim&& other) noexcept;
    OutputClaim& operator=(OutputClaim&& other) noexcept;
    OutputClaim(const OutputClaim&) = delete;
    OutputClaim& operator=(const OutputClaim&) = delete;

    const std::string& Path() const { return path_; }
    // The output was written: the name stays.
    void Keep() { path_.clear(); }

  private:
    std::string path_;  // empty: nothing to remove
};

enum class ClaimStatus {
    kClaimed,
    kTaken,   // the name exists (and the claim did not move on)
    kFailed,  // the name could not be created for another cause
};

struct ClaimResult {
    ClaimStatus status = ClaimStatus::kFailed;
    OutputClaim claim;   // holds the claimed name when kClaimed
    std::string path;    // the name claimed, or the name that was taken
    std::string reason;  // the cause of kFailed
};

// Claims basePath numbered firstNumber (see NumberedPath). With moveOn, a
// taken name makes it try the next number until one is free; without, a
// taken name gives kTaken.
ClaimResult ClaimOutputName(const std::string& basePath, int firstNumber, bool moveOn);

}  // namespace tinta
