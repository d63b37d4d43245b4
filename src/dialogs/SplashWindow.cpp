#include "SplashWindow.h"

#include <QApplication>

#include "widgets/Pictures.h"
#include "widgets/Twips.h"
#include "deck/Ui.h"

namespace rvm {

QString VersionText() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(RVM_VERSION_MAJOR)
        .arg(RVM_VERSION_MINOR)
        .arg(RVM_VERSION_PATCH);
}

namespace {
QFont gothic(double points) {
    QFont f;
    f.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("Noto Sans CJK JP"),
                   QStringLiteral("IPAPGothic")});
    f.setPointSizeF(points);
    f.setBold(true);
    return f;
}
}  // namespace

SplashWindow::SplashWindow() : QDialog(nullptr) {
    setWindowTitle(QString::fromUtf8(kAppTitle));  // what a screen reader calls the splash
    setWindowIcon(pictures::appIcon());
    frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    PlaceTwips(frame, 120, 0, 6615, 2655);
    logo = new QLabel(frame);
    makerLabel = new QLabel(QStringLiteral("製作会社名"), frame);
    productLabel = new QLabel(QStringLiteral("製品名"), frame);
    versionLabel = new QLabel(QStringLiteral("ﾊﾞｰｼﾞｮﾝ"), frame);
    copyrightLabel = new QLabel(QStringLiteral("著作権"), frame);
    PlaceTwips(logo, 120, 240, 615, 615);
    PlaceTwips(makerLabel, 840, 240, 4800, 360);
    PlaceTwips(productLabel, 840, 720, 5400, 555);
    PlaceTwips(versionLabel, 4920, 1680, 1515, 240);
    PlaceTwips(copyrightLabel, 120, 2040, 6375, 495);
    makerLabel->setFont(gothic(18));
    productLabel->setFont(gothic(27.75));
    versionLabel->setFont(gothic(12));
    versionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    copyrightLabel->setWordWrap(true);
    okButton = new QPushButton(QStringLiteral("OK"), this);
    PlaceTwips(okButton, 2880, 2760, 1095, 375);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);

    // What the window shows, filled once.
    logo->setPixmap(windowIcon().pixmap(logo->size()));
    logo->setAccessibleName(QStringLiteral("アイコン"));
    makerLabel->setText(QString::fromUtf8(kMakerName));
    versionLabel->setText(VersionText());
    productLabel->setText(QString::fromUtf8(kAppTitle));
    copyrightLabel->setText(QString::fromUtf8(kLegalNotice));
    ClientTwips(this, 6855, 2760);
}

void SplashWindow::showAsSplash() {
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    show();
    repaint();
    QApplication::processEvents();
}

void SplashWindow::showAsAbout(QWidget* owner) {
    setParent(owner);
    FixedDialog(this, QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"), 6855, 3255);  // tall enough for the OK button
    okButton->setFocus();
}

}  // namespace rvm
