#include "TestSupport.h"

#include "FuzzTargets.h"

#include <QDir>
#include <QTest>

// Every kept fuzz input goes through its target again; a target aborts on a
// broken invariant and the sanitizer build catches what memory errors remain.
class TestFuzzCases : public QObject
{
    Q_OBJECT

    static void replay(const QString &kind, void (*target)(const std::uint8_t *, std::size_t))
    {
        const QDir dir(TestSupport::dataPath(QStringLiteral("fuzz/") + kind));
        const QStringList inputs = dir.entryList(QDir::Files);
        QVERIFY(!inputs.isEmpty());
        for (const QString &name : inputs) {
            const QByteArray bytes = TestSupport::readAll(dir.filePath(name));
            target(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size()));
        }
    }

private slots:
    void tablesWithIndexes() { replay(QStringLiteral("dbf"), FuzzTargets::readTableWithIndex); }
    void settingsFiles() { replay(QStringLiteral("ini"), FuzzTargets::readSettingsFile); }
    void delimitedText() { replay(QStringLiteral("csv"), FuzzTargets::readDelimitedText); }
    void reportDefinitions() { replay(QStringLiteral("urp"), FuzzTargets::readReportDefinitions); }
    void pickLists() { replay(QStringLiteral("lists"), FuzzTargets::readPickList); }
};

SHELFMARK_TEST(TestFuzzCases)
#include "TestFuzzCases.moc"
