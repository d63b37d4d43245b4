// 学習 > このページの記録: each time the page shown was graded, the interval
// each grade gave it, and when it is due next.
#pragma once

#include <QDialog>

#include "learn/LearnStore.h"

class QLabel;
class QTableWidget;

namespace rvm {

class PageRecordWindow : public QDialog {
    Q_OBJECT
public:
    PageRecordWindow(learn::LearnStore& store, learn::Key key, learn::Day today, QWidget* owner);

    QLabel* summary;
    QTableWidget* grades;
};

}  // namespace rvm
