#include "screenc.h"

#include "opdate/opdate.h"
#include "settings/latin1_line_validator.h"
#include "settings/settings_file.h"
#include "settings/typing_limit.h"
#include "ui_screenc.h"

#include <QDir>
#include <QMessageBox>

Tscreenconfig::Tscreenconfig(QWidget *parent) : QDialog(parent), ui_(std::make_unique<Ui::screenconfig>())
{
    // The design names the Windows dialog font; DejaVu Sans stands in for it elsewhere.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"));
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    fitToCaptions();

    for (QLineEdit *edit : {ui_->ename, ui_->eLocal, ui_->eUTC})
        edit->setValidator(new Latin1LineValidator(edit));
    connect(ui_->btnOK, &QPushButton::clicked, this, &Tscreenconfig::btnOKClick);
    connect(ui_->Button2, &QPushButton::clicked, this, &Tscreenconfig::Button2Click);

    FormCreate();
}

Tscreenconfig::~Tscreenconfig() = default;

void Tscreenconfig::FormCreate()
{
    const QByteArray screenText = ReadSettings();
    // The boxes show the differences in effect, not the file's texts: a line "05" shows as 5.
    ShowTextWhole(ui_->ename, QString::fromLatin1(screenText));
    ShowTextWhole(ui_->eUTC, QString::number(UtcOffsetInForce()));
    ShowTextWhole(ui_->eLocal, QString::number(LocalOffset));
}

void Tscreenconfig::btnOKClick()
{
    // Saved as typed; the validators keep every character within Latin-1.
    const SaveResult saved = WriteSettings(ui_->ename->text().toLatin1(), ui_->eLocal->text().toLatin1(),
                                           UtcTextToSave(ui_->eUTC->text().toLatin1()));
    if (!saved.ok) {
        // Stay open, so the user can mend the cause and press OK again, or leave with Abbruch.
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("Die Einstellungen konnten nicht gespeichert werden.\n\n%1\n%2")
                                 .arg(QDir::toNativeSeparators(SettingsFilePath()), saved.reason));
        return;
    }
    accept();
}

void Tscreenconfig::Button2Click()
{
    reject();
}
