#include "OptionsDialog.h"

#include "widgets/Twips.h"

namespace rvm {

OptionsDialog::OptionsDialog(Document& doc, Help& help, QWidget* owner) : QDialog(owner), doc_(doc), help_(help) {
    FixedDialog(this, QStringLiteral("ｵﾌﾟｼｮﾝ"), 4095, 3510);
    hideGroup = new QGroupBox(QStringLiteral("隠し方"), this);
    browserGroup = new QGroupBox(QStringLiteral("Internet Explorer の位置"), this);
    PlaceTwips(hideGroup, 120, 120, 3855, 1215);
    PlaceTwips(browserGroup, 120, 1440, 3855, 975);
    const char* captions[3] = {"上段を隠す", "下段を隠す", "隠さない"};
    for (int i = 0; i < 3; ++i) {
        hideChoice[i] = new QRadioButton(QString::fromUtf8(captions[i]), hideGroup);
        connect(hideChoice[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) chosenHideMode = static_cast<std::int16_t>(i);
        });
    }
    PlaceTwips(hideChoice[1], 120, 360, 1575, 360);
    PlaceTwips(hideChoice[0], 1680, 360, 1575, 360);
    PlaceTwips(hideChoice[2], 120, 720, 1335, 360);
    setTabOrder(hideChoice[1], hideChoice[0]);
    setTabOrder(hideChoice[0], hideChoice[2]);
    browserEdit = new QLineEdit(browserGroup);
    browserEdit->setAccessibleName(browserGroup->title());
    PlaceTwips(browserEdit, 120, 360, 3615, 375);
    okButton = new QPushButton(QStringLiteral("OK"), this);
    cancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    helpButton = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ"), this);
    PlaceTwips(okButton, 120, 3000, 1215, 375);
    PlaceTwips(cancelButton, 1440, 3000, 1215, 375);
    PlaceTwips(helpButton, 2760, 3000, 1215, 375);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &OptionsDialog::confirm);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [this] { help_.show(); });
}

void OptionsDialog::prepare() {
    const int h = doc_.hideMode() >= 0 && doc_.hideMode() <= 2 ? doc_.hideMode() : 1;
    hideChoice[h]->setChecked(true);
    chosenHideMode = static_cast<std::int16_t>(h);
    browserEdit->setText(QString::fromStdString(help_.browser()));
}

void OptionsDialog::confirm() {
    doc_.setHideMode(chosenHideMode);
    help_.setBrowser(browserEdit->text().toStdString());
    accept();
}

}  // namespace rvm
