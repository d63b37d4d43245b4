// The help page in a window of the program's own, for when no browser can
// show it: a read-only document a screen reader reads line by line, its
// links working, open beside the other windows, with a line above it that
// says why no browser shows it.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QTextEdit>

class QScreen;

namespace rvm {

class HelpWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit HelpWindow(const QString& path);

    // Shows the page with notice above it (none when empty); a window not
    // open yet opens within screen.
    void showWith(const QString& notice, QScreen* screen);

    QLabel* notice;
    QTextEdit* page;
};

}  // namespace rvm
