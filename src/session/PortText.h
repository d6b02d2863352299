#pragma once
// Reading the port box: the number a person typed, read leniently.

#include <QString>
#include <QtGlobal>

#include <optional>

namespace session {

// The port a text stands for. Blanks, tabs and line breaks anywhere are
// ignored; the longest leading decimal number (sign, digits, fraction,
// exponent) or a leading &H / &O number is read, nothing readable giving 0;
// a negative value gives 0 and halves round to the even neighbour.
// Empty when the value lies above 65535.
std::optional<quint16> PortFromText(const QString& text);

}  // namespace session
