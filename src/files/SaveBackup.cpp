// The copy of a file kept while it is rewritten in place, and the question
// whether such a rewrite was cut off. A copy lives in the user's data folder
// as NAME.rvm beside NAME.note, NAME being drawn from the file's full path;
// the note holds what the file held before the save and what the save
// writes (each as size and checksum), then the file's path.
#include <cinttypes>
#include <cstdio>
#include <filesystem>

#include "FileIo.h"
#include "FileIoDetail.h"

namespace rvm {
namespace fs = std::filesystem;
namespace {

fs::path pathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string utf8(const fs::path& p) {
    const std::u8string s = p.u8string();
    return {s.begin(), s.end()};
}

// Tells the content before and after a save apart; no guard against intent.
struct Stamp {
    std::uint64_t size = 0, sum = 0;
    bool operator==(const Stamp&) const = default;
};

Stamp stampOf(const std::string& bytes) {
    std::uint64_t h = 14695981039346656037u;  // FNV-1a
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211u;
    return {bytes.size(), h};
}

struct Note {
    Stamp before, fresh;
};

struct Slot {
    std::string file;  // the full path, links resolved
    fs::path copy, note;
};

std::optional<Slot> slotOf(const std::string& path) {
    std::error_code ec;
    const fs::path real = fs::canonical(pathOf(path), ec);
    const std::string data = detail::UserDataFolder();
    if (ec || data.empty()) return std::nullopt;
    Slot s{utf8(real), {}, {}};
    char name[24];
    std::snprintf(name, sizeof name, "%016" PRIx64, stampOf(s.file).sum);
    const fs::path folder = pathOf(data) / "saves";
    s.copy = folder / (std::string(name) + ".rvm");
    s.note = folder / (std::string(name) + ".note");
    return s;
}

std::optional<Note> readNote(const Slot& s) {
    std::string bytes, error;
    if (ReadOwnFile(utf8(s.note), bytes, error, 1 << 16) != ReadStatus::Ok) return std::nullopt;
    Note n;
    int end = 0;
    if (std::sscanf(bytes.c_str(), "%" SCNu64 " %" SCNx64 "\n%" SCNu64 " %" SCNx64 "\n%n", &n.before.size,
                    &n.before.sum, &n.fresh.size, &n.fresh.sum, &end) != 4 ||
        end == 0 || bytes.compare(static_cast<std::size_t>(end), std::string::npos, s.file) != 0)
        return std::nullopt;
    return n;
}

std::string noteText(const Note& n, const std::string& file) {
    char text[96];
    std::snprintf(text, sizeof text, "%" PRIu64 " %016" PRIx64 "\n%" PRIu64 " %016" PRIx64 "\n", n.before.size,
                  n.before.sum, n.fresh.size, n.fresh.sum);
    return text + file;
}

std::string describe(const std::error_code& ec) {
    const std::error_condition c = ec.default_error_condition();
    return c.category() == std::generic_category() ? DescribeErrno(c.value()) : ec.message();
}

std::optional<Stamp> stampOfFile(const fs::path& p) {
    std::string bytes, error;
    if (ReadWholeFile(utf8(p), bytes, error) != ReadStatus::Ok) return std::nullopt;
    return stampOf(bytes);
}

// The note goes first: a copy without its note is never offered.
void drop(const fs::path& copy, const fs::path& note) {
    std::error_code ec;
    fs::remove(note, ec);
    fs::remove(copy, ec);
}

}  // namespace

namespace detail {

bool SaveBackup::keep(const std::string& path, const std::string& fresh, std::string& error) {
    const std::optional<Slot> slot = slotOf(path);
    std::string why;
    auto refuse = [&] {
        const fs::path file = pathOf(slot ? slot->file : path);
        error = "[" + utf8(file.parent_path()) + "]には新しいファイルを作れません。" +
                "このようなフォルダでは、元の内容の控えを[" + UserDataFolder() +
                "]に作ってから上書きしますが、控えを作れませんでした（" + why + "）。\r" +
                "「名前を付けて保存」で別のフォルダに保存してください。";
        return false;
    };
    if (!slot) return why = FaultWords(Fault::NotFound), refuse();
    switch (ReadWholeFile(slot->file, before_, why)) {
    case ReadStatus::Ok: break;
    case ReadStatus::NotFound: return why = FaultWords(Fault::NotFound), refuse();
    case ReadStatus::TooLarge: return why = FaultWords(Fault::TooLarge), refuse();
    case ReadStatus::Error: return refuse();
    }
    copy_ = utf8(slot->copy);
    note_ = utf8(slot->note);
    Note note{stampOf(before_), stampOf(fresh)};
    const std::optional<Note> earlier = readNote(*slot);
    older_ = earlier && note.before != earlier->before && note.before != earlier->fresh &&
             stampOfFile(slot->copy) == earlier->before;
    if (older_) {
        note.before = earlier->before;
    } else {
        std::error_code ec;
        // Copies of decks are nobody else's business.
        if (fs::create_directories(slot->copy.parent_path(), ec))
            fs::permissions(slot->copy.parent_path(), fs::perms::owner_all, ec);
        if (ec) return why = describe(ec), refuse();
        if (!WriteOwnFile(copy_, before_, why)) return refuse();
    }
    return WriteOwnFile(note_, noteText(note, slot->file), why) || refuse();
}

void SaveBackup::settle(bool fresh) {
    if (fresh || !older_) drop(pathOf(copy_), pathOf(note_));
}

std::string SaveBackup::keptAt() const { return "保存する前の内容を[" + copy_ + "]に残してあります。"; }

void ForgetSaveBackup(const std::string& path) {
    const std::optional<Slot> slot = slotOf(path);
    std::error_code ec;
    if (slot && fs::exists(slot->note, ec)) drop(slot->copy, slot->note);
}

}  // namespace detail

std::optional<std::string> InterruptedSaveBackup(const std::string& path) {
    const std::optional<Slot> slot = slotOf(path);
    const std::optional<Note> note = slot ? readNote(*slot) : std::nullopt;
    if (!note) return std::nullopt;
    const std::optional<Stamp> now = stampOfFile(slot->file);
    if (!now) return std::nullopt;  // the reader tells what is wrong with it
    if (*now != note->before && *now != note->fresh && stampOfFile(slot->copy) == note->before)
        return utf8(slot->copy);
    drop(slot->copy, slot->note);
    return std::nullopt;
}

void DiscardSaveBackup(const std::string& path) {
    if (const std::optional<Slot> slot = slotOf(path)) drop(slot->copy, slot->note);
}

}  // namespace rvm
