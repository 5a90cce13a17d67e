#pragma once

#include "framework/ui/WindowStyle.h"

#include <QDialog>

class QLabel;
class QListWidget;

// "Search Options": the choice under a search row's "..." cell, an operator for
// a numeric or date row, a value for a row with a value list. Created for one
// row, shown modally, then freed.
class TSearchOptions : public QDialog
{
    Q_OBJECT

public:
    TSearchOptions(const QString &fieldName, const WindowStyle::Fonts &fonts, double scale, QWidget *parent);

    // Fills the list with the choices.
    void LoadList(const QStringList &entries);
    void select(int index);

    // The entry chosen with Ok: its index (-1 none) and text.
    int selectedIndex() const;
    QString selectedText() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void OkButtonClick();
    void CancelButtonClick();

    WindowStyle::Fonts m_fonts;
    double m_scale;
    QLabel *m_fieldName;
    QListWidget *m_list;
};
