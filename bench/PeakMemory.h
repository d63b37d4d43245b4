// The most memory a benchmark process has held at once, measured in a fresh
// process so earlier work in this one does not count. One file per
// platform behind this header.
#pragma once

#include <string>
#include <vector>

namespace rvm::bench {

// The peak of this process's resident memory so far, in KiB.
long PeakMemoryKb();

// Runs this same program with the given arguments and waits for it; false
// when it could not be run or did not end with status 0.
bool RunThisProgram(const std::vector<std::string>& args);

}  // namespace rvm::bench
