// 学習の記録: the learner's progress as pictures — pages reviewed on each of
// the last 30 days with the share known, pages coming due on each of the
// next 14 days, the memory's strength (pages by interval, in days), and the
// share recalled of the pages that came back, against the target.
#pragma once

#include <QDialog>
#include <QWidget>

#include "learn/LearnStore.h"

namespace rvm {

// Bars with a label under each and their value on top; a bar may be split
// into a lower (first value) and an upper part (second value). A target,
// when there is one, is drawn as a line across. The description is what a
// screen reader says of the whole.
class BarChart : public QWidget {
    Q_OBJECT
public:
    struct Bar {
        QString label;
        int low = 0, high = 0;
    };
    struct Look {
        QString lowName, highName;  // the key; empty: none
        QString unit;               // after each value: "%"
        int target = -1;            // a line across; -1: none
        QString targetName;
    };
    BarChart(QString title, QString description, std::vector<Bar> bars, Look look, QWidget* parent);

    const std::vector<Bar>& bars() const { return bars_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString title_;
    std::vector<Bar> bars_;
    Look look_;
};

class RecordWindow : public QDialog {
    Q_OBJECT
public:
    RecordWindow(const learn::LearnStore& store, const std::vector<learn::Key>& keys, learn::Day today,
                 QWidget* owner);

    BarChart *reviewed, *due, *strength, *recall;
};

}  // namespace rvm
