#include "TestSupport.h"

#include "framework/ui/HelpService.h"
#include "framework/ui/HelpWindow.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>

namespace {

// The help window as a user's automation finds it: the one top-level window of
// that name.
HelpWindow *findHelpWindow()
{
    HelpWindow *found = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("HelpWindow")) {
            if (found)
                return nullptr;
            found = qobject_cast<HelpWindow *>(widget);
        }
    }
    return found;
}

template <typename T> T *child(HelpWindow *window, const char *name)
{
    return window->findChild<T *>(QLatin1String(name));
}

// Whether the text at the anchor is inside the browser's visible area.
bool anchorInView(QTextBrowser *browser, const QString &anchor)
{
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().anchorNames().contains(anchor))
                return browser->viewport()->rect().contains(browser->cursorRect(QTextCursor(block)).center());
        }
    }
    return false;
}

} // namespace

class TestHelpWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }

    void opensAtTheKeywordAndContentsReturns_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("page");
        QTest::newRow("search window") << "Search Window"
                                       << "searching.html";
        QTest::newRow("last page of viewer") << "Viewer Configuration Names"
                                             << "viewer.html";
        QTest::newRow("reports designer") << "User Defined Reports"
                                          << "reports.html";
        QTest::newRow("backup") << "Backup and Restore"
                                << "backup.html";
        QTest::newRow("sort order, deep in a page") << "Sort Order"
                                                    << "searching.html";
    }
    void opensAtTheKeywordAndContentsReturns()
    {
        QFETCH(QString, keyword);
        QFETCH(QString, page);
        QWidget owner;
        HelpService::showTopic(&owner, keyword);
        HelpWindow *help = findHelpWindow();
        QVERIFY(help);
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QVERIFY(!help->isModal());
        QCOMPARE(help->source().fileName(), page);
        QCOMPARE(help->anchor(), HelpService::anchorFor(keyword));
        auto *browser = child<QTextBrowser>(help, "HelpBrowser");
        QVERIFY(anchorInView(browser, help->anchor()));

        child<QPushButton>(help, "ContentsButton")->click();
        QCOMPARE(help->source(), QUrl(QStringLiteral("qrc:/help/index.html")));
        QCOMPARE(help->windowTitle(), QStringLiteral("Shelfmark Books Help - Contents"));
        QCOMPARE(browser->verticalScrollBar()->value(), 0);
    }

    void anchorInMidPageIsScrolledTo()
    {
        HelpService::showContents(nullptr);
        HelpService::showTopic(nullptr, QStringLiteral("Viewer Configuration Order"));
        HelpWindow *help = findHelpWindow();
        QVERIFY(QTest::qWaitForWindowExposed(help));
        auto *browser = child<QTextBrowser>(help, "HelpBrowser");
        QVERIFY(browser->verticalScrollBar()->value() > 0);
        QVERIFY(anchorInView(browser, QStringLiteral("viewer-configuration-order")));
        QVERIFY(!anchorInView(browser, QStringLiteral("viewer-configuration")));
    }

    void unknownKeywordOpensContents()
    {
        HelpService::showTopic(nullptr, QStringLiteral("Input Window"));
        HelpService::showTopic(nullptr, QStringLiteral("No Such Window"));
        HelpWindow *help = findHelpWindow();
        QVERIFY(help);
        QCOMPARE(help->source(), QUrl(QStringLiteral("qrc:/help/index.html")));
        QVERIFY(help->anchor().isEmpty());
    }

    void oneWindowIsReusedAndRaised()
    {
        QWidget first;
        QWidget second;
        HelpService::showTopic(&first, QStringLiteral("Import Window"));
        HelpWindow *help = findHelpWindow();
        QVERIFY(help);
        help->close();
        QVERIFY(!help->isVisible());
        second.show();
        QVERIFY(TestSupport::activate(&second));
        HelpService::showTopic(&second, QStringLiteral("Export Window"));
        QCOMPARE(findHelpWindow(), help);
        QVERIFY(help->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(help));
        QCOMPARE(help->anchor(), QStringLiteral("export-window"));
    }

    void backAndForwardGoThroughThePagesRead()
    {
        HelpService::showTopic(nullptr, QStringLiteral("Sort Order"));
        HelpService::showTopic(nullptr, QStringLiteral("Input Window"));
        HelpWindow *help = findHelpWindow();
        auto *back = child<QPushButton>(help, "BackButton");
        auto *forward = child<QPushButton>(help, "ForwardButton");
        QVERIFY(back->isEnabled());
        QVERIFY(!forward->isEnabled());
        back->click();
        QCOMPARE(help->source(), QUrl(QStringLiteral("qrc:/help/searching.html#sort-order")));
        QVERIFY(forward->isEnabled());
        forward->click();
        QCOMPARE(help->source(), QUrl(QStringLiteral("qrc:/help/books.html#input-window")));
        QVERIFY(!forward->isEnabled());
        // A link followed in the page counts as a page read.
        auto *browser = child<QTextBrowser>(help, "HelpBrowser");
        browser->setSource(QUrl(QStringLiteral("qrc:/help/pick-lists.html#list-maintenance")));
        back->click();
        QCOMPARE(help->anchor(), QStringLiteral("input-window"));
    }

    void findFieldFindsTextInThePage()
    {
        HelpService::showTopic(nullptr, QStringLiteral("Search Window"));
        HelpWindow *help = findHelpWindow();
        auto *browser = child<QTextBrowser>(help, "HelpBrowser");
        auto *field = child<QLineEdit>(help, "FindField");
        auto *status = child<QLabel>(help, "FindStatus");

        field->setText(QStringLiteral("key words"));
        child<QPushButton>(help, "FindNextButton")->click();
        QCOMPARE(browser->textCursor().selectedText().toLower(), QStringLiteral("key words"));
        QVERIFY(status->text().isEmpty());
        const int first = browser->textCursor().selectionStart();

        // Enter looks for the next place.
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(browser->textCursor().selectionStart() > first);

        // Backwards from the first place goes round to the end of the page.
        QTextCursor start = browser->textCursor();
        start.setPosition(first);
        browser->setTextCursor(start);
        child<QPushButton>(help, "FindPreviousButton")->click();
        QVERIFY(browser->textCursor().selectionStart() > first);
        QCOMPARE(browser->textCursor().selectedText().toLower(), QStringLiteral("key words"));
    }

    void findGoesRoundThePageAndSaysWhenAbsent()
    {
        HelpService::showTopic(nullptr, QStringLiteral("Backup and Restore"));
        HelpWindow *help = findHelpWindow();
        auto *browser = child<QTextBrowser>(help, "HelpBrowser");
        auto *field = child<QLineEdit>(help, "FindField");
        auto *status = child<QLabel>(help, "FindStatus");

        field->setText(QStringLiteral("SHMKLIB.URP"));
        QVERIFY(help->findInPage());
        const int first = browser->textCursor().selectionStart();
        int guard = 0;
        while (help->findInPage() && browser->textCursor().selectionStart() != first)
            QVERIFY(++guard < 20);
        QCOMPARE(browser->textCursor().selectionStart(), first);

        field->setText(QStringLiteral("zebra crossing"));
        QVERIFY(!help->findInPage());
        QCOMPARE(status->text(), QStringLiteral("Not found"));
        QCOMPARE(browser->textCursor().selectionStart(), first);
        // Another page clears the report.
        child<QPushButton>(help, "ContentsButton")->click();
        QVERIFY(status->text().isEmpty());
    }

    // Every window but the main one is modal; help asked for from one of them
    // must still take clicks.
    void usableAboveTheModalWindowThatAskedForIt()
    {
        HelpService::showContents(nullptr);
        QDialog dialog;
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        HelpService::showTopic(&dialog, QStringLiteral("Search Window"));
        HelpWindow *help = findHelpWindow();
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QCOMPARE(help->anchor(), QStringLiteral("search-window"));
        auto *contents = child<QPushButton>(help, "ContentsButton");
        QTest::mouseClick(help->windowHandle(), Qt::LeftButton, {}, contents->mapTo(help, contents->rect().center()));
        QCOMPARE(help->source(), QUrl(QStringLiteral("qrc:/help/index.html")));
    }
};

SHELFMARK_TEST(TestHelpWindow)
#include "TestHelpWindow.moc"
