// 学習 > 設定: the chance of recall the schedule aims for, and how many new
// pages and reviews a day's drill holds.
#pragma once

#include <QDialog>

#include "learn/Drill.h"

class QSpinBox;

namespace rvm {

class StudySettingsDialog : public QDialog {
    Q_OBJECT
public:
    StudySettingsDialog(const learn::StudySettings& now, QWidget* owner);
    learn::StudySettings chosen() const;

    QSpinBox *retention, *newPages, *reviews;
};

}  // namespace rvm
