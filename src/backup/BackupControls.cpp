#include "BackupControls.h"

#include "framework/ui/WindowStyle.h"

#include <QButtonGroup>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QPushButton *button(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

} // namespace

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

QFrame *choices(const QString &caption, const std::array<Choice, 4> &choices, std::array<QRadioButton *, 4> &radios,
                QWidget *parent)
{
    QFrame *frame = panel(QStringLiteral("Panel1"), parent);
    auto *group = new QButtonGroup(frame);
    auto *layout = new QVBoxLayout(frame);
    layout->addWidget(heading(QStringLiteral("Label1"), caption, frame));
    for (std::size_t i = 0; i < choices.size(); ++i) {
        radios[i] = new QRadioButton(choices[i].second, frame);
        radios[i]->setObjectName(choices[i].first);
        group->addButton(radios[i]);
        layout->addWidget(radios[i]);
    }
    return frame;
}

Commands commands(const QString &startCaption, QWidget *parent)
{
    Commands made{new QHBoxLayout, button(QStringLiteral("StartButton"), startCaption, parent),
                  button(QStringLiteral("CancelButton"), QStringLiteral("&Cancel"), parent),
                  button(QStringLiteral("HelpButton"), QStringLiteral("&Help"), parent)};
    made.start->setDefault(true);
    made.row->addStretch();
    made.row->addWidget(made.start);
    made.row->addWidget(made.cancel);
    made.row->addWidget(made.help);
    return made;
}

} // namespace BackupControls
