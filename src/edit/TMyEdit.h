#pragma once

#include "framework/ui/WindowStyle.h"

#include <QDialog>
#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class Catalog;
class WindowLook;

// The record editor: all 36 fields of a book on five pages, the nine pick lists
// in combo boxes (the master copy of the lists), dates and amounts checked
// before a record is stored. Created once at start-up and shown modally by the
// main window's Add (mode 1), Edit (mode 2) and Copy (mode 3) commands.
class TMyEdit : public QDialog
{
    Q_OBJECT

public:
    TMyEdit(Catalog &catalog, const WindowLook &look, QWidget *parent);

    // The editor mode the main window sets before showing the window.
    void setMode(int mode) { m_mode = mode; }
    int mode() const { return m_mode; }

    // The record editor's combo box of pick list n (1-9).
    QComboBox *listCombo(int list) const { return m_listCombos[std::size_t(list - 1)]; }
    const std::array<QComboBox *, 9> &listCombos() const { return m_listCombos; }

    // Commands (buttons and menu items share them).
    bool DoUpdate();
    void UpdateButtonClick();
    void UpdateExitButtonClick();
    void CancelButtonClick();
    void DoClear();
    void DoPreviousRecord();
    void DoNextRecord();
    void MenuNewClick();
    void MenuCopyRecordClick();
    void MenuPrintRecordClick();

    bool ValuesChanged() const;

signals:
    // A record passed its checks and is about to be written: the typed values
    // join the pick lists.
    void recordStoring();
    // The window closed, however it was closed: the pick lists are saved.
    void closed();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class Kind { Edit, Combo, Date, Amount, Whole, Check };
    struct Field
    {
        int row;           // field row 1-36
        const char *name;  // control
        const char *label; // its label (none for the check box)
        Kind kind;
        int page;
        int list; // pick list 1-9, 0 none
        QWidget *control = nullptr;
        QLabel *labelWidget = nullptr;
    };

    void createControls();
    void createMenu(class QVBoxLayout *layout);
    Field &field(int row);
    const Field &field(int row) const;
    QString text(int row) const;
    void setText(int row, const QString &value);
    QCheckBox *checkOut() const;

    void LoadInData();
    QByteArray storedBytes() const; // of the record shown, as the file holds it now
    void SetCaptions();
    void takeSnapshot();
    QStringList currentValues() const;
    void amountExit(int row);
    void CheckOutClick();
    bool refuse(int row, const QString &message);
    bool moveTo(bool next);
    enum class Answer { Yes, No, Cancel };
    Answer askYesNoCancel(const QString &question);
    void setDateMasks();
    void focusNextInSequence(QWidget *from);
    bool isMenuShortcut(const QKeyEvent *key) const;
    void editAction(int action);

    Catalog &m_catalog;
    const WindowLook &m_look;
    int m_mode = 1;
    std::uint32_t m_recno = 0; // the record shown, once stored or loaded
    QByteArray m_loaded;       // its bytes as they were then
    std::vector<Field> m_fields;
    std::array<QComboBox *, 9> m_listCombos{};
    QTabWidget *m_pages = nullptr;
    std::array<QLabel *, 4> m_titleEchoes{};
    QStringList m_snapshot;
    bool m_snapshotChecked = false;
    QString m_rememberedDate;
    QString m_rememberedPerson;
    bool m_refreshGuard = false;
    WindowStyle::SavedDimensions m_dimensions;
};
