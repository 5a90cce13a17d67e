#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QVariant>
#include <optional>
#include <utility>

class QWidget;

// File, font and colour dialogs behind one seam: tests set the next result
// instead of a user choosing it.
class DialogService
{
public:
    struct FileRequest
    {
        QString caption;
        QString directory;            // where the dialog opens unless a file of its kind was chosen elsewhere before
        QString filter;               // "Database Files (*.DBF)": patterns match without regard to case
        QString defaultSuffix;        // added when the name typed has none
        bool mustExist = true;        // open dialogs
        bool confirmOverwrite = true; // save dialogs
    };

    // The chosen file, or an empty string when cancelled.
    static QString openFile(QWidget *parent, const FileRequest &request);
    static QString saveFile(QWidget *parent, const FileRequest &request);
    // The folder a file dialog opens in: that of the file last chosen in this
    // run for the same kind of file (the same filter patterns), else the
    // request's.
    static QString directoryFor(const FileRequest &request);
    static std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial);
    static std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial);
    // The font dialog with its effects: underline, strike-out and a text colour.
    // Recorded under the caption "Font"; its queued result is a
    // QVariantList{QFont, QColor}.
    static std::optional<std::pair<QFont, QColor>> chooseColoredFont(QWidget *parent, const QFont &initial,
                                                                     const QColor &initialColor);

    // Test seam. While recording, no dialog appears: each request is kept in
    // requests() and answered with the next queued result (a QString for file
    // dialogs, QFont, QColor, QVariantList{QFont, QColor}), or cancelled when none
    // is queued.
    static void startRecording();
    static void stopRecording();
    static void queueResult(const QVariant &result);
    static const QList<QString> &requests(); // the captions, in order

    // "*.DBF" becomes "*.[dD][bB][fF]", so that books.dbf and BOOKS.DBF both show.
    static QString caseInsensitiveFilter(const QString &filter);
};
