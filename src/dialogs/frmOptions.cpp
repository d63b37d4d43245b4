#include "frmOptions.h"

#include "app/Twips.h"

namespace rvm {

frmOptions::frmOptions(Document& doc, QWidget* owner) : QDialog(owner), doc_(doc) {
    FixedDialog(this, QStringLiteral("ｵﾌﾟｼｮﾝ"), 4095, 3510);
    Frame1[0] = new QGroupBox(QStringLiteral("隠し方"), this);
    Frame1[1] = new QGroupBox(QStringLiteral("Internet Explorer の位置"), this);
    PlaceTwips(Frame1[0], 120, 120, 3855, 1215);
    PlaceTwips(Frame1[1], 120, 1440, 3855, 975);
    const char* captions[3] = {"上段を隠す", "下段を隠す", "隠さない"};
    for (int i = 0; i < 3; ++i) {
        Op[i] = new QRadioButton(QString::fromUtf8(captions[i]), Frame1[0]);
        connect(Op[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) NewHide = static_cast<std::int16_t>(i);
        });
    }
    PlaceTwips(Op[1], 120, 360, 1575, 360);
    PlaceTwips(Op[0], 1680, 360, 1575, 360);
    PlaceTwips(Op[2], 120, 720, 1335, 360);
    setTabOrder(Op[1], Op[0]);
    setTabOrder(Op[0], Op[2]);
    Text1 = new QLineEdit(Frame1[1]);
    PlaceTwips(Text1, 120, 360, 3615, 375);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cmdHelp = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ"), this);
    PlaceTwips(cmdOK, 120, 3000, 1215, 375);
    PlaceTwips(cmdCancel, 1440, 3000, 1215, 375);
    PlaceTwips(cmdHelp, 2760, 3000, 1215, 375);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdHelp, &QPushButton::clicked, this, [this] { doc_.ShowHelp(); });
}

void frmOptions::ThankYou() {
    int h = doc_.HideMode >= 0 && doc_.HideMode <= 2 ? doc_.HideMode : 1;
    Op[h]->setChecked(true);
    NewHide = static_cast<std::int16_t>(h);
    Text1->setText(QString::fromStdString(doc_.IEPlace));
}

void frmOptions::cmdOK_Click() {
    doc_.HideMode = NewHide;
    doc_.IEPlace = Text1->text().toStdString();
    accept();
}

}  // namespace rvm
