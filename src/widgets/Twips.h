// Placing Qt widgets by twips at the screen's logical resolution.
#pragma once

#include <QWidget>
#include <cmath>

namespace rvm {

// Twips (1/1440 inch) to pixels at the given logical resolution, and back.
inline int TwipsToPixels(double twips, double dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }
inline double PixelsToTwips(int pixels, double dpi) { return pixels * 1440.0 / dpi; }

inline void PlaceTwips(QWidget* w, double left, double top, double width, double height) {
    const double dx = w->logicalDpiX(), dy = w->logicalDpiY();
    w->setGeometry(TwipsToPixels(left, dx), TwipsToPixels(top, dy), TwipsToPixels(width, dx),
                   TwipsToPixels(height, dy));
}

inline void ClientTwips(QWidget* w, double width, double height) {
    w->setFixedSize(TwipsToPixels(width, w->logicalDpiX()), TwipsToPixels(height, w->logicalDpiY()));
}

// A fixed-size dialog with a title and a close box, but no minimise or
// maximise. It blocks only its owner, so the help window stays usable.
inline void FixedDialog(QWidget* w, const QString& title, double width, double height) {
    w->setWindowTitle(title);
    w->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                      Qt::WindowCloseButtonHint);
    w->setWindowModality(Qt::WindowModal);
    ClientTwips(w, width, height);
}

}  // namespace rvm
