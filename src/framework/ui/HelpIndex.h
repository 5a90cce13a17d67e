#pragma once

#include <QHash>
#include <QString>
#include <QUrl>

// Which page of the user's guide holds which anchor. The pages are the .html
// files of one directory (":/help" in the program); each is read as the help
// browser reads it, so an anchor counts exactly when the browser can scroll to
// it (an id on any element, or the name of an <a> element).
class HelpIndex
{
public:
    // The page the guide opens with: its contents.
    static constexpr auto StartPage = "index.html";

    explicit HelpIndex(const QString &directory);

    QUrl startPage() const;
    // The page holding `anchor` with the anchor as fragment; an empty URL when
    // no page has it. Pages are read in name order and the first one wins.
    QUrl urlFor(const QString &anchor) const;

private:
    QUrl pageUrl(const QString &fileName) const;

    QString m_directory;
    QHash<QString, QString> m_pageOfAnchor;
};
