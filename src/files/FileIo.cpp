// What the file layer does the same way on every platform.
#include <cerrno>

#include "FileIo.h"
#include "FileIoDetail.h"

namespace rvm {

namespace detail {

// The words of the system's Japanese catalogue where it has the error, so
// that a system with the catalogue and one without read alike.
std::string FaultWords(Fault fault) {
    switch (fault) {
    case Fault::NotFound: return "そのようなファイルやディレクトリはありません";
    case Fault::Denied: return "許可がありません";
    case Fault::Folder: return "ディレクトリです";
    case Fault::NotAFile: return "通常のファイルではありません";
    case Fault::DiskFull: return "デバイスに空き領域がありません";
    case Fault::ReadOnlyDisk: return "読み込み専用ファイルシステムです";
    case Fault::TooLarge: return "ファイルが大きすぎます";
    case Fault::Broken: return "入力/出力エラーです";
    case Fault::NotAFolder: return "ディレクトリではありません";
    case Fault::BadName: return "ファイル名が正しくありません";
    case Fault::NameTooLong: return "ファイル名が長すぎます";
    case Fault::InUse: return "ほかのプログラムが使用中です";
    case Fault::NotReady: return "デバイスの準備ができていません";
    }
    return {};
}

std::optional<Fault> FaultOfErrno(int err) {
    switch (err) {
    case ENOENT: return Fault::NotFound;
    case EACCES: return Fault::Denied;
    case EISDIR: return Fault::Folder;
    case ENOSPC: return Fault::DiskFull;
    case EROFS: return Fault::ReadOnlyDisk;
    case EFBIG: return Fault::TooLarge;
    case EIO: return Fault::Broken;
    default: return std::nullopt;
    }
}

}  // namespace detail

ReadStatus FileReader::open(const std::string& path, std::string& error) { return open(path, true, error); }

ReadStatus FileReader::openOwn(const std::string& path, std::string& error) { return open(path, false, error); }

namespace {

ReadStatus readWhole(const std::string& path, bool own, std::string& bytes, std::string& error,
                     std::uint64_t limit) {
    bytes.clear();
    FileReader file;
    ReadStatus status = own ? file.openOwn(path, error) : file.open(path, error);
    if (status != ReadStatus::Ok) return status;
    if (file.size() > limit) return ReadStatus::TooLarge;
    bytes.reserve(static_cast<std::size_t>(file.size()));
    char buf[1 << 16];
    for (std::size_t got = 1; got > 0;) {
        status = file.read(buf, sizeof buf, got, error);
        if (status == ReadStatus::Ok && bytes.size() + got > limit) status = ReadStatus::TooLarge;
        if (status != ReadStatus::Ok) {
            bytes.clear();
            return status;
        }
        bytes.append(buf, got);
    }
    return ReadStatus::Ok;
}

}  // namespace

ReadStatus ReadWholeFile(const std::string& path, std::string& bytes, std::string& error, std::uint64_t limit) {
    return readWhole(path, false, bytes, error, limit);
}

ReadStatus ReadOwnFile(const std::string& path, std::string& bytes, std::string& error, std::uint64_t limit) {
    return readWhole(path, true, bytes, error, limit);
}

}  // namespace rvm
