// The help page in a window of the program's own, for when no browser can
// show it: read-only, its links working, open beside the other windows.
#pragma once

#include <QTextBrowser>

namespace rvm {

class HelpWindow : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpWindow(const QString& path);
};

}  // namespace rvm
