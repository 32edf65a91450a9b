#include "app/AboutUnit.h"

#include "app/MessageService.h"
#include "text/Cp1251.h"
#include "text/TextFile.h"
#include "text/WindowPlacement.h"
#include "ui_AboutUnit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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
}

TAboutForm::~TAboutForm() = default;

QString TAboutForm::HelpFilePath() const {
    if (!HelpFileOverride.isEmpty())
        return HelpFileOverride;
    return QDir(QCoreApplication::applicationDirPath()).filePath(HelpFileName);
}

void TAboutForm::FormShow() {
    const QString path = HelpFilePath();
    if (!QFileInfo::exists(path)) {
        Messages.ShowMessage(QStringLiteral("Не найден файл readme.txt! Справка недоступна !"),
                             QStringLiteral("Внимание!"));
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowErrorBox(Messages, QStringLiteral("Cannot open file \"%1\". %2")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()));
        return;
    }
    if (file.size() > MaxHelpBytes) {
        Messages.ShowMessage(
            QStringLiteral("Файл readme.txt слишком велик (%1 байт): справка показывает "
                           "файлы не больше %2 байт.")
                .arg(file.size())
                .arg(MaxHelpBytes),
            QStringLiteral("Внимание!"));
        return;
    }
    const QByteArray bytes = file.read(MaxHelpBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        ShowErrorBox(Messages, QStringLiteral("Cannot read file \"%1\". %2")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()));
        return;
    }
    // CP1251 as stored, or UTF-8 where the file is that.
    QString text = FromCp1251(
        DecodeTextBytes(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                        TextEncoding::Auto));
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
