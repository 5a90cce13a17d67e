#include "DialogService.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>

namespace {

struct Recorder
{
    bool recording = false;
    QList<QVariant> results;
    QList<QString> requests;
};

Recorder &recorder()
{
    static Recorder instance;
    return instance;
}

std::optional<QVariant> recorded(const QString &caption)
{
    Recorder &r = recorder();
    if (!r.recording)
        return std::nullopt;
    r.requests.append(caption);
    return r.results.isEmpty() ? QVariant() : r.results.takeFirst();
}

QString runFileDialog(QWidget *parent, const DialogService::FileRequest &request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, request.caption, request.directory,
                       DialogService::caseInsensitiveFilter(request.filter));
    dialog.setAcceptMode(mode);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (mode == QFileDialog::AcceptOpen)
        dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    else
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString DialogService::caseInsensitiveFilter(const QString &filter)
{
    QString result;
    bool inPattern = false;
    for (const QChar c : filter) {
        if (c == QLatin1Char('('))
            inPattern = true;
        else if (c == QLatin1Char(')'))
            inPattern = false;
        if (inPattern && c.isLetter() && c.unicode() < 0x80)
            result += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            result += c;
    }
    return result;
}

QString DialogService::openFile(QWidget *parent, const FileRequest &request)
{
    if (const auto result = recorded(request.caption))
        return result->toString();
    return runFileDialog(parent, request, QFileDialog::AcceptOpen);
}

QString DialogService::saveFile(QWidget *parent, const FileRequest &request)
{
    if (const auto result = recorded(request.caption))
        return result->toString();
    return runFileDialog(parent, request, QFileDialog::AcceptSave);
}

std::optional<QFont> DialogService::chooseFont(QWidget *parent, const QFont &initial)
{
    if (const auto result = recorded(QStringLiteral("Font"))) {
        if (result->canConvert<QFont>() && result->isValid())
            return result->value<QFont>();
        return std::nullopt;
    }
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent);
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

std::optional<QColor> DialogService::chooseColor(QWidget *parent, const QColor &initial)
{
    if (const auto result = recorded(QStringLiteral("Color"))) {
        if (result->isValid())
            return result->value<QColor>();
        return std::nullopt;
    }
    const QColor color = QColorDialog::getColor(initial, parent);
    return color.isValid() ? std::optional<QColor>(color) : std::nullopt;
}

void DialogService::startRecording()
{
    recorder() = Recorder();
    recorder().recording = true;
}

void DialogService::stopRecording()
{
    recorder() = Recorder();
}

void DialogService::queueResult(const QVariant &result)
{
    recorder().results.append(result);
}

const QList<QString> &DialogService::requests()
{
    return recorder().requests;
}
