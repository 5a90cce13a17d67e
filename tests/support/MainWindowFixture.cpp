#include "MainWindowFixture.h"

#include "TestSupport.h"
#include "app/MyTable.h"
#include "framework/ui/DataGrid.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/MessageService.h"
#include "storage/CatalogTable.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>

MainWindowFixture::MainWindowFixture()
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("data"))));
    QDir().mkpath(dataDir());
    QDir().mkpath(configDir());
    MessageService::startRecording();
    DialogService::startRecording();
    // The tip of the day comes up on the first activation; close it as a user would.
    m_tipCloser.setInterval(10);
    QObject::connect(&m_tipCloser, &QTimer::timeout, [this] {
        const QList<QWidget *> windows = QApplication::topLevelWidgets();
        for (QWidget *window : windows) {
            if (window->objectName() == QLatin1String("TipOfDay") && window->isVisible()) {
                ++m_tipsShown;
                window->close();
            }
        }
    });
    m_tipCloser.start();
}

MainWindowFixture::~MainWindowFixture()
{
    close();
    MessageService::stopRecording();
    DialogService::stopRecording();
}

QString MainWindowFixture::dataDir() const
{
    return m_dir.filePath(QStringLiteral("data/Shelfmark"));
}

QString MainWindowFixture::configDir() const
{
    return m_dir.filePath(QStringLiteral("config/Shelfmark"));
}

QString MainWindowFixture::makeCatalog(const QString &name, const QStringList &authors) const
{
    const QString file = m_dir.filePath(name);
    CatalogTable::create(file);
    DbfTable table;
    table.open(file);
    int n = 0;
    for (const QString &author : authors) {
        table.append();
        table.setText(0, QStringLiteral("Book %1").arg(++n));
        table.setText(1, author);
        table.post();
    }
    return file;
}

void MainWindowFixture::writeGlobalSettings(const QByteArray &ini) const
{
    TestSupport::writeAll(QDir(configDir()).filePath(QStringLiteral("SHMKLIB.INI")), ini);
}

TMain &MainWindowFixture::start(const QStringList &arguments, bool tips)
{
    if (!tips) {
        QFile global(QDir(configDir()).filePath(QStringLiteral("SHMKLIB.INI")));
        if (global.open(QIODevice::Append))
            global.write("\r\n[Misc]\r\nShow Tips=No\r\n");
    }
    TMain::Environment environment;
    environment.programDirectory = dataDir();
    environment.startDirectory = m_dir.path();
    environment.arguments = arguments;
    m_main = std::make_unique<TMain>(environment);
    if (!m_main->startUp())
        qWarning("the main window did not start");
    m_main->show();
    return *m_main;
}

Catalog &MainWindowFixture::openCatalog(const QString &path)
{
    m_window = std::make_unique<QWidget>();
    m_catalog = std::make_unique<Catalog>(dataDir(), m_dir.path());
    m_catalog->readGlobalSettings();
    m_catalog->openAtStartup(path);
    m_look = std::make_unique<WindowLook>(m_catalog->settings());
    return *m_catalog;
}

QStringList MainWindowFixture::shown(int row) const
{
    const MyTable &table = m_main ? m_main->catalog().table() : m_catalog->table();
    QStringList values;
    table.engine().forEachRow([&](int, const DbfRecord &record) { values << record.text(table.field(row)); });
    return values;
}

void MainWindowFixture::close()
{
    if (m_main) {
        m_main->close();
        m_main.reset();
    }
}

QString MainWindowFixture::countText() const
{
    return child<QLabel>(QStringLiteral("CountLabel"))->text();
}

QStringList MainWindowFixture::columnLabels() const
{
    const auto *grid = child<DataGrid>(QStringLiteral("ViewerGrid"));
    QStringList labels;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        labels << grid->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    return labels;
}

QStringList MainWindowFixture::authorsShown() const
{
    const auto *grid = child<DataGrid>(QStringLiteral("ViewerGrid"));
    const int author = columnLabels().indexOf(QStringLiteral("Author"));
    QStringList authors;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        authors << grid->model()->index(r, author).data().toString();
    return authors;
}
