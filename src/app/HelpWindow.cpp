#include "HelpWindow.h"

#include <QShortcut>
#include <QUrl>

#include "Pictures.h"

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
    resize(m.horizontalAdvance(QLatin1Char('M')) * 64, m.lineSpacing() * 36);
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this, &QWidget::close);
}

}  // namespace rvm
