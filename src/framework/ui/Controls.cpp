#include "Controls.h"

#include "WindowStyle.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

namespace Controls {

QLabel *label(QWidget *parent, const QString &name, const QString &caption, bool heading)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    if (heading)
        WindowStyle::markHeading(label);
    return label;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QRadioButton *radio(QWidget *parent, const QString &name, const QString &caption)
{
    auto *radio = new QRadioButton(caption, parent);
    radio->setObjectName(name);
    return radio;
}

QCheckBox *check(QWidget *parent, const QString &name, const QString &caption)
{
    auto *check = new QCheckBox(caption, parent);
    check->setObjectName(name);
    return check;
}

QLineEdit *edit(QWidget *parent, const QString &name, int maxLength)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    return edit;
}

QAction *menuItem(QMenu *menu, const QString &name, const QString &caption, const QString &keys)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    if (!keys.isEmpty())
        action->setShortcut(QKeySequence(keys));
    return action;
}

} // namespace Controls
