#pragma once
// Locating the system-information tool through the key/value store.

#include <QString>
#include <QtGlobal>

namespace help {

// Reads one value of the machine's store as text into KeyVal. False, with
// KeyVal empty, when the key or value is missing or longer than 1024
// characters. Text is cut at its first NUL; a number reads as "&h" and its
// hexadecimal digits; a value of any other kind leaves KeyVal as it was.
bool GetKeyValue(quint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal);

// The tool's program: the path the store names, taken as it is, or else
// the program in the folder the store names when it exists there; empty
// when neither gives one.
QString SystemInfoProgram();

}  // namespace help
