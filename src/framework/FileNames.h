#pragma once

#include <QString>

// File-name rules shared by every part of the program.
namespace FileNames {

// The companion of a table (its index, settings or list file): the file beside
// `path` with the same base name and the extension `extension`, found without
// regard to the case of either (books.dbf with books.mdx or BOOKS.MDX). When no
// such file exists, the name to create: base + "." + extension as given.
QString companion(const QString &path, const QString &extension);

// Directory + file name without the part from the first "." on, the way a
// table's base name is formed ("/data/BOOKS.OLD.DBF" -> "/data/BOOKS").
QString base(const QString &path);

} // namespace FileNames
