// The program's own pictures, drawn once at start.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace rvm::pictures {

// Toolbar image n (1..9): blank sheet, opening folder, floppy disk, first,
// previous, next, last, help, green next.
QPixmap toolbarImage(int n);
QPixmap cover();    // 342 x 78, 開ける in the middle
QPixmap coverOn();  // 39 x 13, 閉める
QPixmap triangle(bool right);  // 16 x 16, for the Order dialog's buttons
QIcon appIcon();

}  // namespace rvm::pictures
