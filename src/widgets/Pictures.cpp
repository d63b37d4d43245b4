#include "Pictures.h"

#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

// The icons are compiled into a static library, which must register them.
static void initResources() { Q_INIT_RESOURCE(resources); }

namespace rvm::pictures {
namespace {

// A transparent picture of w x h logical pixels at the given density; a
// painter on it draws in logical pixels.
QPixmap blank(int w, int h, qreal dpr = 1) {
    QPixmap p(qRound(w * dpr), qRound(h * dpr));
    p.setDevicePixelRatio(dpr);
    p.fill(Qt::transparent);
    return p;
}

// The same drawing at the densities screens commonly have; the icon picks
// the one that fits and scales only between them.
QIcon drawnIcon(void (*draw)(QPainter&, int), int n) {
    QIcon icon;
    for (qreal dpr : {1.0, 1.5, 2.0, 3.0}) {
        QPixmap p = blank(16, 16, dpr);
        QPainter g(&p);
        // Smooth slopes where a pixel is small; at 1x the pictures are pixel art.
        g.setRenderHint(QPainter::Antialiasing, dpr >= 2);
        draw(g, n);
        g.end();
        icon.addPixmap(p);
    }
    return icon;
}

void triangleAt(QPainter& g, int x, bool right, const QColor& c) {
    QPolygon t;
    if (right)
        t << QPoint(x, 3) << QPoint(x + 5, 8) << QPoint(x, 13);
    else
        t << QPoint(x + 5, 3) << QPoint(x, 8) << QPoint(x + 5, 13);
    g.setPen(Qt::NoPen);
    g.setBrush(c);
    g.drawPolygon(t);
}

QPixmap word(int w, int h, const QString& text, int pixelSize, qreal dpr) {
    QPixmap p = blank(w, h, dpr);
    QPainter g(&p);
    g.setRenderHint(QPainter::TextAntialiasing);
    QFont f;
    f.setPixelSize(pixelSize);
    f.setBold(true);
    g.setFont(f);
    g.setPen(Qt::black);
    g.drawText(QRect(0, 0, w, h), Qt::AlignCenter, text);
    return p;
}

void drawToolbarImage(QPainter& g, int n) {
    const QColor navy(0, 0, 128);
    switch (n) {
    case 1:  // a blank sheet with a folded corner
        g.setPen(Qt::black);
        g.setBrush(Qt::white);
        g.drawPolygon(QPolygon({{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}}));
        g.drawLine(10, 1, 10, 4);
        g.drawLine(10, 4, 13, 4);
        break;
    case 2:  // an opening folder
        g.setPen(Qt::black);
        g.setBrush(QColor(255, 255, 128));
        g.drawPolygon(QPolygon({{1, 3}, {5, 3}, {6, 5}, {12, 5}, {12, 13}, {1, 13}}));
        g.setBrush(QColor(192, 160, 0));
        g.drawPolygon(QPolygon({{3, 7}, {15, 7}, {12, 13}, {1, 13}}));
        break;
    case 3:  // a floppy disk
        g.setPen(Qt::black);
        g.setBrush(navy);
        g.drawRect(1, 1, 13, 13);
        g.setBrush(Qt::white);
        g.drawRect(4, 1, 7, 5);
        g.setBrush(QColor(192, 192, 192));
        g.drawRect(3, 9, 9, 5);
        break;
    case 4:  // a bar and two triangles pointing left
        g.fillRect(2, 3, 2, 11, navy);
        triangleAt(g, 5, false, navy);
        triangleAt(g, 10, false, navy);
        break;
    case 5:
        triangleAt(g, 5, false, navy);
        break;
    case 6:
        triangleAt(g, 6, true, navy);
        break;
    case 7:  // two triangles pointing right and a bar
        triangleAt(g, 1, true, navy);
        triangleAt(g, 6, true, navy);
        g.fillRect(12, 3, 2, 11, navy);
        break;
    case 8: {  // a help symbol: a question mark in a circle
        g.setRenderHint(QPainter::Antialiasing);
        g.setPen(Qt::NoPen);
        g.setBrush(navy);
        g.drawEllipse(1, 1, 14, 14);
        QFont f;
        f.setPixelSize(12);
        f.setBold(true);
        g.setFont(f);
        g.setPen(Qt::white);
        g.drawText(QRect(1, 1, 14, 14), Qt::AlignCenter, "?");
        break;
    }
    case 9:  // the green triangle: add a question
        triangleAt(g, 6, true, QColor(0, 160, 0));
        break;
    default:
        break;
    }
}

void drawTriangle(QPainter& g, int right) {
    g.setRenderHint(QPainter::Antialiasing);
    QPolygon t;
    if (right)
        t << QPoint(4, 2) << QPoint(13, 8) << QPoint(4, 14);
    else
        t << QPoint(12, 2) << QPoint(3, 8) << QPoint(12, 14);
    g.setPen(Qt::NoPen);
    g.setBrush(Qt::black);
    g.drawPolygon(t);
}

// Draws a label's picture again when its window moves to a screen of
// another density (and once shown, when the density is first known).
class SharpLabel : public QObject {
public:
    SharpLabel(QLabel* label, QPixmap (*draw)(qreal)) : QObject(label), label_(label), draw_(draw) {
        update();
        label->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::ScreenChangeInternal || e->type() == QEvent::Show) update();
        return false;
    }

private:
    void update() {
        const qreal dpr = label_->devicePixelRatioF();
        if (label_->pixmap().isNull() || label_->pixmap().devicePixelRatio() != dpr)
            label_->setPixmap(draw_(dpr));
    }
    QLabel* label_;
    QPixmap (*draw_)(qreal);
};

}  // namespace

QIcon toolbarImage(int n) { return drawnIcon(drawToolbarImage, n); }
QPixmap cover(qreal dpr) { return word(342, 78, QStringLiteral("開ける"), 20, dpr); }
QPixmap coverOn(qreal dpr) { return word(39, 13, QStringLiteral("閉める"), 11, dpr); }
QIcon triangle(bool right) { return drawnIcon(drawTriangle, right); }

void keepSharp(QLabel* label, QPixmap (*draw)(qreal dpr)) { new SharpLabel(label, draw); }

QIcon appIcon() {
    static const bool registered = (initResources(), true);
    (void)registered;
    QIcon icon;
    icon.addFile(QStringLiteral(":/icon-256.png"));
    icon.addFile(QStringLiteral(":/icon-48.png"));
    return icon;
}

}  // namespace rvm::pictures
