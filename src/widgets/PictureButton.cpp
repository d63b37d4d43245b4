#include "PictureButton.h"

#include <QAccessibleWidget>
#include <QKeyEvent>

namespace rvm {

namespace {

class PictureButtonAccessible : public QAccessibleWidget {
public:
    explicit PictureButtonAccessible(PictureButton* b) : QAccessibleWidget(b, QAccessible::Button) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        (button()->half() == PictureButton::Half::Hidden ? s.collapsed : s.expanded) = true;
        return s;
    }
    QStringList actionNames() const override {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction())
            button()->press();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    PictureButton* button() const { return static_cast<PictureButton*>(widget()); }
};

QAccessibleInterface* accessibleFor(const QString& className, QObject* object) {
    if (className != QLatin1String("rvm::PictureButton")) return nullptr;
    return new PictureButtonAccessible(static_cast<PictureButton*>(object));
}

}  // namespace

PictureButton::PictureButton(Half half, const QString& name, QWidget* parent)
    : QLabel(parent), half_(half) {
    static const bool known = (QAccessible::installFactory(accessibleFor), true);
    (void)known;
    setAccessibleName(name);
    setCursor(Qt::PointingHandCursor);
    QPalette p = palette();  // the colour of the keyboard's frame
    p.setColor(QPalette::WindowText, p.color(QPalette::Highlight));
    setPalette(p);
}

void PictureButton::mousePressEvent(QMouseEvent* e) {
    QLabel::mousePressEvent(e);
    emit clicked();
}

void PictureButton::keyPressEvent(QKeyEvent* e) {
    const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const int key = e->key();
    if (plain && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter))
        emit clicked();
    else
        QLabel::keyPressEvent(e);
}

// Where the keyboard is: a frame in the selection colour.
void PictureButton::focusInEvent(QFocusEvent* e) {
    if (!focusFrame_) {
        restingFrame_ = frameStyle();
        restingLine_ = lineWidth();
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(2);
        focusFrame_ = true;
    }
    QLabel::focusInEvent(e);
}

void PictureButton::focusOutEvent(QFocusEvent* e) {
    if (focusFrame_) {
        setFrameStyle(restingFrame_);
        setLineWidth(restingLine_);
        focusFrame_ = false;
    }
    QLabel::focusOutEvent(e);
}

}  // namespace rvm
