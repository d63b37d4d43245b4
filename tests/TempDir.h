// A scratch folder removed at the end of the test. Paths are UTF-8 strings,
// as everywhere in the program, also where the system's own are wide.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace rvm::test {

inline std::filesystem::path fsPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

struct TempDir {
    std::filesystem::path path;
    TempDir() {
        std::random_device rd;
        do path = std::filesystem::temp_directory_path() / ("rvm-test-" + std::to_string(rd()));
        while (!std::filesystem::create_directory(path));
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path, ec);
    }
    std::string file(const std::string& name) const {
        return reinterpret_cast<const char*>((path / fsPath(name)).u8string().c_str());
    }
};

inline std::string slurp(const std::string& p) {
    std::ifstream in(fsPath(p), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void spit(const std::string& p, const std::string& bytes) {
    std::ofstream(fsPath(p), std::ios::binary) << bytes;
}

}  // namespace rvm::test
