#include "RecordWindow.h"

#include <QDate>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

#include "learn/Record.h"

namespace rvm {

namespace {
const QColor kLow(0x3a, 0x9a, 0x4a);   // known, or the figure itself
const QColor kHigh(0xd8, 0x5a, 0x4a);  // missed

// Every seventh day is labelled, none at either end where a label would be
// cut, so labels never crowd.
QString dayLabel(learn::Day day, learn::Day today) {
    const QDate d = QDate(1970, 1, 1).addDays(day);
    return (today - day) % 7 == 3 ? QStringLiteral("%1/%2").arg(d.month()).arg(d.day()) : QString();
}
}  // namespace

BarChart::BarChart(QString title, QString lowName, QString highName, std::vector<Bar> bars,
                   QWidget* parent)
    : QWidget(parent), title_(std::move(title)), lowName_(std::move(lowName)),
      highName_(std::move(highName)), bars_(std::move(bars)) {
    setAccessibleName(title_);
    QStringList parts;
    for (const Bar& b : bars_)
        if (b.low + b.high > 0) parts << QStringLiteral("%1 %2").arg(b.label).arg(b.low + b.high);
    setAccessibleDescription(parts.join(QStringLiteral(", ")));
    setMinimumHeight(fontMetrics().height() * 8);
}

QSize BarChart::sizeHint() const {
    return {std::max<int>(480, static_cast<int>(bars_.size()) * 18), fontMetrics().height() * 10};
}

void BarChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics fm = fontMetrics();
    const int line = fm.height();
    p.drawText(QRect(0, 0, width(), line), Qt::AlignLeft, title_);
    // The key: one swatch per part shown.
    int x = fm.horizontalAdvance(title_) + line;
    for (const auto& [name, colour] : {std::pair{lowName_, kLow}, std::pair{highName_, kHigh}}) {
        if (name.isEmpty()) continue;
        p.fillRect(x, line / 4, line / 2, line / 2, colour);
        x += line;
        p.drawText(x, fm.ascent(), name);
        x += fm.horizontalAdvance(name) + line;
    }
    int top = 0;
    for (const Bar& b : bars_) top = std::max(top, b.low + b.high);
    const QRect area(fm.horizontalAdvance(QString::number(std::max(top, 1))) + 8, line * 2,
                     width() - fm.horizontalAdvance(QString::number(std::max(top, 1))) - 12,
                     height() - line * 4);
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(area.bottomLeft(), area.bottomRight());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(0, area.top() - line / 2, area.left() - 4, line), Qt::AlignRight, QString::number(top));
    p.drawText(QRect(0, area.bottom() - line / 2, area.left() - 4, line), Qt::AlignRight, QStringLiteral("0"));
    if (bars_.empty()) return;
    const double slot = double(area.width()) / bars_.size();
    const double scale = top > 0 ? double(area.height()) / top : 0;
    for (std::size_t i = 0; i < bars_.size(); ++i) {
        const Bar& b = bars_[i];
        const double left = area.left() + slot * i + slot * 0.15, w = slot * 0.7;
        const double lowH = b.low * scale, highH = b.high * scale;
        p.fillRect(QRectF(left, area.bottom() - lowH, w, lowH), kLow);
        p.fillRect(QRectF(left, area.bottom() - lowH - highH, w, highH), kHigh);
        if (!b.label.isEmpty())
            p.drawText(QRectF(left - slot, area.bottom() + 2, w + 2 * slot, line), Qt::AlignHCenter, b.label);
    }
}

RecordWindow::RecordWindow(const learn::LearnStore& store, const std::vector<learn::Key>& keys,
                           learn::Day today, QWidget* owner)
    : QDialog(owner) {
    setWindowTitle(QStringLiteral("学習の記録"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    auto* v = new QVBoxLayout(this);

    std::vector<BarChart::Bar> bars;
    const auto perDay = learn::ReviewsPerDay(store, today);
    int reviewedAll = 0, knownAll = 0;
    for (std::size_t i = 0; i < perDay.size(); ++i) {
        const learn::Day day = today - static_cast<int>(perDay.size() - 1 - i);
        bars.push_back({dayLabel(day, today), perDay[i].known(), perDay[i].missed});
        reviewedAll += perDay[i].reviewed;
        knownAll += perDay[i].known();
    }
    reviewed = new BarChart(QStringLiteral("この30日に復習したページ"), QStringLiteral("覚えた"),
                            QStringLiteral("まだ"), std::move(bars), this);
    bars.clear();
    const auto dueDays = learn::DuePerDay(store, keys, today);
    for (std::size_t i = 0; i < dueDays.size(); ++i)
        bars.push_back({i == 0 ? QStringLiteral("今日") : QString::number(i), dueDays[i], 0});
    due = new BarChart(QStringLiteral("これから14日に出るページ"), {}, {}, std::move(bars), this);
    bars.clear();
    const auto perStage = learn::PagesPerStage(store, keys);
    for (std::size_t s = 0; s < perStage.size(); ++s) {
        const QString label = s == 0 ? QStringLiteral("未") : s == 1 ? QStringLiteral("×")
                                                                     : QString::number(s - 1);
        if (s == 1) bars.push_back({label, 0, perStage[s]});
        else bars.push_back({label, perStage[s], 0});
    }
    stages = new BarChart(QStringLiteral("段階ごとのページ (未: まだ出ていない, ×: まだ)"), {}, {},
                          std::move(bars), this);

    const int share = reviewedAll ? (100 * knownAll + reviewedAll / 2) / reviewedAll : 0;
    auto* summary = new QLabel(
        QStringLiteral("30日で %1 ページを復習、覚えた %2%").arg(reviewedAll).arg(share), this);
    v->addWidget(summary);
    for (BarChart* c : {reviewed, due, stages}) v->addWidget(c, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    v->addWidget(buttons);
}

}  // namespace rvm
