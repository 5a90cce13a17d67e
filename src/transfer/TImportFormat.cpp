#include "TImportFormat.h"

#include "TMyImport.h"
#include "app/Catalog.h"
#include "app/WindowLook.h"
#include "framework/Error.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/WindowStyle.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

QString firstLineMessage(DelimitedReader::Header::Error error)
{
    using Error = DelimitedReader::Header::Error;
    QString reason;
    switch (error) {
    case Error::FieldTooLong:
        reason = QStringLiteral("The selected file has a field that is greater than 255 characters.");
        break;
    case Error::UnexpectedEnd:
        reason = QStringLiteral("The selected file had an unexpected end of a line most likely due to an unmatched "
                                "quote.");
        break;
    case Error::TooManyFields:
        reason = QStringLiteral("The selected file has too many fields.  ") +
                 QStringLiteral("There are at least 10 more fields than are required by Shelfmark.");
        break;
    case Error::None:
        break;
    }
    return QStringLiteral("The file selected does not appear to be an ASCII delimited text file.  ") +
           QStringLiteral("An ASCII delimited file requires a unique format of each field being ") +
           QStringLiteral("surrounded by double quotes and separated by a comma.  ") + reason;
}

} // namespace

TImportFormat::TImportFormat(Catalog &catalog, const WindowLook &look, QWidget *parent)
    : QDialog(parent), m_catalog(catalog), m_look(look)
{
    setObjectName(QStringLiteral("ImportFormat"));
    setWindowTitle(QStringLiteral("Import Format"));

    m_ascii = new QRadioButton(QStringLiteral("Ascii Delimited File"), this);
    m_ascii->setObjectName(QStringLiteral("AsciiDelimited"));
    m_dbf = new QRadioButton(QStringLiteral("DBase File (DBF)"), this);
    m_dbf->setObjectName(QStringLiteral("DBFFormat"));
    auto *file = new QPushButton(QStringLiteral("Select &File"), this);
    file->setObjectName(QStringLiteral("FileButton"));
    file->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(file);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_ascii);
    layout->addWidget(m_dbf);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    resize(300, 140);

    connect(file, &QPushButton::clicked, this, &TImportFormat::FileButtonClick);
    connect(cancel, &QPushButton::clicked, this, &TImportFormat::CancelButtonClick);
}

void TImportFormat::showEvent(QShowEvent *event)
{
    if (!event->spontaneous() && !m_formShown) {
        m_formShown = true;
        FormShow();
    }
    QDialog::showEvent(event);
}

void TImportFormat::FormShow()
{
    WindowStyle::applyFonts(this, m_look.fonts());
    WindowStyle::scale(this, m_look.scaleFactor());
    WindowStyle::centre(this);
    (m_catalog.settings().importFileType == 2 ? m_dbf : m_ascii)->setChecked(true);
    SetColors();
}

void TImportFormat::SetColors()
{
    WindowStyle::applyColors(this, m_catalog.settings().configureColors);
}

void TImportFormat::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TImportFormat::FormClose()
{
    m_catalog.settings().importFileType = m_dbf->isChecked() ? 2 : 1;
}

void TImportFormat::FileButtonClick()
{
    try {
        if (m_dbf->isChecked())
            DoDBF();
        else
            DoAscii();
    } catch (const Error &e) {
        MessageService::error(this, e.message());
    }
}

void TImportFormat::DoAscii()
{
    const QString path = DialogService::openFile(this, {QStringLiteral("Import Data"), QString(),
                                                        QStringLiteral("Ascii Delimited Text (*.TXT)"),
                                                        QStringLiteral("TXT"), true, false});
    if (path.isEmpty())
        return;
    TMyImport import(m_catalog, m_look, TMyImport::Format::Ascii, path, this);
    const auto error = import.GetFirstLine();
    if (error != DelimitedReader::Header::Error::None) {
        MessageService::error(this, firstLineMessage(error));
        return;
    }
    if (import.exec() == QDialog::Accepted)
        accept();
}

void TImportFormat::DoDBF()
{
    const QString path =
        DialogService::openFile(this, {QStringLiteral("Import Data"), QString(), QStringLiteral("DBase  (*.DBF)"),
                                       QStringLiteral("DBF"), true, false});
    if (path.isEmpty())
        return;
    if (path.right(4).toUpper() != QLatin1String(".DBF")) {
        MessageService::error(this, QStringLiteral("Invalid file type selected."));
        return;
    }
    TMyImport import(m_catalog, m_look, TMyImport::Format::DBase, path, this);
    import.GetDBFInfo();
    if (import.exec() == QDialog::Accepted)
        accept();
}

void TImportFormat::CancelButtonClick()
{
    reject();
}
