// The text size of both page halves, changed together with Ctrl+plus,
// Ctrl+minus, Ctrl+0 and Ctrl+wheel.
#pragma once

#include <QObject>

class QPlainTextEdit;
class QWidget;

namespace rvm {

class TextZoom : public QObject {
    Q_OBJECT
public:
    static constexpr int kMin = 8, kMax = 72;

    // The keys work anywhere in window; the wheel over either text box.
    TextZoom(QPlainTextEdit* upper, QPlainTextEdit* lower, QWidget* window);

    int pointSize() const { return size_; }
    int defaultSize() const { return default_; }
    void setPointSize(int points);  // clamped to kMin..kMax
    void zoomIn();
    void zoomOut();
    void reset() { setPointSize(default_); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QPlainTextEdit* te_[2];
    int default_;
    int size_;
    int wheel_ = 0;  // eighths of a degree not yet turned into a step
};

}  // namespace rvm
