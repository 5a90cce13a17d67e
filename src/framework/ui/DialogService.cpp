#include "DialogService.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QHash>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

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

// The folder of the file last chosen for each kind of file (its filter's
// patterns), for the run.
QHash<QString, QString> &lastFolders()
{
    static QHash<QString, QString> folders;
    return folders;
}

QString kindOf(const DialogService::FileRequest &request)
{
    const QString filter = request.filter.toUpper();
    const qsizetype open = filter.indexOf(QLatin1Char('('));
    return open < 0 ? filter : filter.mid(open);
}

QString chosen(const DialogService::FileRequest &request, const QString &path)
{
    if (!path.isEmpty())
        lastFolders().insert(kindOf(request), QFileInfo(path).absolutePath());
    return path;
}

// The patterns of a filter, each letter matching either case.
QStringList anyCasePatterns(const QString &filter)
{
    const QString patterns = DialogService::caseInsensitiveFilter(filter);
    const qsizetype open = patterns.indexOf(QLatin1Char('('));
    const qsizetype close = patterns.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open)
        return {};
    return patterns.mid(open + 1, close - open - 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QString runFileDialog(QWidget *parent, const DialogService::FileRequest &request, QFileDialog::AcceptMode mode)
{
    // The filter shows as written; its patterns match names in either case.
    QFileDialog dialog(parent, request.caption, DialogService::directoryFor(request), request.filter);
    dialog.setAcceptMode(mode);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (auto *files = dialog.findChild<QFileSystemModel *>()) {
        const auto matchAnyCase = [files](const QString &filter) {
            if (const QStringList patterns = anyCasePatterns(filter); !patterns.isEmpty())
                files->setNameFilters(patterns);
        };
        QObject::connect(&dialog, &QFileDialog::filterSelected, files, matchAnyCase);
        matchAnyCase(dialog.selectedNameFilter());
    }
    if (mode == QFileDialog::AcceptOpen)
        dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    else
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

// Qt's font dialog has no text colour: it is embedded without its buttons, and a
// colour button stands beside its effects.
std::optional<std::pair<QFont, QColor>> runColoredFontDialog(QWidget *parent, const QFont &initial,
                                                             const QColor &initialColor)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Font"));
    auto *fonts = new QFontDialog(initial, &dialog);
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts->setWindowFlags(Qt::Widget);

    QColor color = initialColor;
    auto *colorButton = new QPushButton(QStringLiteral("C&olor..."), &dialog);
    const auto showColor = [&color, colorButton] {
        QPixmap swatch(16, 16);
        swatch.fill(color);
        colorButton->setIcon(QIcon(swatch));
    };
    showColor();
    QObject::connect(colorButton, &QPushButton::clicked, &dialog, [&dialog, &color, &showColor] {
        const QColor chosen = QColorDialog::getColor(color, &dialog);
        if (chosen.isValid()) {
            color = chosen;
            showColor();
        }
    });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(colorButton);
    bottom->addStretch();
    bottom->addWidget(buttons);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(fonts);
    layout->addLayout(bottom);

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return std::pair(fonts->currentFont(), color);
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

QString DialogService::directoryFor(const FileRequest &request)
{
    return lastFolders().value(kindOf(request), request.directory);
}

QString DialogService::openFile(QWidget *parent, const FileRequest &request)
{
    if (const auto result = recorded(request.caption))
        return chosen(request, result->toString());
    return chosen(request, runFileDialog(parent, request, QFileDialog::AcceptOpen));
}

QString DialogService::saveFile(QWidget *parent, const FileRequest &request)
{
    if (const auto result = recorded(request.caption))
        return chosen(request, result->toString());
    return chosen(request, runFileDialog(parent, request, QFileDialog::AcceptSave));
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

std::optional<std::pair<QFont, QColor>> DialogService::chooseColoredFont(QWidget *parent, const QFont &initial,
                                                                         const QColor &initialColor)
{
    if (const auto result = recorded(QStringLiteral("Font"))) {
        const QVariantList chosen = result->toList();
        if (chosen.size() == 2)
            return std::pair(chosen[0].value<QFont>(), chosen[1].value<QColor>());
        return std::nullopt;
    }
    return runColoredFontDialog(parent, initial, initialColor);
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
