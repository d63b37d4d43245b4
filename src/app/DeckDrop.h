// A deck file dropped on the main window opens as File > Open would after
// its dialog; any other drop is left to the widget under it.
#pragma once

#include <QObject>
#include <optional>
#include <string>

class QMimeData;

namespace rvm {

class FileCommands;

// The path of the one local *.rvm file the data names, if it names exactly that.
std::optional<std::string> DroppedDeck(const QMimeData* data);

class DeckDrop : public QObject {
    Q_OBJECT
public:
    // Watches the window and every target given, which would otherwise take
    // the drop themselves (text boxes take file names as text).
    DeckDrop(FileCommands& files, QWidget* window, std::initializer_list<QWidget*> targets);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    FileCommands& files_;
};

}  // namespace rvm
