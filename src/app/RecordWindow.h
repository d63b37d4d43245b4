// 学習の記録: the learner's progress as pictures — pages reviewed on each of
// the last 30 days with the share known, pages coming due on each of the
// next 14 days, and how many pages stand at each stage.
#pragma once

#include <QDialog>
#include <QWidget>

#include "learn/LearnStore.h"

namespace rvm {

// Bars with a label under each; a bar may be split into a lower (first
// value) and an upper part (second value).
class BarChart : public QWidget {
    Q_OBJECT
public:
    struct Bar {
        QString label;
        int low = 0, high = 0;
    };
    BarChart(QString title, QString lowName, QString highName, std::vector<Bar> bars, QWidget* parent);

    const std::vector<Bar>& bars() const { return bars_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString title_, lowName_, highName_;
    std::vector<Bar> bars_;
};

class RecordWindow : public QDialog {
    Q_OBJECT
public:
    RecordWindow(const learn::LearnStore& store, const std::vector<learn::Key>& keys, learn::Day today,
                 QWidget* owner);

    BarChart *reviewed, *due, *stages;
};

}  // namespace rvm
