// What only the Win32 file layer has to prove: wide paths at the system
// boundary, and the old file kept whole when replacing it fails.
#include <windows.h>

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
