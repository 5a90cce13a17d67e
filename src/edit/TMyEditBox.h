#pragma once

#include "framework/ui/WindowStyle.h"

#include <QDialog>

class PickLists;
class QLineEdit;
class QListWidget;
class QPushButton;

// The list editor: one pick list in a list box, to which the user adds entries,
// from which he deletes them and which he may sort once. Ok puts the list into
// both combo boxes of that list and saves all nine list files of the open
// database; Cancel, Escape or the close box change nothing.
class TMyEditBox : public QDialog
{
    Q_OBJECT

public:
    // Starts with the entries of the record editor's combo box of list
    // `listNumber` (1-9); shown with the configure colour set.
    TMyEditBox(int listNumber, PickLists &lists, const WindowStyle::Fonts &fonts, double scale,
               const WindowStyle::Colors &colors, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void SetColors();
    void AddButtonClick();
    void DeleteButtonClick();
    void SortButtonClick();
    void OkButtonClick();
    void CancelButtonClick();
    QStringList listEntries() const;
    void selectRow(int row);

    int m_listNumber;
    PickLists &m_lists;
    WindowStyle::Fonts m_fonts;
    double m_scale;
    WindowStyle::Colors m_colors;
    bool m_formShown = false;

    QLineEdit *m_addInfo;
    QListWidget *m_theList;
};
