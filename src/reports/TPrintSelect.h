#pragma once

#include "framework/ui/WindowStyle.h"

#include <QDialog>

class QComboBox;
class QRadioButton;
class Settings;
class WindowLook;

// "Printer Selection": the system's default printer or another of the
// installed printers, remembered in the settings (Default Printer, Printer
// Index). Created once and shown many times.
class TPrintSelect : public QDialog
{
    Q_OBJECT

public:
    TPrintSelect(Settings &settings, const WindowLook &look, QWidget *parent);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void OkButtonClick();

    Settings &m_settings;
    const WindowLook &m_look;
    WindowStyle::SavedDimensions m_dimensions;
    QRadioButton *m_defaultPrinter;
    QRadioButton *m_otherPrinter;
    QComboBox *m_printerList;
};
