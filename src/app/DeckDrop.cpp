#include "DeckDrop.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "Composition.h"
#include "files/FileCommands.h"

namespace rvm {

std::optional<std::string> DroppedDeck(const QMimeData* data) {
    if (!data || !data->hasUrls()) return std::nullopt;
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls[0].isLocalFile()) return std::nullopt;
    const QString path = urls[0].toLocalFile();
    if (QFileInfo(path).suffix().compare(QLatin1String("rvm"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return path.toStdString();
}

DeckDrop::DeckDrop(FileCommands& files, QWidget* window, std::initializer_list<QWidget*> targets)
    : QObject(window), files_(files) {
    window->setAcceptDrops(true);
    window->installEventFilter(this);
    for (QWidget* t : targets) t->installEventFilter(this);
}

bool DeckDrop::eventFilter(QObject* watched, QEvent* e) {
    const auto type = e->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, e);
    auto* d = static_cast<QDropEvent*>(e);
    const auto path = DroppedDeck(d->mimeData());
    if (!path) {
        if (watched == parent()) d->ignore();  // the window itself takes nothing else
        return watched == parent();
    }
    d->setDropAction(Qt::CopyAction);
    d->accept();
    // Opened once the drop is over: the question it may ask must not hold
    // the program the file came from.
    if (type == QEvent::Drop)
        QTimer::singleShot(0, this, [this, p = *path] {
            FinishComposition();
            files_.openDroppedDeck(p);
        });
    return true;
}

}  // namespace rvm
