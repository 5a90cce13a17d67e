#pragma once

#include <QDialog>

// The about window: the program's name, version and purpose.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);
};
