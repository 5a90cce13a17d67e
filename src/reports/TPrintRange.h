#pragma once

#include "PrintRange.h"

#include <QDialog>

class QLineEdit;
class WindowLook;

// "Page Printing": the first and last page to print, from 1 to the page count
// at first. Print closes it confirmed when both are pages of the report and the
// last is not before the first; otherwise it says which to correct.
class TPrintRange : public QDialog
{
    Q_OBJECT

public:
    TPrintRange(int pageCount, const WindowLook &look, QWidget *parent);

    bool confirmed() const { return m_confirmed; }
    const PrintRange &range() const { return m_range; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void PrintButtonClick();

    int m_pageCount;
    const WindowLook &m_look;
    bool m_confirmed = false;
    PrintRange m_range;
    QLineEdit *m_startPage;
    QLineEdit *m_endPage;
};
