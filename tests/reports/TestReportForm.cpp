#include "TestSupport.h"

#include "BookGenerator.h"
#include "ReportFixture.h"
#include "app/WindowLook.h"
#include "framework/report/ReportFont.h"
#include "framework/ui/MessageService.h"
#include "reports/BuiltInReports.h"
#include "reports/TReportForm.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace ReportFixture;

namespace {

const ReportDefinition &fullReport()
{
    static const ReportDefinition full = BuiltInReports::all()[3];
    return full;
}

} // namespace

// The Report Status Screen runs the report it is shown with and says how it ended.
class TestReportForm : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    DbfTable m_table;
    Settings m_settings{QString()};
    WindowLook m_look{m_settings};

    QLabel *status(TReportForm &form) { return form.findChild<QLabel *>(u"Label1"_s); }
    QPushButton *button(TReportForm &form) { return form.findChild<QPushButton *>(u"BitBtn1"_s); }

private slots:
    void initTestCase()
    {
        ReportFonts::installSubstitutes();
        const QString path = m_dir.filePath(u"MANY.DBF"_s);
        CatalogTable::create(path);
        {
            DbfTable writer;
            writer.open(path);
            BookGenerator generator;
            generator.appendTo(writer, 3000, false);
        }
        m_table.open(path, DbfTable::Access::Shared, {CatalogTable::IndexTag, CatalogTable::sortString({2, 0, 0, 0})});
        MessageService::startRecording();
    }

    void cleanupTestCase() { MessageService::stopRecording(); }
    void init() { MessageService::clearShown(); }

    void completedRunIsClosedWithOk()
    {
        const QString path = m_dir.filePath(u"FULL.TXT"_s);
        ReportRecording discarded;
        TReportFiler filer(discarded);
        ReportGenerator generator(fullReport(), ReportGenerator::Mode::File, m_table, settings());
        generator.setTextFile(path);
        TReportForm form(generator, filer, m_look);
        QCOMPARE(form.windowTitle(), u"Report Status Screen"_s);
        QCOMPARE(status(form)->text(), u"Printing Status"_s);
        QCOMPARE(button(form)->text(), u"Cancel"_s);
        form.open();
        QTRY_COMPARE_WITH_TIMEOUT(button(form)->text(), u"OK"_s, 60000);
        QCOMPARE(status(form)->text(), u"\nReport Completed!"_s);
        QVERIFY(!form.aborted());
        QVERIFY(QFileInfo(path).size() > 0);
        QTest::mouseClick(button(form), Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(!form.isVisible());
    }

    void interruptedRun_data()
    {
        QTest::addColumn<bool>("closeWindow");
        QTest::newRow("Cancel") << false;
        QTest::newRow("closing the window") << true;
    }

    // Cancel stops the run after the page being done and leaves the window
    // open; closing the window stops it and closes the window.
    void interruptedRun()
    {
        QFETCH(bool, closeWindow);
        ReportRecording recording;
        TReportFiler filer(recording);
        ReportGenerator generator(fullReport(), ReportGenerator::Mode::View, m_table, settings());
        TReportForm form(generator, filer, m_look);
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (!status(form)->text().startsWith(u"Printing Page 1\n"_s))
                return;
            watch.stop();
            if (closeWindow)
                QTest::keyClick(&form, Qt::Key_Escape);
            else
                QTest::mouseClick(button(form), Qt::LeftButton);
        });
        watch.start(0);
        form.open();
        QTRY_VERIFY_WITH_TIMEOUT(button(form)->text() == u"OK"_s || !form.isVisible(), 60000);
        QVERIFY(form.aborted());
        QVERIFY(recording.pageCount() < 10);
        if (closeWindow) {
            QVERIFY(!form.isVisible());
            QCOMPARE(form.result(), int(QDialog::Rejected));
        } else {
            QVERIFY(form.isVisible());
            QCOMPARE(status(form)->text(), u"\nReport Canceled!"_s);
        }
    }

    void failureIsShownAndCountsAsCancelled()
    {
        const QString path = m_dir.filePath(u"missing/FULL.TXT"_s);
        ReportRecording discarded;
        TReportFiler filer(discarded);
        ReportGenerator generator(fullReport(), ReportGenerator::Mode::File, m_table, settings());
        generator.setTextFile(path);
        TReportForm form(generator, filer, m_look);
        form.open();
        QTRY_COMPARE_WITH_TIMEOUT(button(form)->text(), u"OK"_s, 60000);
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().first().caption, u"Error"_s);
        QVERIFY(MessageService::shown().first().text.contains(path));
        QCOMPARE(status(form)->text(), u"\nReport Canceled!"_s);
        QVERIFY(form.aborted());
    }
};

SHELFMARK_TEST(TestReportForm)
#include "TestReportForm.moc"
