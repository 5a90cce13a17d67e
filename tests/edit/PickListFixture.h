#pragma once

#include "TestSupport.h"

#include "edit/PickLists.h"

#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

// The two sets of nine combo boxes that hold the lists (editable, as in the
// record editor and the main window), a database base BOOKS and a program
// directory, all in a temporary directory.
struct PickListFixture
{
    QTemporaryDir dir;
    QWidget owner;
    PickLists::Combos editor{};
    PickLists::Combos main{};
    std::unique_ptr<PickLists> lists;

    PickListFixture()
    {
        for (int i = 0; i < PickLists::Count; ++i) {
            editor[i] = new QComboBox(&owner);
            editor[i]->setEditable(true);
            main[i] = new QComboBox(&owner);
            main[i]->setEditable(true);
        }
        QDir(dir.path()).mkdir(QStringLiteral("program"));
        lists = std::make_unique<PickLists>(editor, main, programDirectory());
        lists->setBase(dir.filePath(QStringLiteral("BOOKS")));
    }

    QString programDirectory() const { return dir.filePath(QStringLiteral("program")); }
    QString path(const QString &name) const { return dir.filePath(name); }

    static QStringList items(const QComboBox *combo)
    {
        QStringList result;
        for (int i = 0; i < combo->count(); ++i)
            result.append(combo->itemText(i));
        return result;
    }

    // Puts the same entries into both combo boxes of a list.
    void setBoth(int number, const QStringList &entries)
    {
        for (QComboBox *combo : {editor[number - 1], main[number - 1]}) {
            combo->clear();
            combo->addItems(entries);
        }
    }
};
