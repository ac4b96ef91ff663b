#pragma once
// Numbers as the user types them into the window's numeric boxes.

#include <QString>
#include <optional>

namespace notecast {

// The real number the text spells, read the way the user's locale writes numbers (its decimal
// separator, its signs and digits) or in the plain form with a '.' decimal point; surrounding
// blanks, a sign, a fraction and an exponent are allowed, grouping separators are not. Nothing
// when the text is no number (letters, the empty text, "inf", "nan").
std::optional<double> readTypedNumber(const QString& text);

}  // namespace notecast
