#include "ViewSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "files/FileIo.h"

namespace rvm {

namespace {

// Lines of "name = value". The geometry is Qt's own record of the window,
// in hexadecimal; the point size a whole number.
const std::string_view kGeometry = "geometry", kPointSize = "pointSize", kNewPages = "newPagesPerDay",
                       kReviews = "reviewsPerDay", kRetention = "retentionPercent", kMemoryFolder = "memoryFolder",
                       kRecent = "recent";
// Far more than the lines ever need.
constexpr std::uint64_t kMaxBytes = 64 << 10;

std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// window moved and cut down to lie within screen.
QRect fitted(const QRect& window, const QRect& screen) {
    const QSize size = window.size().boundedTo(screen.size());
    const int x = std::clamp(window.x(), screen.x(), screen.x() + screen.width() - size.width());
    const int y = std::clamp(window.y(), screen.y(), screen.y() + screen.height() - size.height());
    return {QPoint(x, y), size};
}

}  // namespace

ViewSettings::ViewSettings(std::string path) : path_(std::move(path)) {
    std::string bytes, error;
    if (path_.empty() || ReadWholeFile(path_, bytes, error, kMaxBytes) != ReadStatus::Ok) return;
    for (std::string_view rest = bytes; !rest.empty();) {
        const std::string_view line = rest.substr(0, rest.find('\n'));
        rest.remove_prefix(std::min(rest.size(), line.size() + 1));
        const auto eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view name = trimmed(line.substr(0, eq)), value = trimmed(line.substr(eq + 1));
        if (name == kGeometry && value.size() % 2 == 0 &&
            value.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos) {
            geometry_ = QByteArray::fromHex(QByteArray(value.data(), static_cast<qsizetype>(value.size())));
        } else if (name == kPointSize || name == kNewPages || name == kReviews || name == kRetention) {
            int n = -1;
            const auto [end, err] = std::from_chars(value.data(), value.data() + value.size(), n);
            const bool whole = err == std::errc() && end == value.data() + value.size();
            if (name == kPointSize) pointSize_ = whole && n > 0 ? n : 0;
            else if (!whole) continue;
            else if (name == kNewPages && n >= 0) study_.newPerDay = n;
            else if (name == kReviews && n >= 1) study_.reviewsPerDay = n;
            else if (name == kRetention && n >= 70 && n <= 99) study_.retention = n / 100.0;
        } else if (name == kMemoryFolder) {
            memoryFolder_ = value;
        } else if (name == kRecent && !value.empty()) {
            recent_.emplace_back(value);
        }
    }
}

void ViewSettings::write(const QByteArray& geometry, int textPointSize) const {
    if (path_.empty()) return;
    std::string text = std::string(kGeometry) + " = " + geometry.toHex().toStdString() + "\n";
    if (textPointSize > 0) text += std::string(kPointSize) + " = " + std::to_string(textPointSize) + "\n";
    // Only what the learner changed: a later default reaches the others.
    const learn::StudySettings usual;
    if (study_.newPerDay != usual.newPerDay)
        text += std::string(kNewPages) + " = " + std::to_string(study_.newPerDay) + "\n";
    if (study_.reviewsPerDay != usual.reviewsPerDay)
        text += std::string(kReviews) + " = " + std::to_string(study_.reviewsPerDay) + "\n";
    if (study_.retention != usual.retention)
        text += std::string(kRetention) + " = " + std::to_string(std::lround(study_.retention * 100)) + "\n";
    if (!memoryFolder_.empty()) text += std::string(kMemoryFolder) + " = " + memoryFolder_ + "\n";
    for (const std::string& deck : recent_) text += std::string(kRecent) + " = " + deck + "\n";
    QDir().mkpath(QFileInfo(QString::fromStdString(path_)).absolutePath());
    std::string error;
    WriteFileAtomic(path_, text, error);  // the view is not worth a question at the end
}

void ViewSettings::fitToScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    // A maximized window takes the screen's size whatever was kept.
    if (!screen || window.isMaximized() || window.isFullScreen()) return;
    const QRect fit = fitted(window.geometry(), screen->availableGeometry());
    if (fit != window.geometry()) window.setGeometry(fit);
}

}  // namespace rvm
