// What the file layer does the same way on every platform.
#include "FileIo.h"

namespace rvm {

ReadStatus ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
    bytes.clear();
    FileReader file;
    ReadStatus status = file.open(path, error);
    if (status != ReadStatus::Ok) return status;
    bytes.reserve(static_cast<std::size_t>(file.size()));
    char buf[1 << 16];
    for (std::size_t got = 1; got > 0;) {
        status = file.read(buf, sizeof buf, got, error);
        if (status != ReadStatus::Ok) {
            bytes.clear();
            return status;
        }
        bytes.append(buf, got);
    }
    return ReadStatus::Ok;
}

}  // namespace rvm
