// The copy of a file kept while it is rewritten in place, and the question
// whether such a rewrite was cut off. A copy lives in the user's data folder
// as NAME.rvm beside NAME.note, NAME being drawn from the file's full path;
// the note holds what the file held before the save and what the save
// writes (each as size and checksum), then the file's path. A rewrite holds
// locks/NAME.lock there meanwhile: the deck's own folder may take no new file.
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "FileIo.h"
#include "FileIoDetail.h"
#include "FileLock.h"

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
    fs::path copy, note, lock;
};

std::optional<Slot> slotOf(const std::string& path) {
    std::error_code ec;
    const fs::path real = fs::canonical(pathOf(path), ec);
    const std::string data = detail::UserDataFolder();
    if (ec || data.empty()) return std::nullopt;
    Slot s{utf8(real), {}, {}, {}};
    char name[24];
    std::snprintf(name, sizeof name, "%016" PRIx64, stampOf(s.file).sum);
    const fs::path folder = pathOf(data) / "saves";
    s.copy = folder / (std::string(name) + ".rvm");
    s.note = folder / (std::string(name) + ".note");
    s.lock = pathOf(data) / "locks" / (std::string(name) + ".lock");
    return s;
}

// Makes one of the program's folders, only this user's; a link planted in
// its place is refused, so nothing is written where it points.
bool ownFolder(const fs::path& folder, std::error_code& ec) {
    if (fs::create_directories(folder, ec)) fs::permissions(folder, fs::perms::owner_all, ec);
    if (!ec && !fs::is_directory(fs::symlink_status(folder, ec)))
        ec = std::make_error_code(std::errc::not_a_directory);
    return !ec;
}

// The note's stamps and the file it names; none when it is not a note.
std::optional<std::pair<Note, std::string>> parseNote(const fs::path& note) {
    std::string bytes, error;
    if (ReadOwnFile(utf8(note), bytes, error, 1 << 16) != ReadStatus::Ok) return std::nullopt;
    Note n;
    int end = 0;
    if (std::sscanf(bytes.c_str(), "%" SCNu64 " %" SCNx64 "\n%" SCNu64 " %" SCNx64 "\n%n", &n.before.size,
                    &n.before.sum, &n.fresh.size, &n.fresh.sum, &end) != 4 || end == 0)
        return std::nullopt;
    return std::pair(n, bytes.substr(static_cast<std::size_t>(end)));
}

std::optional<Note> readNote(const Slot& s) {
    const auto note = parseNote(s.note);
    if (!note || note->second != s.file) return std::nullopt;
    return note->first;
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

// own: a file in the program's folders, whose link is never followed.
std::optional<Stamp> stampOfFile(const fs::path& p, bool own) {
    std::string bytes, error;
    if ((own ? ReadOwnFile(utf8(p), bytes, error) : ReadWholeFile(utf8(p), bytes, error)) != ReadStatus::Ok)
        return std::nullopt;
    return stampOf(bytes);
}

// Waits a little for a rewrite of the same file by another program (or
// window) to end; false only when it goes on longer. Where no lock can be
// made at all, no copy can be either, which tells why.
bool waitForLock(FileLock& lock, const fs::path& path) {
    std::error_code ec;
    if (!ownFolder(path.parent_path(), ec)) return true;
    for (int tries = 0; !lock.tryLock(utf8(path)); ++tries) {
        if (tries == 100) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
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
    if (!waitForLock(lock_, slot->lock)) {
        error = "[" + slot->file + "]は、ほかのプログラムが上書き保存しているところです。\r"
                "しばらくしてから、もう一度保存してください。";
        return false;
    }
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
             stampOfFile(slot->copy, true) == earlier->before;
    if (older_) {
        note.before = earlier->before;
    } else {
        std::error_code ec;
        // Copies of decks are nobody else's business.
        if (!ownFolder(slot->copy.parent_path(), ec)) return why = describe(ec), refuse();
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

std::optional<SaveLeftover> InterruptedSaveBackup(const std::string& path) {
    const std::optional<Slot> slot = slotOf(path);
    std::error_code ec;
    if (!slot || !fs::exists(fs::symlink_status(slot->note, ec))) return std::nullopt;
    // A rewrite still running is no rewrite cut off.
    FileLock lock;
    waitForLock(lock, slot->lock);
    std::string bytes, error;
    const bool copyReads = ReadOwnFile(utf8(slot->copy), bytes, error) == ReadStatus::Ok;
    SaveLeftover left{SaveLeftover::Torn, copyReads ? utf8(slot->copy) : "", utf8(slot->note)};
    const std::optional<Note> note = readNote(*slot);
    if (!note) return left.kind = SaveLeftover::NoteUnreadable, left;
    const std::optional<Stamp> now = stampOfFile(slot->file, false);
    if (!now) return std::nullopt;  // the reader tells what is wrong with it
    if (*now == note->before || *now == note->fresh) {
        drop(slot->copy, slot->note);  // the file is whole
        return std::nullopt;
    }
    if (!copyReads || stampOf(bytes) != note->before) left.kind = SaveLeftover::CopyDiffers;
    return left;
}

std::optional<std::string> TornFileHolding(const std::string& bytes) {
    const std::string data = detail::UserDataFolder();
    std::error_code ec;
    if (data.empty()) return std::nullopt;
    const Stamp stamp = stampOf(bytes);
    for (const auto& e : fs::directory_iterator(pathOf(data) / "saves", ec)) {
        if (e.path().extension() != ".note" || !e.is_regular_file(ec) || e.is_symlink(ec)) continue;
        const auto note = parseNote(e.path());
        if (!note || stamp == note->first.before || stamp == note->first.fresh) continue;
        const std::optional<Slot> slot = slotOf(note->second);
        if (slot && slot->note == e.path() && stampOfFile(slot->file, false) == stamp) return slot->file;
    }
    return std::nullopt;
}

}  // namespace rvm
