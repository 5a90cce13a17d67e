#pragma once

#include <QString>
#include <QStringList>

// Files replaced in folders that the program does not look at by itself (backup
// copies, restored files, report text files): before the temporary file beside
// such a file is made, the file's path goes into a log of this run in the
// program's data folder (".replacing-<pid>", locked while the run lives). The
// next start removes what killed runs left beside those paths, and their logs;
// a run that ends normally removes its own log.
namespace ReplacementLog {

// At start-up: clears the logs of runs that ended in `folder` and keeps this
// run's log there from now on. Answers the leftover files it removed.
QStringList start(const QString &folder);

// Notes `path` in this run's log; nothing before start(). A log that cannot be
// written does not stop the write it was for.
void note(const QString &path);

} // namespace ReplacementLog
