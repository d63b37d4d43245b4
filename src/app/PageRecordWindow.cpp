#include "PageRecordWindow.h"

#include <QDate>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

namespace rvm {

namespace {
QString dateOf(learn::Day day) {
    const QDate d = QDate(1970, 1, 1).addDays(day);
    return QStringLiteral("%1年%2月%3日").arg(d.year()).arg(d.month()).arg(d.day());
}

QString daysText(int days) { return days == 0 ? QStringLiteral("今日") : QStringLiteral("%1日").arg(days); }
}  // namespace

PageRecordWindow::PageRecordWindow(learn::LearnStore& store, learn::Key key, learn::Day today, QWidget* owner)
    : QDialog(owner) {
    setWindowTitle(QStringLiteral("このページの記録"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    auto* v = new QVBoxLayout(this);
    const std::vector<learn::LearnStore::Review> reviews = store.reviews(key);
    const learn::PageState* page = store.find(key);
    QString text;
    if (!page || page->due == learn::kNever) {
        text = QStringLiteral("このページはまだ採点していません。今日の復習で新しいページとして出ます。");
    } else {
        const int in = page->due - today;
        text = QStringLiteral("%1回採点しました。次の復習は %2 (%3) です。いま思い出せる確率はおよそ %4 % です。")
                   .arg(reviews.size())
                   .arg(dateOf(page->due), in <= 0   ? QStringLiteral("今日")
                                           : in == 1 ? QStringLiteral("明日")
                                                     : QStringLiteral("%1日後").arg(in))
                   .arg(std::lround(100 * learn::RetrievabilityOn(*page, today)));
    }
    summary = new QLabel(text, this);
    summary->setWordWrap(true);
    v->addWidget(summary);
    grades = new QTableWidget(static_cast<int>(reviews.size()), 4, this);
    grades->setHorizontalHeaderLabels({QStringLiteral("日時"), QStringLiteral("採点"), QStringLiteral("間隔"),
                                       QStringLiteral("次の復習")});
    grades->setAccessibleName(QStringLiteral("採点の記録"));
    grades->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grades->verticalHeader()->hide();
    // The latest first: what the learner looks for.
    for (int row = 0; row < grades->rowCount(); ++row) {
        const auto& r = reviews[reviews.size() - 1 - static_cast<std::size_t>(row)];
        const QString cells[] = {
            QDateTime::fromSecsSinceEpoch(r.time).toString(QStringLiteral("yyyy/MM/dd HH:mm")),
            r.grade == learn::Grade::Knew ? QStringLiteral("覚えた") : QStringLiteral("まだ"), daysText(r.due - r.day),
            dateOf(r.due)};
        for (int c = 0; c < 4; ++c) grades->setItem(row, c, new QTableWidgetItem(cells[c]));
    }
    grades->resizeColumnsToContents();
    grades->horizontalHeader()->setStretchLastSection(true);
    v->addWidget(grades, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    v->addWidget(buttons);
    resize(520, 360);
}

}  // namespace rvm
