#include "QtPrompt.h"

#include <QApplication>
#include <QDir>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QMimeDatabase>
#include <QProcess>
#include <QSpacerItem>
#include <QStringList>
#include <QTreeView>
#include <utility>

#include "deck/Ui.h"
#include "files/FileIo.h"

namespace rvm {

QString DeckFilter() { return QStringLiteral("Ravolin Memorel List (*.rvm)"); }

namespace {

QString folderType() {
    return QMimeDatabase().mimeTypeForName(QStringLiteral("inode/directory")).comment();
}

// A Yes/No question must be answered by a button: Esc and the close box
// would otherwise count as No, and "No" to saving throws the deck away.
// With a Cancel button both mean Cancel, as Qt already does.
class QuestionBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    bool mustAnswer() const { return buttons().size() > 1 && !button(QMessageBox::Cancel); }
    void keyPressEvent(QKeyEvent* e) override {
        if (mustAnswer() && e->matches(QKeySequence::Cancel)) {
            e->accept();
            return;
        }
        QMessageBox::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent* e) override {
        if (mustAnswer()) {
            e->ignore();
            return;
        }
        QMessageBox::closeEvent(e);
    }
};

// The file list's sizes and dates follow Qt's system locale, and Qt's
// translation lacks the folders' type; take them from the program's own
// (Japanese) locale and the desktop's type names, like every other text of
// the dialog.
class LocalFigures : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override {
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (!files || role != Qt::DisplayRole) return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == 1 && !files->isDir(source)) return QLocale().formattedDataSize(files->size(source));
        if (index.column() == 2 && files->isDir(source)) return folderType();
        if (index.column() == 3) return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        return QIdentityProxyModel::data(index, role);
    }
};

// Qt's own dialog, with the figures and types above in columns wide enough
// for a whole date and type.
void useQtFileDialog(QFileDialog& dlg) {
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setProxyModel(new LocalFigures(&dlg));
    if (auto* list = dlg.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        const QString date = QLocale().toString(QDateTime(QDate(2000, 12, 28), QTime(23, 58)),
                                                QLocale::ShortFormat);
        // The room they take comes from the generous name column, so the
        // list still needs no horizontal scrolling.
        QHeaderView* head = list->header();
        int taken = 0;
        for (const auto& [column, text] : {std::pair{2, folderType()}, std::pair{3, date}}) {
            const int w = list->fontMetrics().horizontalAdvance(text + "    ");
            taken += w - head->sectionSize(column);
            head->resizeSection(column, w);
        }
        head->resizeSection(0, head->sectionSize(0) - taken);
    }
}

}  // namespace

Answer QtPrompt::ask(const std::string& text, Buttons buttons, Icon icon, Answer defaultButton) {
    if (splash_) splash_->hide();
    QuestionBox box(parent_);
    box.setWindowTitle(kAppTitle);
    // Message texts break lines with a single CR.
    box.setText(QString::fromStdString(text).replace('\r', '\n'));
    switch (icon) {
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Error: box.setIcon(QMessageBox::Critical); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    }
    QMessageBox::StandardButtons set = QMessageBox::Ok;
    if (buttons == Buttons::YesNo) set = QMessageBox::Yes | QMessageBox::No;
    if (buttons == Buttons::YesNoCancel) set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    box.setStandardButtons(set);
    auto toStd = [](Answer a) {
        switch (a) {
        case Answer::Yes: return QMessageBox::Yes;
        case Answer::No: return QMessageBox::No;
        case Answer::Cancel: return QMessageBox::Cancel;
        default: return QMessageBox::Ok;
        }
    };
    box.setDefaultButton(toStd(defaultButton));
    // A window manager cuts a title wider than the box ("Ravol…morel"): room
    // for it in a bold title font, beside the title bar's icon and buttons.
    // (Laid out last: setting the icon or buttons makes a new layout.)
    QFont bold = box.font();
    bold.setBold(true);
    const QFontMetrics title(bold);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(title.horizontalAdvance(box.windowTitle()) + 8 * title.height(), 0,
                                      QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

OpenChoice QtPrompt::openFile() {
    // Qt's own dialog, so that it can carry the read-only box.
    QFileDialog dlg(parent_, QStringLiteral("開く"));
    useQtFileDialog(dlg);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setNameFilter(DeckFilter());
    if (!lastDir_.isEmpty()) dlg.setDirectory(lastDir_);
    auto* readOnly = new QCheckBox(QStringLiteral("読み取り専用で開く(&R)"), &dlg);
    if (auto* grid = qobject_cast<QGridLayout*>(dlg.layout()))
        grid->addWidget(readOnly, grid->rowCount(), 0, 1, -1);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    lastDir_ = dlg.directory().absolutePath();
    return {dlg.selectedFiles().first().toStdString(), readOnly->isChecked()};
}

TableChoice QtPrompt::tableFile(bool saving, const std::vector<std::string>& types) {
    QFileDialog dlg(parent_, saving ? QStringLiteral("エクスポート") : QStringLiteral("インポート"));
    useQtFileDialog(dlg);
    dlg.setOption(QFileDialog::DontConfirmOverwrite);  // the program asks its own question
    dlg.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QStringList filters;
    for (const std::string& t : types) filters << QString::fromStdString(t);
    dlg.setNameFilters(filters);
    // A name typed without an extension takes the type's first one.
    auto suffix = [&dlg](const QString& filter) {
        dlg.setDefaultSuffix(filter.section(QStringLiteral("(*."), 1).section(QLatin1Char(' '), 0, 0).remove(')'));
    };
    suffix(filters.value(0));
    QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, suffix);
    if (!lastDir_.isEmpty()) dlg.setDirectory(lastDir_);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    lastDir_ = dlg.directory().absolutePath();
    return {dlg.selectedFiles().first().toStdString(),
            static_cast<int>(std::max<qsizetype>(0, filters.indexOf(dlg.selectedNameFilter())))};
}

std::string QtPrompt::saveFile() {
    QFileDialog dlg(parent_, QStringLiteral("名前を付けて保存"));
    useQtFileDialog(dlg);
    // The program asks its own overwrite question.
    dlg.setOption(QFileDialog::DontConfirmOverwrite);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setNameFilter(DeckFilter());
    dlg.setDefaultSuffix(QStringLiteral("rvm"));
    if (!lastDir_.isEmpty()) dlg.setDirectory(lastDir_);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    lastDir_ = dlg.directory().absolutePath();
    return dlg.selectedFiles().first().toStdString();
}

std::string QtPrompt::chooseFolder(const std::string& title, const std::string& current) {
    QFileDialog dlg(parent_, QString::fromStdString(title));
    useQtFileDialog(dlg);
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly);
    dlg.setDirectory(QString::fromStdString(current));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return QDir::toNativeSeparators(dlg.selectedFiles().first()).toStdString();
}

std::optional<std::string> QtPrompt::clipboardText() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) return std::nullopt;
    return data->text().toStdString();
}

void QtPrompt::setClipboardText(const std::string& text) {
    QApplication::clipboard()->setText(QString::fromStdString(text));
}

void QtPrompt::beep() { QApplication::beep(); }

bool QtPrompt::startProgram(const std::string& program, const std::vector<std::string>& args,
                            std::function<void()> failedLater) {
    // A program that exists is taken as it stands, blanks and all; anything
    // else is a command line that may carry arguments of its own
    // ("firefox --new-window"), which come before ours.
    QString prog = QString::fromStdString(program);
    QStringList list;
    if (!QFileInfo(prog).isFile()) {
        list = QProcess::splitCommand(prog);
        if (list.isEmpty()) return false;
        prog = list.takeFirst();
    }
    for (const auto& a : args) list << QString::fromStdString(a);
    // Not detached: a launcher such as xdg-open starts well and only then
    // finds no browser, which its exit status tells. The process is reaped
    // when it ends; one still running when the program ends is left to run,
    // as a detached one would be, so it is never deleted before it ends.
    auto* process = new QProcess;
    process->setProgram(prog);
    process->setArguments(list);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    QElapsedTimer since;
    since.start();
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::finished, &watching_,
                     [since, window = watchMs, failed = std::move(failedLater)](
                         int code, QProcess::ExitStatus status) {
                         if (since.elapsed() <= window && (status != QProcess::NormalExit || code != 0))
                             failed();
                     });
    return true;
}

bool QtPrompt::showHelpPage(const std::string& path, const std::string& notice) {
    if (!FileOpensForReading(path)) return false;
    if (!help_) help_ = new HelpWindow(QString::fromStdString(path));
    // On the screen the learner works on, not always the first one.
    const QWidget* from = QApplication::activeWindow() ? QApplication::activeWindow() : parent_;
    help_->showWith(QString::fromStdString(notice), from ? from->screen() : QGuiApplication::primaryScreen());
    return true;
}

QtPrompt::~QtPrompt() { delete help_; }

}  // namespace rvm
