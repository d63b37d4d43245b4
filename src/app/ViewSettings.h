// How the user last left the window: its size and place, the text size of
// the page, and how many new pages a day's review brings. Kept apart from Ravmemo.ini, whose two lines stay as they are.
#pragma once

#include <QByteArray>
#include <string>

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
    int newPagesPerDay() const { return newPages_; }   // -1 when none is kept

    // Once, when the program ends, through the deck's safe writer: only a
    // regular file (or a new one) is written, nothing else replaced.
    void write(const QByteArray& geometry, int textPointSize, int newPagesPerDay = -1) const;

    // Call after restoring the geometry, before the window is shown: a size
    // or place kept from a larger screen, or from a damaged file, would
    // otherwise put the window out of reach or beyond the memory.
    static void fitToScreen(QWidget& window);

private:
    std::string path_;
    QByteArray geometry_;
    int pointSize_ = 0;
    int newPages_ = -1;
};

}  // namespace rvm
