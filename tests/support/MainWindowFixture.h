#pragma once

#include "app/TMain.h"

#include <QTemporaryDir>
#include <QTimer>
#include <memory>

// The program started on files in a temporary directory: settings in
// <dir>/config/Shelfmark, the program's files in <dir>/data/Shelfmark. Message
// boxes and file dialogs are recorded instead of shown. Either the whole main
// window starts, or only the open database (a catalog object with the window
// look) for tests of the windows that work on it.
class MainWindowFixture
{
public:
    MainWindowFixture();
    ~MainWindowFixture();

    QString dataDir() const;
    QString configDir() const;
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // A catalog with the given authors, one book each, titled "Book 1", "Book 2", ...
    QString makeCatalog(const QString &name, const QStringList &authors) const;
    void writeGlobalSettings(const QByteArray &ini) const;

    // Starts the main window. Unless `tips` is set, the settings say Show Tips=No,
    // so that no tip window stands between a test and the window it drives.
    TMain &start(const QStringList &arguments = {}, bool tips = false);
    TMain &main() { return *m_main; }
    void close();

    // The database at `path` opened as at start-up, without a main window; the
    // global settings are read first. Dialogs take window() as their parent.
    Catalog &openCatalog(const QString &path);
    Catalog &catalog() { return *m_catalog; }
    const WindowLook &look() const { return *m_look; }
    QWidget *window() const { return m_window.get(); }
    // The values of a book field (row 1-36) of the books in view, in cursor order.
    QStringList shown(int row) const;

    template <typename T> T *child(const QString &name) const { return m_main->findChild<T *>(name); }
    QString countText() const;
    QStringList columnLabels() const;
    QStringList authorsShown() const;

    // How many tips of the day came up (and were closed, as a user would).
    int tipsShown() const { return m_tipsShown; }

private:
    QTemporaryDir m_dir;
    QTimer m_tipCloser;
    int m_tipsShown = 0;
    std::unique_ptr<TMain> m_main;
    std::unique_ptr<Catalog> m_catalog;
    std::unique_ptr<WindowLook> m_look;
    std::unique_ptr<QWidget> m_window;
};
