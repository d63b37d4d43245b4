#include "HelpWindow.h"

#include <QScreen>
#include <QShortcut>
#include <QUrl>

#include "widgets/Pictures.h"

namespace rvm {

// Without an owner: the dialogs that offer help block only the main window,
// so this one stays usable beside them.
HelpWindow::HelpWindow(const QString& path) : QTextBrowser(nullptr) {
    setWindowFlag(Qt::Window);
    setWindowIcon(pictures::appIcon());
    setAccessibleName(QStringLiteral("ヘルプ"));
    setOpenExternalLinks(true);
    setSource(QUrl::fromLocalFile(path));
    setWindowTitle(documentTitle());
    const QFontMetrics m(font());
    resize(QSize(m.horizontalAdvance(QLatin1Char('M')) * 64, m.lineSpacing() * 36)
               .boundedTo(screen()->availableGeometry().size() * 9 / 10));
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this, &QWidget::close);
}

}  // namespace rvm
