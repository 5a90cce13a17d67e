#pragma once

#include "ReportDefinition.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class Settings;
class WindowLook;

// "Select Report Part": what one cell of a line holds (empty space, a label or
// a field; in the totals line a total) and how many characters wide it is. Ok
// sets the cell in a copy of the line and makes the line the report's width
// again.
class TReportPart : public QDialog
{
    Q_OBJECT

public:
    // `lineNumber` is 1-12, or ReportLayout::TotalsLine; `item` is 1-based.
    TReportPart(const ReportLine &line, int lineNumber, int item, int designerWidth, const Settings &settings,
                const WindowLook &look, QWidget *parent);

    const ReportLine &line() const { return m_line; }

    void OkButtonClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void SetColors();
    void radioClick();

    ReportLine m_line;
    int m_item;
    int m_designerWidth;
    bool m_totals;
    const WindowLook &m_look;
    QRadioButton *m_radioFiller;
    QRadioButton *m_radioLabel;
    QRadioButton *m_radioField;
    QListWidget *m_fieldList;
    QLineEdit *m_fieldWidth;
    QLineEdit *m_labelName;
    QLabel *m_selPartLabel;
};
