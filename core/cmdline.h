#pragma once
#include <QString>
#include <QStringList>

// Takes the next token off the front of a raw command line. A token in double
// quotes may hold blanks, and a doubled quote inside them is one quote of the
// token; an opening quote without a closing one yields "?" and leaves the
// words after it to the following calls.
QString TakeToken(QString& text);

// Every token of a raw command line after the first (the program path).
QStringList CommandLineArguments(QString text);

// The raw command line a second instance hands over: program path first,
// then the arguments, each in double quotes when it holds a blank or a quote
// (whose quotes are doubled).
QString BuildCommandLine(const QString& program, const QStringList& arguments);

// Everything up to and including the last path separator; empty when none.
QString FolderPart(const QString& path);

// Trim as the program's string helpers do: every character up to the blank
// counts as white space.
QString TrimBlanks(const QString& s);
