#pragma once

#include "MainWindowFixture.h"
#include "TestSupport.h"

#include "app/Catalog.h"
#include "framework/ui/MessageService.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QTest>
#include <memory>

// BOOKS.DBF with Austen, Mann and Musil in the temporary folder (or in the
// program directory), opened by the main window (or, with `mainWindow` false,
// by a catalog alone, which has no pick lists in memory), a folder "stick" to
// back up to, and the backup or restore window on them.
struct BackupFixture
{
    explicit BackupFixture(bool mainWindow = true, bool inProgramDirectory = false)
    {
        database = f.makeCatalog(QStringLiteral("BOOKS.DBF"),
                                 {QStringLiteral("Austen"), QStringLiteral("Mann"), QStringLiteral("Musil")});
        if (inProgramDirectory) {
            const QString moved = programFile(QStringLiteral("BOOKS.DBF"));
            QFile::rename(database, moved);
            database = moved;
        }
        stick = f.path(QStringLiteral("stick"));
        QDir().mkpath(stick);
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(database) + "\r\n");
        if (mainWindow)
            main = &f.start();
        else
            f.openCatalog(database);
        MessageService::clearShown();
    }

    Catalog &catalog() { return main ? main->catalog() : f.catalog(); }
    const WindowLook &look() { return main ? main->look() : f.look(); }
    QWidget *parent() { return main ? static_cast<QWidget *>(main) : f.window(); }
    QString inStick(const QString &name) const { return QDir(stick).filePath(name); }
    QString programFile(const QString &name) const { return QDir(f.dataDir()).filePath(name); }

    // Searching for the authors that start with M.
    void search()
    {
        catalog().setSearchTest([](const DbfRecord &r) { return r.text(1).startsWith(QLatin1Char('M')); });
        catalog().EnableEndSearch();
        catalog().table().refresh();
    }

    template <typename Window> Window &open()
    {
        auto *opened = new Window(catalog(), look(), parent());
        window.reset(opened);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("the window was not shown");
        TestSupport::activate(window.get());
        return *opened;
    }
    template <typename T = QAbstractButton> T *child(const QString &name) const { return window->findChild<T *>(name); }
    void click(const QString &name) const { QTest::mouseClick(child(name), Qt::LeftButton); }

    QString message() const
    {
        return MessageService::shown().isEmpty() ? QString() : MessageService::shown().last().text;
    }
    QString caption() const
    {
        return MessageService::shown().isEmpty() ? QString() : MessageService::shown().last().caption;
    }

    MainWindowFixture f;
    TMain *main = nullptr;
    QString database;
    QString stick;
    std::unique_ptr<QDialog> window;
};
