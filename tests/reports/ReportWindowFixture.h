#pragma once

#include "MainWindowFixture.h"
#include "TestSupport.h"

#include "app/MyTable.h"
#include "framework/dbase/DbfTable.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/MessageService.h"
#include "reports/ReportDefinitionsFile.h"
#include "reports/TMyReport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <functional>

// The program started on a catalog of a few books by the given authors, with
// its report window. A search for the authors that start with "M" may be in
// effect.
struct ReportSession
{
    explicit ReportSession(const QStringList &authors = {QStringLiteral("Austen"), QStringLiteral("Mann"),
                                                         QStringLiteral("Musil")},
                           bool searching = false)
    {
        const QString catalog = f.makeCatalog(QStringLiteral("BOOKS.DBF"), authors);
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(catalog) + "\r\n");
        main = &f.start(); // sorted by author
        if (searching) {
            main->catalog().setSearchTest([](const DbfRecord &r) { return r.text(1).startsWith(u'M'); });
            main->catalog().EnableEndSearch();
            main->catalog().table().refresh();
            main->DisplayCount();
        }
        report = main->reportWindow();
        MessageService::clearShown();
    }

    ~ReportSession()
    {
        if (report && report->isVisible())
            report->reject();
    }

    void show()
    {
        report->show();
        TestSupport::activate(report);
    }
    template <typename T = QAbstractButton> T *child(const QString &name) const { return report->findChild<T *>(name); }
    void click(const QString &name) const { child(name)->click(); }
    QListWidget *list() const { return child<QListWidget>(QStringLiteral("ReportBox")); }
    void select(int row) const { list()->setCurrentRow(row); }
    QString urp() const { return QDir(f.dataDir()).filePath(QString::fromLatin1(ReportDefinitionsFile::FileName)); }
    ReportDefinitionsFile file() const { return ReportDefinitionsFile(f.dataDir()); }
    QString lastMessage() const
    {
        return MessageService::shown().isEmpty() ? QString() : MessageService::shown().last().text;
    }

    // Runs `act` on the window named `name` once it is the modal window on
    // top. It is looked for from the event loop every few milliseconds and
    // never waited for, so that a window that works while it is up (the
    // status screen) is never held up. The look-out ends with the session.
    void whenUp(const QString &name, std::function<void(QWidget *)> act) const
    {
        auto *poll = new QTimer(main);
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, name, act] {
            QWidget *window = QApplication::activeModalWidget();
            if (window && window->objectName() == name && window->isVisible()) {
                poll->stop();
                poll->deleteLater();
                act(window);
            }
        });
        poll->start();
    }

    // Closes the Report Status Screen with its OK button once the run has
    // ended; with `cancel`, cancels the run at its first page. Looked for at
    // every turn of the event loop, so as to catch the run's first page.
    void closeStatusWhenDone(bool cancel = false) const
    {
        auto *watch = new QTimer(main);
        QObject::connect(watch, &QTimer::timeout, watch, [watch, cancel] {
            QWidget *form = QApplication::activeModalWidget();
            if (!form || form->objectName() != QLatin1String("ReportForm"))
                return;
            auto *button = form->findChild<QPushButton *>(QStringLiteral("BitBtn1"));
            if (button->text() == QLatin1String("OK")) {
                watch->stop();
                watch->deleteLater();
                button->click();
            } else if (cancel &&
                       form->findChild<QLabel *>(QStringLiteral("Label1"))->text().startsWith(u"Printing Page")) {
                button->click();
            }
        });
        watch->start(0);
    }

    MainWindowFixture f;
    TMain *main = nullptr;
    TMyReport *report = nullptr;
};
