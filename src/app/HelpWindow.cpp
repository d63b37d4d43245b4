#include "HelpWindow.h"

#include <QDesktopServices>
#include <QFile>
#include <QKeyEvent>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTextBlock>
#include <QUrl>
#include <QVBoxLayout>
#include <vector>

#include "widgets/Pictures.h"

namespace rvm {

namespace {

// A read-only text box rather than a QTextBrowser, which screen readers are
// told is a label and so do not read; its links are followed here instead,
// by click, or by Tab and Enter as in a browser. A caret that the arrow keys
// move lets a screen reader read the page line by line.
class HelpPage : public QTextEdit {
public:
    HelpPage(const QString& path, QWidget* parent) : QTextEdit(parent), source_(QUrl::fromLocalFile(path)) {
        setReadOnly(true);
        setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByKeyboard);
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) setHtml(QString::fromUtf8(file.readAll()));
        document()->setMetaInformation(QTextDocument::DocumentUrl, source_.toString());  // for its pictures
    }

protected:
    bool focusNextPrevChild(bool next) override {
        const QTextCursor at = textCursor();
        const QTextFragment* to = nullptr;
        const std::vector<QTextFragment> parts = fragments();
        for (const QTextFragment& f : parts) {
            if (!f.charFormat().isAnchor() || f.charFormat().anchorHref().isEmpty()) continue;
            if (next ? f.position() >= at.selectionEnd() : f.position() + f.length() <= at.selectionStart()) {
                to = &f;
                if (next) break;
            }
        }
        if (!to) return QTextEdit::focusNextPrevChild(next);
        QTextCursor link(document());
        link.setPosition(to->position());
        link.setPosition(to->position() + to->length(), QTextCursor::KeepAnchor);
        setTextCursor(link);
        return true;
    }
    void keyPressEvent(QKeyEvent* e) override {
        const QTextCharFormat f = textCursor().charFormat();
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && f.isAnchor()) return follow(f.anchorHref());
        QTextEdit::keyPressEvent(e);
    }
    void mousePressEvent(QMouseEvent* e) override {
        pressed_ = anchorAt(e->position().toPoint());
        QTextEdit::mousePressEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        QTextEdit::mouseReleaseEvent(e);
        if (e->button() == Qt::LeftButton && !pressed_.isEmpty() && anchorAt(e->position().toPoint()) == pressed_)
            follow(pressed_);
    }

private:
    // Every run of text in one format, in the page's order.
    std::vector<QTextFragment> fragments() const {
        std::vector<QTextFragment> all;
        for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it) all.push_back(it.fragment());
        return all;
    }
    // A place on the page: the caret goes there too, so a screen reader reads
    // on from it. Anything else opens as the desktop opens it.
    void follow(const QString& href) {
        const QUrl url = source_.resolved(QUrl(href));
        if (!url.matches(source_, QUrl::RemoveFragment | QUrl::NormalizePathSegments)) {
            QDesktopServices::openUrl(url);
            return;
        }
        for (const QTextFragment& f : fragments())
            if (f.charFormat().anchorNames().contains(url.fragment())) {
                QTextCursor place(document());
                place.setPosition(f.position());
                setTextCursor(place);
                break;
            }
        scrollToAnchor(url.fragment());
    }

    QUrl source_;
    QString pressed_;  // the link a click began on
};

}  // namespace

// Without an owner: the dialogs that offer help block only the main window,
// so this one stays usable beside them.
HelpWindow::HelpWindow(const QString& path) {
    setWindowIcon(pictures::appIcon());
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(0, 0, 0, 0);
    notice = new QLabel(body);
    notice->setWordWrap(true);
    notice->setMargin(notice->fontMetrics().height() / 2);
    notice->setFrameShape(QFrame::StyledPanel);
    page = new HelpPage(path, body);
    page->setAccessibleName(QStringLiteral("ヘルプ"));
    column->addWidget(notice);
    column->addWidget(page, 1);
    setCentralWidget(body);
    page->setFocus();
    setWindowTitle(page->documentTitle());
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this, &QWidget::close);
}

void HelpWindow::showWith(const QString& text, QScreen* screen) {
    notice->setText(text);
    notice->setVisible(!text.isEmpty());
    page->setAccessibleDescription(text);  // read out with the page when it takes the keyboard
    if (!isVisible()) {
        // Centred, with room left around it for the window's frame, which
        // is known only once the window shows.
        const QRect room = screen->availableGeometry();
        const QFontMetrics m(page->font());
        const QSize size = QSize(m.horizontalAdvance(QLatin1Char('M')) * 64, m.lineSpacing() * 36)
                               .boundedTo(room.size() * 9 / 10);
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, room));
    }
    show();
    raise();
    activateWindow();
}

}  // namespace rvm
