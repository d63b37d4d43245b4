// Files that cannot be loaded: each is told at once with its own message,
// never a hang or a crash, and the deck in memory stays exactly as it was.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <tuple>

#include "Fixture.h"
#include "TempDir.h"

using namespace rvm;
using namespace rvm::test;

using LoadFaults = DocFixture;

TEST_F(LoadFaults, AreToldAtOnceAndChangeNothing) {
    TempDir dir;
    const std::string notADeck = "適当な *.rvm ファイルでありません。";
    const std::string tooLarge = "ファイルが大きすぎます。";
    const std::string missing = dir.file("missing.rvm");
    // A failure to lay out a file shows as the wrong message.
    const std::string f = dir.file("f");
    auto file = [&](std::string bytes) { return [&f, bytes] { return spit(f, bytes), f; }; };
    auto sparse = [&](off_t size) {
        return [&f, size] { return spit(f, ""), std::filesystem::resize_file(f, size), f; };
    };
    struct Row {
        const char* what;
        std::function<std::string()> path;
        std::string text;
        Icon icon = Icon::Error;
    };
    const Row rows[] = {
        {"missing file", [&] { return missing; }, "[" + missing + "]が見つかりません。", Icon::None},
        {"missing folder", [&] { return dir.file("no/x.rvm"); }, std::strerror(ENOENT)},
        {"folder", [&] { return dir.path.string(); }, std::strerror(EISDIR)},
        {"FIFO without a writer", [&] { return ::mkfifo(dir.file("fifo").c_str(), 0600), dir.file("fifo"); },
         std::strerror(ENOTSUP)},
        {"empty device", [] { return std::string("/dev/null"); }, std::strerror(ENOTSUP)},
        {"endless device", [] { return std::string("/dev/zero"); }, std::strerror(ENOTSUP)},
        {"40 GB", sparse(off_t{40} << 30), tooLarge},
        {"1 GiB and a byte", sparse((off_t{1} << 30) + 1), tooLarge},
        {"1 GiB of zeros", sparse(off_t{1} << 30), notADeck},
        {"empty", file(""), notADeck},
        {"two records", file("\x1f" "a\r\n\x1f" "b\r\n"), notADeck},
        {"order 1 and 01",
         file("\x1f" "a\r\n\x1f" "b\r\n\x1f" "1\r\n\x1f" "c\r\n\x1f" "d\r\n\x1f" "01\r\n"), notADeck},
        {"order past the end", file("\x1f" "a\r\n\x1f" "b\r\n\x1f" "5\r\n"), notADeck},
        {"negative order", file("\x1f" "a\r\n\x1f" "b\r\n\x1f" "-1\r\n"), notADeck},
        {"order no whole number", file("\x1f" "a\r\n\x1f" "b\r\n\x1f" "0.5\r\n"), notADeck},
        {"order too large to hold", file("\x1f" "a\r\n\x1f" "b\r\n\x1f" "1e999\r\n"), notADeck},
        {"first line no record", file("junk\r\n\x1f" "a\r\n\x1f" "b\r\n\x1f" "0\r\n"), notADeck},
    };
    deck({"keep", "this"}, {1, 0});
    doc.B3 = {0, 1};
    doc.SetFileName("/old.rvm");
    doc.SetChanged(true);
    auto state = [&] {
        return std::tuple(doc.List1, doc.List2, doc.List3, doc.MaxPage, view.te[0], doc.FileName, doc.Changed,
                          doc.B3);
    };
    const auto before = state();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        prompt.asked.clear();
        EXPECT_FALSE(doc.LoadW(r.path()));
        ASSERT_EQ(prompt.asked.size(), 1u);
        EXPECT_EQ(std::tuple(prompt.asked[0].text, prompt.asked[0].icon, prompt.asked[0].buttons),
                  std::tuple(r.text, r.icon, Buttons::Ok));
        EXPECT_EQ(state(), before);
    }
}
