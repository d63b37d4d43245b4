// How the user last left the window: its size and place and the text size
// of the page. Kept apart from Ravmemo.ini, whose two lines stay as they are.
#pragma once

#include <QByteArray>
#include <string>

namespace rvm {

class ViewSettings {
public:
    // Reads the file once; an empty path remembers nothing.
    explicit ViewSettings(std::string path);

    QByteArray windowGeometry() const { return geometry_; }
    int textPointSize() const { return pointSize_; }  // 0 when none is kept

    // Once, when the program ends.
    void write(const QByteArray& geometry, int textPointSize) const;

private:
    std::string path_;
    QByteArray geometry_;
    int pointSize_ = 0;
};

}  // namespace rvm
