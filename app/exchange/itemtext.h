#pragma once

#include <QString>
#include <QStringView>

#include "model/result.h"

// Texts that travel as link items: rows of fields, each row ended by CR LF, the way a
// spreadsheet offers a block of cells.

// A text file's contents as a link item: every line end made CR LF, the last row ended by one
// and blank rows left out; with csv, the fields of each row separated by tabs instead of commas (a field in double
// quotes may hold commas, and "" stands for one quote). Refused when the text holds a NUL
// character (not a text file) or comes out longer than a link item holds.
Result<QString> linkItemText(QStringView fileText, bool csv);
