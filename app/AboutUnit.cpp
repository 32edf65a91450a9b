#include "app/AboutUnit.h"

#include "app/MessageService.h"
#include "text/Cp1251.h"
#include "text/RegularFile.h"
#include "text/TextFile.h"
#include "text/WindowParagraphs.h"
#include "text/WindowPlacement.h"
#include "ui_AboutUnit.h"

#include <QScrollBar>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>

namespace tonvik {

namespace {

const QString HelpFileName = QStringLiteral("readme.txt");

} // namespace

TAboutForm::TAboutForm(MessageService& messages, QWidget* mainWindow)
    : QDialog(mainWindow), Messages(messages), MainWindow(mainWindow),
      Ui(std::make_unique<::Ui::TAboutForm>()) {
    Ui->setupUi(this);
    setFixedSize(size());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    QPalette palette = Ui->AboutEdit->palette();
    palette.setColor(QPalette::Base, QColor(0xFF, 0xFF, 0xE1));
    Ui->AboutEdit->setPalette(palette);
    // Read by a screen reader under the window's own word.
    Ui->AboutEdit->setAccessibleName(QStringLiteral("Справка"));
    Ui->AboutEdit->verticalScrollBar()->setAccessibleName(QStringLiteral("Справка, прокрутка"));
    Ui->AboutEdit->horizontalScrollBar()->setAccessibleName(
        QStringLiteral("Справка, прокрутка вбок"));
}

TAboutForm::~TAboutForm() = default;

QString TAboutForm::HelpFilePath() const {
    if (!HelpFileOverride.isEmpty())
        return HelpFileOverride;
    return QDir(QCoreApplication::applicationDirPath()).filePath(HelpFileName);
}

void TAboutForm::FormShow() {
    const QString path = HelpFilePath();
    // Only a regular file is read: a pipe by that name would hold the window
    // for as long as nothing writes to it.
    const FileRead read =
        ReadRegularFile(std::filesystem::path(QFile::encodeName(path).toStdString()), MaxHelpBytes);
    if (read.Status == FileReadStatus::Missing) {
        Messages.ShowMessage(QStringLiteral("Не найден файл readme.txt! Справка недоступна !"),
                             QStringLiteral("Внимание!"));
        return;
    }
    if (read.Status == FileReadStatus::TooLarge) {
        Messages.ShowMessage(
            QStringLiteral("Файл readme.txt слишком велик (%1 байт): справка показывает "
                           "файлы не больше %2 байт.")
                .arg(QFileInfo(path).size())
                .arg(MaxHelpBytes),
            QStringLiteral("Внимание!"));
        return;
    }
    if (read.Status != FileReadStatus::Ok) {
        ShowErrorBox(Messages, QStringLiteral("Cannot open file \"%1\". %2")
                                   .arg(QDir::toNativeSeparators(path),
                                        QString::fromLocal8Bit(read.Message)));
        return;
    }
    // CP1251 as stored, or UTF-8 where the file is that.
    // Long lines shown in paragraphs, which a text edit lays out in time
    // proportional to their length; the shown text is never saved.
    QString text = FromCp1251(WithDisplayBreaks(DecodeTextBytes(read.Bytes, TextEncoding::Auto)));
    // A stray NUL would end the text early in some views; drop it.
    text.remove(QChar(0));
    Ui->AboutEdit->setPlainText(text);
    const QString mainCaption = MainWindow != nullptr ? MainWindow->windowTitle() : QString();
    setWindowTitle(QStringLiteral("Справка ---  ") + mainCaption);
}

int TAboutForm::ShowModal() {
    FormShow();
    if (MainWindow != nullptr)
        CentreOnWindow(*this, *MainWindow);
    return exec();
}

} // namespace tonvik
