#pragma once

#include <QDialog>
#include <QObject>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class Catalog;
class WindowLook;
class TMyLocateDlg;

// The locate component of the main window: keeps the options, the field and
// the value of the last locate between uses, runs the dialog (Locate) and
// repeats the last locate from the current book (Locate Next). It searches the
// main window's table; "no active table" means that table is closed.
class TMyLocateDialog : public QObject
{
    Q_OBJECT

public:
    enum TMyLocateMatchType { mtExactMatch, mtPartialMatchStart, mtPartialMatchAny };
    Q_ENUM(TMyLocateMatchType)
    enum TMyFieldSortType { fsSortByFieldNo, fsSortByFieldName };
    enum TMyDefaultButtonType { dbFindFirst, dbFindNext };
    enum TMyFieldSelection { fsAllFields, fsVisibleFields };

    // Starts with the values the main window gives its locate component:
    // caption "Locate Field Value", partial match at beginning, not
    // case-sensitive, fields sorted by name, "&Next" default, all fields,
    // messages shown; no field and no value yet.
    TMyLocateDialog(Catalog &catalog, const WindowLook &look, QWidget *parent);

    // Runs the dialog; true when it closed on a match. However it closes, the
    // options, field and value it shows are kept.
    bool Execute();
    // Repeats the last locate from the book after the current one; before any
    // value was kept, runs the dialog instead.
    bool FindNext();

    // The locate operation: the first book from the first visible one (or from
    // the one after the current one) whose field `fieldName` (a table field
    // name) matches `value`; the main table moves there. False, with the table
    // where it was, when none matches or there is no such field.
    bool Locate(bool fromFirst, const QString &fieldName, bool caseSensitive, TMyLocateMatchType matchType,
                const QString &value);

    const QString &Caption() const { return m_caption; }
    void setCaption(const QString &caption) { m_caption = caption; }
    TMyLocateMatchType MatchType() const { return m_matchType; }
    void setMatchType(TMyLocateMatchType type) { m_matchType = type; }
    bool CaseSensitive() const { return m_caseSensitive; }
    void setCaseSensitive(bool on) { m_caseSensitive = on; }
    TMyFieldSortType SortFields() const { return m_sortFields; }
    void setSortFields(TMyFieldSortType sort) { m_sortFields = sort; }
    TMyDefaultButtonType DefaultButton() const { return m_defaultButton; }
    void setDefaultButton(TMyDefaultButtonType button) { m_defaultButton = button; }
    TMyFieldSelection FieldSelection() const { return m_fieldSelection; }
    void setFieldSelection(TMyFieldSelection selection) { m_fieldSelection = selection; }
    bool ShowMessages() const { return m_showMessages; }
    void setShowMessages(bool on) { m_showMessages = on; }
    // Upper-case table field name ("AUTHOR"); empty for none.
    const QString &SearchField() const { return m_searchField; }
    void setSearchField(const QString &name) { m_searchField = name; }
    const QString &FieldValue() const { return m_fieldValue; }
    void setFieldValue(const QString &value) { m_fieldValue = value; }

private:
    friend class TMyLocateDlg;

    struct ListedField
    {
        QString label; // display name, "~" shown as a blank
        QString name;  // upper-case table field name
    };
    // The fields the dialog offers, in the order it lists them.
    std::vector<ListedField> listedFields() const;
    // The table field name listed under `label`; empty when none is.
    QString fieldNameFor(const QString &label) const;

    Catalog &m_catalog;
    const WindowLook &m_look;
    QWidget *m_parent;
    QString m_caption;
    TMyLocateMatchType m_matchType = mtPartialMatchStart;
    bool m_caseSensitive = false;
    TMyFieldSortType m_sortFields = fsSortByFieldName;
    TMyDefaultButtonType m_defaultButton = dbFindNext;
    TMyFieldSelection m_fieldSelection = fsAllFields;
    bool m_showMessages = true;
    QString m_searchField;
    QString m_fieldValue;
};

// The locate dialog: a field, a value and how they must match; "Fi&rst" locates
// from the first book, "&Next" from the one after the current book. A match
// closes the dialog with the main table on the book found; no match says so
// and leaves the table where it was. Shown by TMyLocateDialog::Execute.
class TMyLocateDlg : public QDialog
{
    Q_OBJECT

public:
    TMyLocateDlg(TMyLocateDialog &component, QWidget *parent);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class TMyLocateDialog;

    void FormShow();
    void SetColors();
    void FindFirst();
    void FindNextBtnClick();
    void FieldNameComboBoxChange();
    void FieldNameComboBoxEnter();
    void FieldNameComboBoxExit();
    void FieldNameComboBoxKeyDown();
    // The button that Enter presses, except while the field list has the focus.
    void setDefaultButton(QPushButton *button);
    void locate(bool fromFirst);
    TMyLocateDialog::TMyLocateMatchType matchType() const;

    TMyLocateDialog &m_component;
    bool m_formShown = false;
    bool m_filling = false;
    QPushButton *m_defaultButton;

    QComboBox *m_fieldNames;
    QCheckBox *m_caseSensitive;
    QRadioButton *m_exactMatch;
    QRadioButton *m_partialStart;
    QRadioButton *m_partialAny;
    QLineEdit *m_searchValue;
    QPushButton *m_firstButton;
    QPushButton *m_nextButton;
};
