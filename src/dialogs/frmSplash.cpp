#include "frmSplash.h"

#include <QApplication>

#include "app/Pictures.h"
#include "app/Twips.h"
#include "deck/Module1.h"

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

frmSplash::frmSplash() : QDialog(nullptr) {
    setWindowIcon(pictures::appIcon());
    fraMainFrame = new QFrame(this);
    fraMainFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    PlaceTwips(fraMainFrame, 120, 0, 6615, 2655);
    picLogo = new QLabel(fraMainFrame);
    lblCompanyProduct = new QLabel(QStringLiteral("製作会社名"), fraMainFrame);
    lblProductName = new QLabel(QStringLiteral("製品名"), fraMainFrame);
    lblVersion = new QLabel(QStringLiteral("ﾊﾞｰｼﾞｮﾝ"), fraMainFrame);
    lblCopyright = new QLabel(QStringLiteral("著作権"), fraMainFrame);
    PlaceTwips(picLogo, 120, 240, 615, 615);
    PlaceTwips(lblCompanyProduct, 840, 240, 4800, 360);
    PlaceTwips(lblProductName, 840, 720, 5400, 555);
    PlaceTwips(lblVersion, 4920, 1680, 1515, 240);
    PlaceTwips(lblCopyright, 120, 2040, 6375, 495);
    lblCompanyProduct->setFont(gothic(18));
    lblProductName->setFont(gothic(27.75));
    lblVersion->setFont(gothic(12));
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblCopyright->setWordWrap(true);
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    PlaceTwips(Command1, 2880, 2760, 1095, 375);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);

    // What the window shows, filled once.
    picLogo->setPixmap(windowIcon().pixmap(picLogo->size()));
    lblCompanyProduct->setText(QString::fromUtf8(kMakerName));
    lblVersion->setText(VersionText());
    lblProductName->setText(QString::fromUtf8(kAppTitle));
    lblCopyright->setText(QString::fromUtf8(kLegalNotice));
    ClientTwips(this, 6855, 2760);
}

void frmSplash::showAsSplash() {
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    show();
    repaint();
    QApplication::processEvents();
}

void frmSplash::showAsAbout(QWidget* owner) {
    setParent(owner);
    FixedDialog(this, QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"), 6855, 3255);  // tall enough for the OK button
    Command1->setFocus();
}

}  // namespace rvm
