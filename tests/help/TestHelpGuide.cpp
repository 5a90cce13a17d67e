#include "TestSupport.h"

#include "framework/ui/HelpIndex.h"
#include "framework/ui/HelpService.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {

QString page(const QString &fileName)
{
    QFile file(QStringLiteral(":/help/") + fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QStringList pages()
{
    return QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
}

// The values of one attribute in the tags of a page, read from the source text.
QStringList attributeValues(const QString &html, const QString &attribute, const QString &tag = {})
{
    static const QRegularExpression tags(QStringLiteral("<([a-zA-Z0-9]+)\\b([^>]*)>"));
    const QRegularExpression value(QStringLiteral("\\b%1\\s*=\\s*\"([^\"]*)\"").arg(attribute));
    QStringList values;
    for (const auto &t : tags.globalMatch(html)) {
        if (!tag.isEmpty() && t.captured(1).compare(tag, Qt::CaseInsensitive) != 0)
            continue;
        for (const auto &v : value.globalMatch(t.captured(2)))
            values << v.captured(1);
    }
    return values;
}

// Anchors as written: ids on any element and names of <a> elements.
QStringList writtenAnchors(const QString &html)
{
    return attributeValues(html, QStringLiteral("id")) +
           attributeValues(html, QStringLiteral("name"), QStringLiteral("a"));
}

// Anchors as the help browser's document sees them.
QSet<QString> documentAnchors(const QString &html)
{
    QTextDocument document;
    document.setHtml(html);
    QSet<QString> anchors;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            for (const QString &name : it.fragment().charFormat().anchorNames())
                anchors.insert(name);
    return anchors;
}

} // namespace

class TestHelpGuide : public QObject
{
    Q_OBJECT

private slots:
    void anchorFor_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("anchor");
        QTest::newRow("two words") << "Input Window"
                                   << "input-window";
        QTest::newRow("six page keyword") << "Viewer Configuration Names"
                                          << "viewer-configuration-names";
        QTest::newRow("lower-case word kept") << "Backup and Restore"
                                              << "backup-and-restore";
        QTest::newRow("run of several") << "Tip -- of the_Day"
                                        << "tip-of-the-day";
        QTest::newRow("leading and trailing") << " Sort Order!"
                                              << "-sort-order-";
        QTest::newRow("digits kept") << "ISBN 10"
                                     << "isbn-10";
        QTest::newRow("accented letter") << "Café Liste"
                                         << "café-liste";
        QTest::newRow("slash") << "Search/Replace"
                               << "search-replace";
        QTest::newRow("empty") << ""
                               << "";
    }
    void anchorFor()
    {
        QFETCH(QString, keyword);
        QFETCH(QString, anchor);
        QCOMPARE(HelpService::anchorFor(keyword), anchor);
    }

    // Every keyword a window opens the guide at, and the topics the menus name,
    // lead to the page that explains them.
    void keywordHasAnchor_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("page");
        const QList<std::pair<const char *, const char *>> rows = {
            {"Input Window", "books.html"},
            {"Search Window", "searching.html"},
            {"Import Window", "transfer.html"},
            {"Export Window", "transfer.html"},
            {"User Defined Reports", "reports.html"},
            {"Report Window", "reports.html"},
            {"Backup and Restore", "backup.html"},
            {"Viewer Configuration Title", "viewer.html"},
            {"Viewer Configuration Look", "viewer.html"},
            {"Viewer Configuration Show", "viewer.html"},
            {"Viewer Configuration Widths", "viewer.html"},
            {"Viewer Configuration Order", "viewer.html"},
            {"Viewer Configuration Names", "viewer.html"},
            {"Contents", "index.html"},
            {"Main Window", "main-window.html"},
            {"Screen Access", "main-window.html"},
            {"Browse Mode", "main-window.html"},
            {"Tip of the Day", "main-window.html"},
            {"Databases", "databases.html"},
            {"New Database", "databases.html"},
            {"Open Database", "databases.html"},
            {"Recent Files", "databases.html"},
            {"Update Database", "databases.html"},
            {"Pack Database", "databases.html"},
            {"Rebuild Indexes", "databases.html"},
            {"Pick Lists", "pick-lists.html"},
            {"List Maintenance", "pick-lists.html"},
            {"End Search", "searching.html"},
            {"Locate", "searching.html"},
            {"Search and Replace", "searching.html"},
            {"Sort Order", "searching.html"},
            {"Report Preview", "reports.html"},
            {"Print To File", "reports.html"},
            {"Viewer Configuration", "viewer.html"},
            {"Color Configuration", "colors.html"},
            {"Display Options", "options.html"},
            {"Screen Size", "options.html"},
            {"Date Formats", "options.html"},
            {"Number Formats", "options.html"},
            {"Fonts", "options.html"},
            {"Backup", "backup.html"},
            {"Restore", "backup.html"},
        };
        for (const auto &[keyword, page] : rows)
            QTest::newRow(keyword) << QString::fromLatin1(keyword) << QString::fromLatin1(page);
    }
    void keywordHasAnchor()
    {
        QFETCH(QString, keyword);
        QFETCH(QString, page);
        const QString anchor = HelpService::anchorFor(keyword);
        QVERIFY2(writtenAnchors(::page(page)).contains(anchor), qPrintable(page + u'#' + anchor));
        const QUrl url = HelpIndex(QStringLiteral(":/help")).urlFor(anchor);
        QCOMPARE(url.fileName(), page);
        QCOMPARE(url.fragment(), anchor);
    }

    // An anchor written on a page is one the browser can scroll to, and no
    // anchor is written twice in the whole guide.
    void anchorsAreSeenAndUnique()
    {
        QSet<QString> seen;
        for (const QString &name : pages()) {
            const QString html = page(name);
            const QStringList written = writtenAnchors(html);
            QVERIFY2(!written.isEmpty(), qPrintable(name));
            QCOMPARE(documentAnchors(html), QSet<QString>(written.begin(), written.end()));
            for (const QString &anchor : written) {
                QVERIFY2(!seen.contains(anchor), qPrintable(name + u'#' + anchor));
                seen.insert(anchor);
            }
        }
        QVERIFY(seen.size() > 60);
    }

    void linksLeadSomewhere()
    {
        for (const QString &name : pages()) {
            const QString html = page(name);
            for (const QString &href : attributeValues(html, QStringLiteral("href"))) {
                const QString target = href.section(u'#', 0, 0);
                const QString fragment = href.section(u'#', 1);
                const QString where = name + QStringLiteral(" -> ") + href;
                QVERIFY2(!target.contains(u':'), qPrintable(where));
                QVERIFY2(QFile::exists(QStringLiteral(":/help/") + (target.isEmpty() ? name : target)),
                         qPrintable(where));
                if (!fragment.isEmpty())
                    QVERIFY2(writtenAnchors(page(target.isEmpty() ? name : target)).contains(fragment),
                             qPrintable(where));
            }
        }
    }

    void contentsLinksEveryPage()
    {
        QSet<QString> linked;
        for (const QString &href : attributeValues(page(QStringLiteral("index.html")), QStringLiteral("href")))
            linked.insert(href.section(u'#', 0, 0));
        for (const QString &name : pages()) {
            if (name != QLatin1String(HelpIndex::StartPage))
                QVERIFY2(linked.contains(name), qPrintable(name));
        }
    }

    void everyPageHasATitle()
    {
        for (const QString &name : pages()) {
            QTextDocument document;
            document.setHtml(page(name));
            QVERIFY2(!document.metaInformation(QTextDocument::DocumentTitle).isEmpty(), qPrintable(name));
        }
    }

    void guideStatesTheTwoDigitYearRule()
    {
        QTextDocument document;
        document.setHtml(page(QStringLiteral("options.html")));
        QVERIFY(document.toPlainText().simplified().contains(
            QStringLiteral("A date typed or imported with a two-digit year goes to the century that puts it "
                           "nearest today (within 50 years).")));
    }

    void indexFindsAnchorsOfAnyPage()
    {
        QTemporaryDir dir;
        TestSupport::writeAll(dir.filePath(QStringLiteral("index.html")),
                              "<html><body><h1 id=\"start\">Start</h1></body></html>");
        TestSupport::writeAll(dir.filePath(QStringLiteral("a.html")),
                              "<html><body><p><a name=\"named\"></a>Named</p><h2 id=\"twice\">A</h2></body></html>");
        TestSupport::writeAll(dir.filePath(QStringLiteral("b.html")),
                              "<html><body><h2 id=\"twice\">B</h2><p id=\"para\">text</p></body></html>");
        TestSupport::writeAll(dir.filePath(QStringLiteral("notes.txt")), "<p id=\"ignored\">not a page</p>");
        const HelpIndex index(dir.path());
        QCOMPARE(index.startPage(), QUrl::fromLocalFile(dir.filePath(QStringLiteral("index.html"))));
        QCOMPARE(index.urlFor(QStringLiteral("named")).fileName(), QStringLiteral("a.html"));
        QCOMPARE(index.urlFor(QStringLiteral("para")).fileName(), QStringLiteral("b.html"));
        QCOMPARE(index.urlFor(QStringLiteral("twice")).fileName(), QStringLiteral("a.html"));
        QCOMPARE(index.urlFor(QStringLiteral("start")).fragment(), QStringLiteral("start"));
        QVERIFY(index.urlFor(QStringLiteral("ignored")).isEmpty());
        QVERIFY(index.urlFor(QStringLiteral("nowhere")).isEmpty());
        QVERIFY(index.urlFor(QString()).isEmpty());
    }

    void resourceIndexUsesQrcUrls()
    {
        const HelpIndex index(QStringLiteral(":/help"));
        QCOMPARE(index.startPage(), QUrl(QStringLiteral("qrc:/help/index.html")));
        QCOMPARE(index.urlFor(QStringLiteral("locate")), QUrl(QStringLiteral("qrc:/help/searching.html#locate")));
    }
};

SHELFMARK_TEST(TestHelpGuide)
#include "TestHelpGuide.moc"
