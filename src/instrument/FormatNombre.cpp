#include "instrument/FormatNombre.h"

#include "base/Regional.h"

#include <QRegularExpression>
#include <QString>

QByteArray FormateNombre(const QByteArray& format, double x) {
    static const QRegularExpression forme(QStringLiteral(
        "^((?:[^%]|%%)*)(%[-+ 0#]*[0-9]{0,2}(?:\\.[0-9]{1,2})?[fFeEgG])((?:[^%]|%%)*)$"));
    const QRegularExpressionMatch m = forme.match(QString::fromLatin1(format));
    if (!m.hasMatch())
        return FormateNombre("%5.1f", x);
    // Qt's own printf is independent of the C locale: the number always has a point here.
    QString nombre = QString::asprintf(m.captured(2).toLatin1().constData(), x);
    nombre.replace(u'.', Regional().SeparateurDecimal);
    const auto litteral = [&m](int i) {
        return m.captured(i).replace(QStringLiteral("%%"), QStringLiteral("%")).toLatin1();
    };
    return litteral(1) + nombre.toLatin1() + litteral(3);
}
