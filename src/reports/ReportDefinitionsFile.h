#pragma once

#include "ReportDefinition.h"

#include <QString>
#include <QStringList>

// The report-definitions file SHMKLIB.URP in the program directory: every
// report layout, for every database, as fixed-size records (see
// ReportDefinition). Record n is entry n of the report list. The file is open
// only during each operation. A file whose size is not a whole number of
// records is read as its whole records; the rest is left alone until a save.
class ReportDefinitionsFile
{
public:
    static constexpr auto FileName = "SHMKLIB.URP";
    // The earlier version's file, converted and then removed.
    static constexpr auto EarlierFileName = "BOOK.URP";

    explicit ReportDefinitionsFile(const QString &programDirectory);

    const QString &path() const { return m_path; }

    // The reports' names in file order; empty when the file cannot be read.
    QStringList list() const;
    // Reads record n. False, leaving `definition` as it was, when the file
    // cannot be opened for reading and writing or has no record n.
    bool load(int n, ReportDefinition &definition) const;
    // Adds a record at the end, creating the file when it cannot be opened.
    void append(const ReportDefinition &definition) const;
    // Writes record n (n may be the record count), creating the file when it
    // cannot be opened.
    void replace(int n, const ReportDefinition &definition) const;
    // Removes record n; the records after it move up. The file is rewritten
    // through a temporary file.
    void remove(int n) const;
    // Each of these three throws FileError when the file cannot be written.

    // At start-up: the built-in reports when the file is missing, then the
    // conversion of an earlier file. Failures leave the files as they were and
    // are not reported.
    void ensureFile() const;
    // Rewrites the file with the eight built-in reports; false when it cannot.
    bool createDefaults() const;
    // Appends the reports of BOOK.URP that are not the earlier version's
    // built-in ones, then removes BOOK.URP. A damaged or cut BOOK.URP yields its
    // whole records. Answers the number of reports converted; BOOK.URP stays
    // when they cannot be written.
    int convertOld() const;

private:
    int recordCount(qint64 size) const { return int(size / ReportDefinition::RecordSize); }
    void write(int n, const ReportDefinition &definition, bool atEnd) const;
    // The file's bytes; none when it is missing. Throws FileError when it may
    // not be written or cannot be read.
    QByteArray contents() const;

    QString m_directory;
    QString m_path;
};
