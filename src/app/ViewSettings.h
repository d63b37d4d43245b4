// How the user last left the window: its size and place, the text size of
// the page, the learner's target retention and daily limits, where the
// learner's memory lives and the decks opened last. Kept apart from Ravmemo.ini, whose
// two lines stay as they are.
#pragma once

#include <QByteArray>
#include <string>
#include <vector>

#include "learn/Drill.h"

class QWidget;

namespace rvm {

class ViewSettings {
public:
    // Reads the file once; an empty path remembers nothing. Only a regular
    // file of a sane size is read, never waited for, and a line it does not
    // know (or a damaged one) leaves that setting as if none were kept.
    explicit ViewSettings(std::string path);

    QByteArray windowGeometry() const { return geometry_; }
    int textPointSize() const { return pointSize_; }  // 0 when none is kept
    // What 学習 > 設定 holds; the defaults where none is kept.
    const learn::StudySettings& study() const { return study_; }
    void setStudy(const learn::StudySettings& s) { study_ = s; }
    // The folder the learner chose for the memory; empty: the usual one.
    const std::string& memoryFolder() const { return memoryFolder_; }
    void setMemoryFolder(std::string folder) { memoryFolder_ = std::move(folder); }
    // The decks opened last, the latest first.
    const std::vector<std::string>& recentDecks() const { return recent_; }
    void setRecentDecks(std::vector<std::string> decks) { recent_ = std::move(decks); }

    // Once, when the program ends, through the deck's safe writer: only a
    // regular file (or a new one) is written, nothing else replaced.
    void write(const QByteArray& geometry, int textPointSize) const;

    // Call after restoring the geometry, before the window is shown: a size
    // or place kept from a larger screen, or from a damaged file, would
    // otherwise put the window out of reach or beyond the memory.
    static void fitToScreen(QWidget& window);

private:
    std::string path_;
    QByteArray geometry_;
    int pointSize_ = 0;
    learn::StudySettings study_;
    std::string memoryFolder_;
    std::vector<std::string> recent_;
};

}  // namespace rvm
