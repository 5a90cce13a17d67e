#pragma once

#include "app/TMain.h"

#include <QTemporaryDir>
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

    TMain &start(const QStringList &arguments = {});
    TMain &main() { return *m_main; }
    void close();

    template <typename T> T *child(const QString &name) const { return m_main->findChild<T *>(name); }
    QString countText() const;
    QStringList columnLabels() const;
    QStringList authorsShown() const;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TMain> m_main;
};
