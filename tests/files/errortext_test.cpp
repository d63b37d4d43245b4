// File errors in the same Japanese words on every platform, and the reader
// of the system's catalogues of such words, on whatever bytes it is given.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <utility>
#include <vector>

#include "TempDir.h"
#include "files/FileIo.h"
#include "files/MessageCatalog.h"

using namespace rvm;

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;
const std::string kHeader = "Content-Type: text/plain; charset=UTF-8\n";

// A .mo file of pairs (the header first), as msgfmt writes it.
std::string mo(Pairs pairs, bool bigEndian = false, const std::string& header = kHeader) {
    pairs.emplace_back("", header);
    std::ranges::sort(pairs);
    const auto n = static_cast<std::uint32_t>(pairs.size());
    const std::uint32_t originals = 28, translations = originals + 8 * n, strings = translations + 8 * n;
    std::string out, text;
    auto put = [&](std::uint32_t w) {
        for (int k = 0; k < 4; ++k) out += static_cast<char>(w >> (bigEndian ? 24 - 8 * k : 8 * k));
    };
    for (std::uint32_t w : {0x950412deu, 0u, n, originals, translations, 0u, strings}) put(w);
    for (bool translated : {false, true}) {
        for (const auto& [original, translation] : pairs) {
            const std::string& s = translated ? translation : original;
            put(static_cast<std::uint32_t>(s.size()));
            put(strings + static_cast<std::uint32_t>(text.size()));
            text += s + '\0';
        }
    }
    return out + text;
}

}  // namespace

TEST(MessageCatalog, FindsTranslationsOnlyInASoundUtf8Catalogue) {
    const Pairs texts = {{"Is a directory", "ディレクトリです"}, {"File too large", "ファイルが大きすぎます"}};
    std::string pastTheEnd = mo(texts);
    pastTheEnd[28 + 3 * 8 + 8] = 0x7f;  // the length of the first translation after the header
    struct Row {
        const char* what;
        std::string bytes;
        std::string text;
        std::optional<std::string> want;
    } const rows[] = {
        {"found", mo(texts), "File too large", "ファイルが大きすぎます"},
        {"found, big-endian", mo(texts, true), "Is a directory", "ディレクトリです"},
        {"not there", mo(texts), "Permission denied", std::nullopt},
        {"plural: the singular", mo({{std::string("file\0files", 10), std::string("a\0b", 3)}}),
         std::string("file\0files", 10), "a"},
        {"not UTF-8", mo(texts, false, "Content-Type: text/plain; charset=EUC-JP\n"), "File too large",
         std::nullopt},
        {"no header", mo(texts, false, ""), "File too large", std::nullopt},
        {"cut short", mo(texts).substr(0, 60), "File too large", std::nullopt},
        {"offset past the end", pastTheEnd, "File too large", std::nullopt},
        {"not a catalogue", std::string(64, 'x'), "File too large", std::nullopt},
        {"empty", "", "", std::nullopt},
    };
    for (const Row& r : rows) EXPECT_EQ(MessageCatalog(r.bytes).find(r.text), r.want) << r.what;
}

TEST(FileErrors, ReadTheSameOnEveryPlatform) {
    const rvm::test::TempDir dir;
    const std::string notFound = "そのようなファイルやディレクトリはありません", folder = "ディレクトリです";
    const bool posix = ProgramDirectory().starts_with("/");
    const struct {
        const char* what;
        std::string path;
        bool write;
        std::string want;
    } rows[] = {
        {"read in a missing folder", dir.file("no/x.rvm"), false, notFound},
        {"write in a missing folder", dir.file("no/x.rvm"), true, notFound},
        {"read a folder", dir.path.string(), false, folder},
        {"write over a folder", dir.path.string(), true, folder},
        {"read a device", posix ? "/dev/null" : "NUL", false, "通常のファイルではありません"},
    };
    for (const auto& r : rows) {
        std::string bytes, error;
        if (r.write)
            EXPECT_FALSE(WriteFileAtomic(r.path, "new", error)) << r.what;
        else
            EXPECT_EQ(ReadWholeFile(r.path, bytes, error), ReadStatus::Error) << r.what;
        EXPECT_EQ(error, r.want) << r.what;
    }
    const std::pair<int, std::string> errnos[] = {
        {ENOENT, notFound}, {EACCES, "許可がありません"}, {EISDIR, folder},
        {ENOSPC, "デバイスに空き領域がありません"}, {EROFS, "読み込み専用ファイルシステムです"},
        {EFBIG, "ファイルが大きすぎます"}, {EIO, "入力/出力エラーです"},
    };
    for (const auto& [err, want] : errnos) EXPECT_EQ(DescribeErrno(err), want) << err;
}
