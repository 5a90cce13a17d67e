#pragma once

#include "Replacement.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class Catalog;
class WindowLook;

// Search and replace: one value of one field replaced by another in every book
// of the catalog, with or without a question per book. Needs the table to itself.
class TSearchAndReplace : public QDialog
{
    Q_OBJECT

public:
    TSearchAndReplace(Catalog &catalog, const WindowLook &look, QWidget *parent);

    void FieldBoxChange(int index);
    void StartButtonClick();
    void SetColors();

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool refuse(QWidget *focus, const QString &message);
    void showCounts(const Replacement::Counts &counts);

    Catalog &m_catalog;
    const WindowLook &m_look;
    int m_field = 0; // row 1-36, 0 none
    QComboBox *m_fieldBox = nullptr;
    QLineEdit *m_searchText = nullptr;
    QLineEdit *m_replaceText = nullptr;
    QCheckBox *m_confirm = nullptr;
    QLabel *m_processed = nullptr;
    QLabel *m_found = nullptr;
    QLabel *m_changed = nullptr;
};
