#include "TextZoom.h"

#include <QKeySequence>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QWheelEvent>
#include <algorithm>
#include <iterator>

namespace rvm {

namespace {
// The steps of a font size menu: fine where text is small, coarse where big.
constexpr int kSteps[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 28, 32, 36, 40, 48, 56, 64, 72};
}  // namespace

TextZoom::TextZoom(QPlainTextEdit* upper, QPlainTextEdit* lower, QWidget* window)
    : QObject(window), te_{upper, lower} {
    const qreal points = upper->font().pointSizeF();
    default_ = std::clamp(points > 0 ? qRound(points) : 10, kMin, kMax);
    size_ = default_;
    // Ctrl+= and Ctrl+; are the plus key without Shift on US and Japanese
    // keyboards.
    const std::pair<QKeySequence, void (TextZoom::*)()> keys[] = {
        {QKeySequence::ZoomIn, &TextZoom::zoomIn},
        {QKeySequence(Qt::CTRL | Qt::Key_Equal), &TextZoom::zoomIn},
        {QKeySequence(Qt::CTRL | Qt::Key_Semicolon), &TextZoom::zoomIn},
        {QKeySequence::ZoomOut, &TextZoom::zoomOut},
        {QKeySequence(Qt::CTRL | Qt::Key_0), &TextZoom::reset},
    };
    for (const auto& [key, slot] : keys) {
        auto* sc = new QShortcut(key, window);
        connect(sc, &QShortcut::activated, this, slot);
    }
    for (QPlainTextEdit* te : te_) te->viewport()->installEventFilter(this);
}

void TextZoom::setPointSize(int points) {
    size_ = std::clamp(points, kMin, kMax);
    for (QPlainTextEdit* te : te_) {
        QFont f = te->font();
        f.setPointSize(size_);
        te->setFont(f);
    }
}

void TextZoom::zoomIn() {
    const int* next = std::upper_bound(std::begin(kSteps), std::end(kSteps), size_);
    if (next != std::end(kSteps)) setPointSize(*next);
}

void TextZoom::zoomOut() {
    const int* at = std::lower_bound(std::begin(kSteps), std::end(kSteps), size_);
    if (at != std::begin(kSteps)) setPointSize(*(at - 1));
}

bool TextZoom::eventFilter(QObject* watched, QEvent* e) {
    // Ctrl+wheel zooms both halves; a read-only text box would zoom only
    // itself, an editable one would scroll.
    if (e->type() != QEvent::Wheel) return QObject::eventFilter(watched, e);
    auto* w = static_cast<QWheelEvent*>(e);
    if (!(w->modifiers() & Qt::ControlModifier)) return false;
    wheel_ += w->angleDelta().y();
    for (; wheel_ >= 120; wheel_ -= 120) zoomIn();
    for (; wheel_ <= -120; wheel_ += 120) zoomOut();
    return true;
}

}  // namespace rvm
