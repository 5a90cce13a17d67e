#pragma once

#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class Catalog;
class WindowLook;

// The sort order window: up to four fields by which the viewer grid is
// ordered. Ok builds the index tag "NewIndex" from the choice (with the table
// opened exclusively), makes it the table's order, saves the choice in the
// database's settings and reopens the table shared; with no field chosen the
// books show in record order. Created for one showing.
class TMySortOrder : public QDialog
{
    Q_OBJECT

public:
    TMySortOrder(Catalog &catalog, const WindowLook &look, QWidget *parent);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void SetColors();
    void OkButtonClick();
    void CancelButtonClick();

    Catalog &m_catalog;
    const WindowLook &m_look;
    bool m_formShown = false;
    std::array<QLabel *, 4> m_headings{};
    std::array<QComboBox *, 4> m_levels{};
};
