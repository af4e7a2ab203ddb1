#pragma once

#include <QByteArray>

// `x` through a printf format of one floating-point conversion (flags, width, precision and f,
// e or g), with literal text around it and the system's decimal separator. The program's only
// format is FormatLambda, "%5.1f" (neither the INI file nor a dialog changes it); any other text,
// which printf could not be given safely, formats as "%5.1f" too.
QByteArray FormateNombre(const QByteArray& format, double x);
