#include "HelpIndex.h"

#include <QDir>
#include <QFile>
#include <QTextBlock>
#include <QTextDocument>

HelpIndex::HelpIndex(const QString &directory) : m_directory(directory)
{
    const QStringList pages =
        QDir(directory).entryList({QStringLiteral("*.html")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QString &page : pages) {
        QFile file(QDir(directory).filePath(page));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QTextDocument document;
        document.setHtml(QString::fromUtf8(file.readAll()));
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
                const QStringList names = fragment.fragment().charFormat().anchorNames();
                for (const QString &name : names)
                    m_pageOfAnchor.insert(name, m_pageOfAnchor.value(name, page));
            }
        }
    }
}

QUrl HelpIndex::startPage() const
{
    return pageUrl(QString::fromLatin1(StartPage));
}

QUrl HelpIndex::urlFor(const QString &anchor) const
{
    const auto page = m_pageOfAnchor.constFind(anchor);
    if (anchor.isEmpty() || page == m_pageOfAnchor.constEnd())
        return {};
    QUrl url = pageUrl(*page);
    url.setFragment(anchor);
    return url;
}

QUrl HelpIndex::pageUrl(const QString &fileName) const
{
    const QString path = QDir(m_directory).filePath(fileName);
    // Resource paths (":/help/...") become qrc URLs, which the help browser loads.
    if (path.startsWith(QLatin1Char(':')))
        return QUrl(QStringLiteral("qrc") + path);
    return QUrl::fromLocalFile(path);
}
