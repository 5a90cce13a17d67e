#include "BackupControls.h"

#include "framework/ui/WindowStyle.h"

#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace BackupControls {

QFrame *panel(const QString &objectName, QWidget *parent)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(objectName);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setAutoFillBackground(true);
    return frame;
}

QLabel *heading(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(objectName);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    WindowStyle::markHeading(label);
    return label;
}

QRadioButton *radio(const QString &objectName, const QString &caption, QButtonGroup *group, QWidget *parent)
{
    auto *radio = new QRadioButton(caption, parent);
    radio->setObjectName(objectName);
    group->addButton(radio);
    return radio;
}

QPushButton *button(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

} // namespace BackupControls
