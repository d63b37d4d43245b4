// The program's own pictures, drawn from shapes and text at the pixel
// density of the screen they appear on, so they stay sharp when scaled.
#pragma once

#include <QIcon>
#include <QPixmap>

class QLabel;

namespace rvm::pictures {

// Toolbar image n (1..9): blank sheet, opening folder, floppy disk, first,
// previous, next, last, help, green next. 16 x 16 at every density.
QIcon toolbarImage(int n);
QPixmap cover(qreal dpr = 1);    // 342 x 78, 開ける in the middle
QPixmap coverOn(qreal dpr = 1);  // 39 x 13, 閉める
QIcon triangle(bool right);      // 16 x 16, for the OrderDialog dialog's buttons
QIcon appIcon();

// Shows draw(dpr) in the label and draws it again whenever the label comes
// to a screen of another density.
void keepSharp(QLabel* label, QPixmap (*draw)(qreal dpr));

}  // namespace rvm::pictures
