#include "PickListCombo.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QListView>

void keepTypedText(QComboBox *combo)
{
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // Long lists (a catalog of many books has many authors) cost nothing until
    // shown: the box keeps its designed width whatever its items, and the
    // popup lays out rows of one height.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(10);
    if (auto *view = qobject_cast<QListView *>(combo->view()))
        view->setUniformItemSizes(true);
    if (QCompleter *completer = combo->completer()) {
        completer->setCompletionMode(QCompleter::PopupCompletion);
        completer->setCaseSensitivity(Qt::CaseSensitive);
    }
}
