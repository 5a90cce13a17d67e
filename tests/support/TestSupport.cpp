#include "TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

namespace TestSupport {

static QtMessageHandler previousHandler = nullptr;

static void filterMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

void installMessageFilter()
{
    previousHandler = qInstallMessageHandler(filterMessages);
}

QString dataPath(const QString &relative)
{
    return QStringLiteral(SHELFMARK_TEST_DATA "/") + relative;
}

QString copyData(const QString &relative, const QTemporaryDir &dir, const QString &newName)
{
    const QString source = dataPath(relative);
    const QString target = dir.filePath(newName.isEmpty() ? QFileInfo(source).fileName() : newName);
    QFile::remove(target);
    if (!QFile::copy(source, target))
        qFatal("cannot copy test data %s", qPrintable(source));
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return target;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace TestSupport
