#pragma once

#include "SearchCriteria.h"
#include "framework/ui/WindowStyle.h"

#include <QDialog>
#include <QPoint>

class QPushButton;
class QTableWidget;
class Catalog;
class WindowLook;
class CriterionDelegate;

// "Search": criteria typed into a grid of the 36 fields, a page per search level.
// Ok stores the page and narrows the main window's viewer to the matching books
// through its record filter. Created once at start-up and shown modally by the
// main window's Search command; each showing starts with empty criteria, while
// the operators chosen for numeric and date rows are kept for the whole run.
//
// The main window's filter holds its own copy of the criteria of the last
// search that ran, so leaving this window without running one (Exit, or Find
// More and then Exit) leaves the viewer as it was.
class TMySearch : public QDialog
{
    Q_OBJECT

public:
    TMySearch(Catalog &catalog, const WindowLook &look, QWidget *parent);

    const SearchCriteria &criteria() const { return m_criteria; }
    // The operator of a numeric or date row (1-36): 1 "=", 2 ">", 3 "<", 4 range.
    int rowOperator(int row) const { return m_operators[std::size_t(row - 1)]; }

    void OkButtonClick();
    void ExitButtonClick();
    void ClearButtonClick();
    void MoreButtonClick();
    void HelpButtonClick();
    // Stores the current page as a level; false (after saying why) when it
    // cannot be stored.
    bool SaveFields();
    void ClearSearch();
    void SetColors();
    // The edit mask of a row's criterion cell under the row's operator.
    QString SearchGridGetEditMask(int row) const;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void SearchGridMouseDown(const QPoint &position);
    void SearchGridMouseUp(const QPoint &position);
    void chooseOption(int row);
    void clearCriteria();
    void showLevel();
    bool runSearch();

    Catalog &m_catalog;
    const WindowLook &m_look;
    SearchCriteria m_criteria;
    SearchCriteria::Operators m_operators;
    QTableWidget *m_grid;
    CriterionDelegate *m_delegate;
    QPushButton *m_moreButton;
    WindowStyle::SavedDimensions m_dimensions;
    bool m_dimensionsRecorded = false;
    bool m_placed = false;
    static constexpr int GridDesignHeight = 400;
    int m_designRowHeight = 0;
    QPoint m_pressedCell{-1, -1}; // column, row of the last mouse press on the grid
};
