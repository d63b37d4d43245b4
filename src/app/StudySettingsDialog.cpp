#include "StudySettingsDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <cmath>

namespace rvm {

StudySettingsDialog::StudySettingsDialog(const learn::StudySettings& now, QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("学習の設定"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    auto* form = new QFormLayout(this);
    auto spin = [this](int low, int high, int value, const char* suffix) {
        auto* box = new QSpinBox(this);
        box->setRange(low, high);
        box->setValue(value);
        box->setSuffix(QString::fromUtf8(suffix));
        return box;
    };
    retention = spin(70, 99, static_cast<int>(std::lround(now.retention * 100)), " %");
    newPages = spin(0, 9999, now.newPerDay, " ページ");
    reviews = spin(1, 9999, now.reviewsPerDay, " ページ");
    form->addRow(QStringLiteral("思い出せる確率の目標(&R):"), retention);
    auto* why = new QLabel(QStringLiteral("ページは、思い出せる確率がこの目標まで下がる日に出ます。"
                                          "目標を上げると復習が増え、下げると減ります。"),
                           this);
    why->setWordWrap(true);
    form->addRow(why);
    form->addRow(QStringLiteral("1日の新しいページ数(&N):"), newPages);
    form->addRow(QStringLiteral("1日の復習の上限(&V):"), reviews);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

learn::StudySettings StudySettingsDialog::chosen() const {
    return {retention->value() / 100.0, newPages->value(), reviews->value()};
}

}  // namespace rvm
