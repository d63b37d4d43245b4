// Drilling from the keyboard: Ctrl+Return uncovers the hidden half and
// covers it again, Ctrl+PageDown and Ctrl+PageUp do what the toolbar's next
// and previous buttons do. The keys work from either half and never reach
// the text. (Space or Enter on a cover that Tab reached opens it as a click
// does: PictureButton.)
#pragma once

#include <QObject>

namespace rvm {

class MainWindow;

// Which half the uncover key acts on, and whether it uncovers it: what is
// hidden comes out first, the drilled half before the other; when nothing
// is hidden, the drilled half is covered again.
struct CoverToggle {
    int half;
    bool uncover;
};
CoverToggle NextCoverToggle(int hideMode, bool covered0, bool covered1);

class DrillKeys : public QObject {
    Q_OBJECT
public:
    explicit DrillKeys(MainWindow& w);

    void toggleCover();
    void next();
    void previous();

private:
    MainWindow& w_;
};

}  // namespace rvm
