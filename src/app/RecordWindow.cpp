#include "RecordWindow.h"

#include <QDate>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "learn/Record.h"

namespace rvm {

namespace {
// Blue and orange (Okabe and Ito's palette) stay apart for every kind of
// colour blindness, and in grey.
const QColor kLow(0x00, 0x72, 0xb2);   // known, or the figure itself
const QColor kHigh(0xe6, 0x9f, 0x00);  // missed
const QColor kTarget(0x00, 0x00, 0x00);

QString monthDay(learn::Day day) {
    const QDate d = QDate(1970, 1, 1).addDays(day);
    return QStringLiteral("%1/%2").arg(d.month()).arg(d.day());
}

// Every seventh day is labelled, none at either end where a label would be
// cut, so labels never crowd.
QString dayLabel(learn::Day day, learn::Day today) {
    return (today - day) % 7 == 3 ? monthDay(day) : QString();
}

int percent(int part, int whole) { return whole ? static_cast<int>(std::lround(100.0 * part / whole)) : 0; }

// The spans of learn::kIntervalSpans, in days as a learner reads them.
const char* const kSpanLabels[] = {"1日", "2〜3日", "4〜7日", "8〜14日", "15〜30日", "1〜3か月", "3〜6か月", "6か月〜1年", "1年以上"};
}  // namespace

BarChart::BarChart(QString title, QString description, std::vector<Bar> bars, Look look, QWidget* parent)
    : QWidget(parent), title_(std::move(title)), bars_(std::move(bars)), look_(std::move(look)) {
    setAccessibleName(title_);
    setAccessibleDescription(description);
    setToolTip(description);
    setMinimumHeight(fontMetrics().height() * 8);
}

QSize BarChart::sizeHint() const {
    return {std::max<int>(600, static_cast<int>(bars_.size()) * 26), fontMetrics().height() * 10};
}

void BarChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics fm = fontMetrics();
    const int line = fm.height();
    const QColor text = palette().color(QPalette::WindowText);
    p.drawText(QRect(0, 0, width(), line), Qt::AlignLeft, title_);
    // The key: one swatch per part shown, and the target's line.
    int x = fm.horizontalAdvance(title_) + line;
    for (const auto& [name, colour] : {std::pair{look_.lowName, kLow}, std::pair{look_.highName, kHigh}}) {
        if (name.isEmpty()) continue;
        p.fillRect(x, line / 4, line / 2, line / 2, colour);
        x += line;
        p.drawText(x, fm.ascent(), name);
        x += fm.horizontalAdvance(name) + line;
    }
    if (look_.target >= 0) {
        p.setPen(QPen(kTarget, 2, Qt::DashLine));
        p.drawLine(x, line / 2, x + line, line / 2);
        p.setPen(text);
        p.drawText(x + line + 4, fm.ascent(), look_.targetName);
    }
    int top = std::max(look_.target, 1);
    for (const Bar& b : bars_) top = std::max(top, b.low + b.high);
    // Room above the tallest bar for its value.
    const QRect area(8, line * 2 + line, width() - 16, height() - line * 5);
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(area.bottomLeft(), area.bottomRight());
    if (bars_.empty()) return;
    const double slot = double(area.width()) / bars_.size();
    const double scale = double(area.height()) / top;
    // A value of 1 is still a bar one can see.
    const auto height = [&](int value) { return value > 0 ? std::max(3.0, value * scale) : 0.0; };
    QFont small = font();
    small.setPointSizeF(font().pointSizeF() * 0.85);
    const QFontMetrics smallFm(small);
    for (std::size_t i = 0; i < bars_.size(); ++i) {
        const Bar& b = bars_[i];
        const double left = area.left() + slot * i + slot * 0.15, w = slot * 0.7;
        const double lowH = height(b.low), highH = height(b.high);
        p.fillRect(QRectF(left, area.bottom() - lowH, w, lowH), kLow);
        p.fillRect(QRectF(left, area.bottom() - lowH - highH, w, highH), kHigh);
        p.setPen(text);
        if (!b.label.isEmpty())
            p.drawText(QRectF(left - slot, area.bottom() + 2, w + 2 * slot, line), Qt::AlignHCenter, b.label);
        if (b.low + b.high > 0) {
            p.setFont(small);
            // The unit goes first where the bar is too narrow for it.
            QString value = QString::number(b.low + b.high) + look_.unit;
            if (smallFm.horizontalAdvance(value) > slot) value = QString::number(b.low + b.high);
            if (smallFm.horizontalAdvance(value) <= slot)
                p.drawText(QRectF(left - slot * 0.15, area.bottom() - lowH - highH - line, slot, line),
                           Qt::AlignHCenter | Qt::AlignBottom, value);
            p.setFont(font());
        }
    }
    if (look_.target >= 0) {
        const double y = area.bottom() - look_.target * scale;
        p.setPen(QPen(kTarget, 2, Qt::DashLine));
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    }
}

RecordWindow::RecordWindow(const learn::LearnStore& store, const std::vector<learn::Key>& keys,
                           learn::Day today, QWidget* owner)
    : QDialog(owner) {
    setWindowTitle(QStringLiteral("学習の記録"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    auto* v = new QVBoxLayout(this);
    const int target = static_cast<int>(std::lround(store.retention() * 100));

    std::vector<BarChart::Bar> bars, recalled;
    const auto perDay = learn::ReviewsPerDay(store, today);
    int reviewedAll = 0, knownAll = 0, cameAll = 0, recalledAll = 0;
    std::pair<int, learn::Day> busiest{0, today};
    for (std::size_t i = 0; i < perDay.size(); ++i) {
        const learn::Day day = today - static_cast<int>(perDay.size() - 1 - i);
        const learn::DayCounts& c = perDay[i];
        bars.push_back({dayLabel(day, today), c.known(), c.missed});
        recalled.push_back({dayLabel(day, today), percent(c.recalled, c.came), 0});
        reviewedAll += c.reviewed;
        knownAll += c.known();
        cameAll += c.came;
        recalledAll += c.recalled;
        busiest = std::max(busiest, {c.reviewed, day});
    }
    const QString reviewedSaid =
        reviewedAll ? QStringLiteral("この30日に延べ %1 ページを復習し、%2 % を覚えていました。最も多かったのは %3 の %4 ページです。")
                          .arg(reviewedAll)
                          .arg(percent(knownAll, reviewedAll))
                          .arg(monthDay(busiest.second))
                          .arg(busiest.first)
                    : QStringLiteral("この30日に復習したページはありません。");
    reviewed = new BarChart(QStringLiteral("この30日に復習したページ"), reviewedSaid, std::move(bars),
                            {QStringLiteral("覚えた"), QStringLiteral("まだ"), {}, -1, {}}, this);

    bars.clear();
    const auto dueDays = learn::DuePerDay(store, keys, today);
    int dueAll = 0;
    for (std::size_t i = 0; i < dueDays.size(); ++i) {
        bars.push_back({i == 0 ? QStringLiteral("今日") : QString::number(i), dueDays[i], 0});
        dueAll += dueDays[i];
    }
    const QString dueSaid = QStringLiteral("今日は %1 ページ、これから14日で合わせて %2 ページが出ます。")
                                .arg(dueDays.empty() ? 0 : dueDays[0])
                                .arg(dueAll);
    due = new BarChart(QStringLiteral("これから14日に出るページ (日後)"), dueSaid, std::move(bars), {}, this);

    bars.clear();
    const auto byInterval = learn::PagesByInterval(store, keys);
    QStringList parts;
    for (std::size_t s = 0; s < byInterval.size(); ++s) {
        const QString label = s == 0 ? QStringLiteral("未") : s == 1 ? QStringLiteral("まだ")
                                                                     : QString::fromUtf8(kSpanLabels[s - 2]);
        bars.push_back(s == 1 ? BarChart::Bar{label, 0, byInterval[s]} : BarChart::Bar{label, byInterval[s], 0});
        if (byInterval[s]) parts << QStringLiteral("%1 %2 ページ").arg(s >= 2 ? "間隔 " + label : label).arg(byInterval[s]);
    }
    const QString strengthSaid = parts.isEmpty() ? QStringLiteral("このデッキにページはありません。")
                                                 : QStringLiteral("ページの数は、%1 です。").arg(parts.join(QStringLiteral("、")));
    strength = new BarChart(QStringLiteral("記憶の強さ: 次に出るまでの間隔ごとのページ (未: まだ出ていない)"),
                            strengthSaid, std::move(bars), {}, this);

    const QString recallSaid =
        cameAll ? QStringLiteral("この30日に復習に戻ったページの %1 % を思い出せました。目標は %2 % です。")
                      .arg(percent(recalledAll, cameAll))
                      .arg(target)
                : QStringLiteral("この30日に復習に戻ったページはまだありません。目標は %1 % です。").arg(target);
    recall = new BarChart(QStringLiteral("思い出せた割合"), recallSaid, std::move(recalled),
                          {{}, {}, QStringLiteral("%"), target, QStringLiteral("目標 %1 %").arg(target)},
                          this);

    auto* summary = new QLabel(reviewedSaid + " " + recallSaid, this);
    summary->setWordWrap(true);
    v->addWidget(summary);
    for (BarChart* c : {reviewed, due, strength, recall}) v->addWidget(c, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    v->addWidget(buttons);
}

}  // namespace rvm
