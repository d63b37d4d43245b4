// What only the Win32 file layer has to prove: wide paths at the system
// boundary, and the old file kept whole when replacing it fails.
#include <windows.h>

#include <algorithm>
#include <gtest/gtest.h>

#include "TempDir.h"
#include "files/FileIo.h"

using namespace rvm;
using namespace rvm::test;

TEST(Win32Files, JapaneseNamesTheReadLimitAndFailedReplaces) {
    TempDir dir;
    const std::string folder = dir.file("問題集"), deck = folder + "\\単語.rvm";
    const auto entries = [&] {
        return std::ranges::distance(std::filesystem::directory_iterator(fsPath(folder)));
    };
    std::filesystem::create_directory(fsPath(folder));
    std::string bytes, error;
    EXPECT_EQ(ReadWholeFile(deck, bytes, error), ReadStatus::NotFound);
    EXPECT_EQ(ReadWholeFile(dir.file("無い\\単語.rvm"), bytes, error), ReadStatus::Error);
    EXPECT_EQ(error, "そのようなファイルやディレクトリはありません");  // the same words as elsewhere
    for (const std::string content : {"\x1f\x8c\xa2", "replaced"}) {  // new, then ReplaceFileW
        ASSERT_TRUE(WriteFileAtomic(deck, content, error)) << error;
        EXPECT_TRUE(FileOpensForReading(deck));
        EXPECT_EQ(ReadWholeFile(deck, bytes, error), ReadStatus::Ok);
        EXPECT_EQ(bytes, content);
    }
    EXPECT_EQ(entries(), 1);
    EXPECT_TRUE(std::filesystem::exists(fsPath(ProgramDirectory()) / "core_tests.exe"));

    const std::wstring wpath = fsPath(deck).wstring();
    // The old file's attributes, and the sharing of another program's handle on it (~0u: none).
    const struct { const char* what; DWORD attributes, share; } rows[] = {
        {"read-only", FILE_ATTRIBUTE_READONLY, ~0u},
        {"open elsewhere, not to be deleted", FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ | FILE_SHARE_WRITE},
        {"locked", FILE_ATTRIBUTE_NORMAL, 0},
    };
    for (const auto& r : rows) {
        SetFileAttributesW(wpath.c_str(), r.attributes);
        HANDLE other = r.share == ~0u ? INVALID_HANDLE_VALUE
                                      : CreateFileW(wpath.c_str(), GENERIC_READ, r.share, nullptr,
                                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        std::string why;
        EXPECT_FALSE(WriteFileAtomic(deck, "new", why)) << r.what;
        EXPECT_FALSE(why.empty()) << r.what;
        if (r.attributes == FILE_ATTRIBUTE_READONLY) {
            EXPECT_EQ(why, "許可がありません");
        }
        if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
        SetFileAttributesW(wpath.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(slurp(deck), "replaced") << r.what;
        EXPECT_EQ(entries(), 1) << r.what;
    }
    EXPECT_FALSE(WriteFileAtomic(folder, "new", error));
    EXPECT_EQ(error, "ディレクトリです");
    EXPECT_EQ(ReadWholeFile("NUL", bytes, error), ReadStatus::Error);
    EXPECT_EQ(error, "通常のファイルではありません");
    std::filesystem::resize_file(fsPath(deck), kMaxReadBytes + 1);
    EXPECT_EQ(ReadWholeFile(deck, bytes, error), ReadStatus::TooLarge);
    EXPECT_EQ(entries(), 1);
}

// A deck named as a command line or another program may name it: saved new,
// then saved over, then read back.
TEST(Win32Files, PathsAsGiven) {
    TempDir dir;
    const std::string full = dir.file("単語.rvm");
    std::string slashes = full;  // as Qt writes them
    std::ranges::replace(slashes, '\\', '/');
    std::wstring deep = L"\\\\?\\" + dir.path.wstring();
    for (int i = 0; i < 6; ++i) CreateDirectoryW((deep += L"\\長いフォルダの名前" + std::wstring(40, L'x')).c_str(), nullptr);
    const std::string longName = reinterpret_cast<const char*>(
        std::filesystem::path(deep.substr(4) + L"\\単語.rvm").u8string().c_str());
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path);
    for (const std::string& path : {std::string("単語.rvm"), slashes, longName}) {
        std::string bytes, error;
        for (const std::string content : {"new", "replaced"}) {
            EXPECT_TRUE(WriteFileAtomic(path, content, error)) << path << ": " << error;
        }
        EXPECT_EQ(ReadWholeFile(path, bytes, error), ReadStatus::Ok) << path;
        EXPECT_EQ(bytes, "replaced") << path;
        EXPECT_TRUE(AppendToFile(path, "+", error)) << path;
        EXPECT_TRUE(FileOpensForReading(path)) << path;
    }
    std::filesystem::current_path(before);
    EXPECT_EQ(slurp(full), "replaced+");
    std::string error;  // Wine words it in English
    EXPECT_FALSE(WriteFileAtomic(dir.file("単語?.rvm"), "new", error));
    EXPECT_EQ(error, "ファイル名が正しくありません");
}
