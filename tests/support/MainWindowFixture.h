#pragma once

#include "app/TMain.h"

#include <QTemporaryDir>
#include <QTimer>
#include <memory>

// A main window started on files in a temporary directory: settings in
// <dir>/config/Shelfmark, the program's files in <dir>/data/Shelfmark. Message
// boxes and file dialogs are recorded instead of shown.
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
};
