#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <memory>

class QAbstractItemModel;
class QComboBox;
class QStringListModel;
class QWidget;

// One of the nine per-field value lists, as the main window, the record editor
// and the list editor name it.
struct PickListInfo
{
    int number;              // 1-9; also the list file's extension
    const char *extension;   // "001" ... "009"
    const char *defaultFile; // default list file in the program directory
    int fieldRow;            // row of the record field in the field definition table
    const char *editorCombo; // objectName of the record editor's combo box
    const char *mainCombo;   // objectName of the main window's in-grid combo box
    const char *menuItem;    // objectName of the List Maintenance menu item
    const char *menuCaption;
    const char *captionName; // shown in the list editor's caption
    int entryLimit;          // longest value the list editor accepts
    int fieldWidth;          // width of the record field
};

// The nine pick lists of the open database. They live in the items of two sets
// of combo boxes: the record editor's (the master copy, which every save writes
// from) and the main window's in-grid ones (a mirror). Each list has a file
// beside the catalog table (base + ".001" ... ".009") and a default list file
// in the program directory that seeds new databases.
//
// List file format: one entry per line, in list order, each line ended by CR LF,
// written as UTF-8; an empty list is a zero-byte file. Reading takes UTF-8 when
// the file is valid UTF-8 and Windows-1252 otherwise, accepts CR LF, LF and CR
// line ends, drops byte-order marks at the start of a line, keeps the first
// 255 characters of a longer line, skips lines that are empty or hold only
// blanks (tabs are content) and keeps every other line as it stands,
// surrounding blanks included.
//
// A file that is missing or cannot be opened reads as an empty list, silently;
// an error inside a file that was opened, and any failure to write a file (it
// is replaced as a whole, see WholeFile), throws FileError and ends the
// operation.
class PickLists
{
public:
    static constexpr int Count = 9;
    static constexpr int MaxLineLength = 255;
    using Combos = std::array<QComboBox *, Count>; // index = list number - 1

    // The nine lists by number, at index number - 1.
    static const std::array<PickListInfo, Count> &table();
    static const PickListInfo &info(int number);

    // The reading and writing rules of list files.
    static QStringList parse(const QByteArray &bytes);
    static QByteArray format(const QStringList &entries);
    static QStringList readFile(const QString &path);
    static void writeFile(const QString &path, const QStringList &entries);

    // Removes leading and trailing blanks (character 32) only.
    static QString trimBlanks(const QString &text);
    // Ascending, ignoring case, in the user's locale's collation; entries that
    // compare equal keep their order.
    static QStringList sorted(QStringList entries);

    // Copies each default list file shipped with the program into the program
    // directory where that file is missing; existing files are left alone.
    static void installDefaults(const QString &programDirectory);

    // The two default-list commands' questions (caption "Warning", question
    // icon, Yes and No with No the default, after the question beep); true for Yes.
    static const QString SaveDefaultsQuestion;
    static const QString LoadDefaultsQuestion;
    static bool confirmSaveDefaults(QWidget *parent);
    static bool confirmLoadDefaults(QWidget *parent);

    PickLists(const Combos &editor, const Combos &main, const QString &programDirectory);
    ~PickLists();
    PickLists(const PickLists &) = delete;
    PickLists &operator=(const PickLists &) = delete;

    // The items of list `number`, which its combo boxes (and the grid's cell
    // editors) show.
    QAbstractItemModel *model(int number) const;

    // The open database's base: its directory and table name without extension.
    void setBase(const QString &base);
    const QString &base() const { return m_base; }

    // The list file of list `number`: an existing file of that name whatever the
    // case of its extension, else the upper-case name to create.
    QString listFile(int number) const;
    QString defaultListFile(int number) const;

    QComboBox *editorCombo(int number) const { return m_editor[number - 1]; }
    QComboBox *mainCombo(int number) const { return m_main[number - 1]; }
    // The current entries of a list, from the record editor's combo box.
    QStringList entries(int number) const;
    // Replaces the items of both combo boxes of a list.
    void setEntries(int number, const QStringList &entries);

    static void LoadList(const QString &file, QComboBox *editor, QComboBox *main);
    static void SaveList(const QString &file, const QComboBox *editor);
    // Loads the open database's lists. A database that has none of the Category,
    // Rating and Book Type files has no lists of its own: it takes the default
    // list for every list whose own file is missing.
    void LoadAllList();
    void SaveAllLists() const;
    void LoadDefaultList();
    void SaveDefaultLists() const;

    // Appends the combo box's text, trimmed of blanks, to its items unless it is
    // empty or already an entry (compared exactly); answers the trimmed text.
    static QString AddToList(QComboBox *editor);
    // The same for a main window combo box and an already trimmed value.
    static void AddToListTwwDB(QComboBox *main, const QString &value);
    // What the record editor does when it stores a record: AddToList for the nine
    // editor combo boxes, then AddToListTwwDB for the nine main window combo
    // boxes, both in list-number order.
    void addTypedValues();

private:
    Combos m_editor;
    Combos m_main;
    std::array<std::unique_ptr<QStringListModel>, Count> m_models;
    QString m_programDirectory;
    QString m_base;
};
