// A picture that acts as a button: a click presses it, and so do Space and
// Enter while it has the keyboard. A screen reader finds a button with its
// name and whether the half of the page it belongs to is open.
#pragma once

#include <QLabel>

namespace rvm {

class PictureButton : public QLabel {
    Q_OBJECT
public:
    // The state of its half while the button shows: hidden behind it (a
    // cover, which opens the half) or open (the button that closes it).
    enum class Half { Hidden, Open };
    PictureButton(Half half, const QString& name, QWidget* parent);

    Half half() const { return half_; }
    void press() { emit clicked(); }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    Half half_;
    bool focusFrame_ = false;
    int restingFrame_ = 0, restingLine_ = 1;  // the frame it shows without the keyboard
};

}  // namespace rvm
