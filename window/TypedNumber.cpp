#include "window/TypedNumber.h"

#include <QLocale>
#include <cmath>

#include "os/NumberText.h"

namespace notecast {

// The locale's form comes first, so "12,5" is twelve and a half where the comma is the decimal
// separator. The plain form follows because the boxes are also filled by the program and pasted
// from elsewhere with '.' decimals. Grouping is refused: in a comma locale "1.500" would
// otherwise read as 1500 while the plain form reads 1.5, and no field needs more than 4 digits.
std::optional<double> readTypedNumber(const QString& text) {
  const QString body = text.trimmed();
  QLocale locale;  // the user's locale, unless the program chose another default
  locale.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
  bool ok = false;
  const double value = locale.toDouble(body, &ok);
  if (ok && std::isfinite(value)) return value;
  // Also the overflowing "1e999": a number (infinite), so a range test refuses it.
  return parseDecimal(body.toStdString());
}

}  // namespace notecast
