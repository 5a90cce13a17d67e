#include "ReplacementLog.h"

#include "Error.h"
#include "framework/dbase/PosixFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <fcntl.h>
#include <unistd.h>

namespace {

// This run's log: one absolute path a line.
class Log
{
public:
    ~Log() { close(); }

    void open(const QString &path)
    {
        close();
        m_path = path;
        if (PosixFile::tryOpen(path, O_WRONLY | O_CREAT | O_TRUNC, m_file) == 0)
            m_file.tryLock(PosixFile::Lock::Exclusive, 0);
    }

    void note(const QString &path)
    {
        const QString absolute = QFileInfo(path).absoluteFilePath();
        if (!m_file.isOpen() || m_noted.contains(absolute))
            return;
        const QByteArray line = QFile::encodeName(absolute) + '\n';
        try {
            m_file.writeAt(m_file.size(), line.constData(), std::size_t(line.size()));
            m_file.sync();
            m_noted.insert(absolute);
        } catch (const DbfError &) {
        }
    }

private:
    void close()
    {
        if (m_file.isOpen()) {
            m_file.close();
            ::unlink(QFile::encodeName(m_path).constData());
        }
        m_noted.clear();
    }

    QString m_path;
    PosixFile m_file;
    QSet<QString> m_noted;
};

Log &thisRun()
{
    static Log log;
    return log;
}

// The leftovers beside the paths of a log whose run ended, then the log; a log
// still locked belongs to a run that lives.
QStringList clear(const QString &logPath)
{
    PosixFile lock;
    if (PosixFile::tryOpen(logPath, O_RDONLY, lock) != 0 || !lock.tryLock(PosixFile::Lock::Shared, 0))
        return {};
    QFile log(logPath);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    QStringList removed;
    for (const QByteArray &line : log.readAll().split('\n')) {
        if (!line.isEmpty())
            removed += ReplacementFile::removeStale(QFile::decodeName(line));
    }
    ::unlink(QFile::encodeName(logPath).constData());
    return removed;
}

} // namespace

namespace ReplacementLog {

QStringList start(const QString &folder)
{
    static const QRegularExpression logName(QStringLiteral("^\\.replacing-\\d+$"));
    const QDir directory(folder);
    QStringList removed;
    for (const QString &name : directory.entryList(QDir::Files | QDir::Hidden)) {
        if (logName.match(name).hasMatch())
            removed += clear(directory.filePath(name));
    }
    thisRun().open(directory.filePath(QStringLiteral(".replacing-%1").arg(::getpid())));
    return removed;
}

void note(const QString &path)
{
    thisRun().note(path);
}

} // namespace ReplacementLog
