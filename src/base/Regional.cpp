#include "base/Regional.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

TParametresRegionaux& Parametres() {
    static TParametresRegionaux parametres;
    return parametres;
}

// Qt's long time format may carry the time zone ("t"), which a time of day has not.
QString SansFuseau(QString format) {
    static const QRegularExpression fuseau(QStringLiteral("\\s*t+\\s*"));
    return format.remove(fuseau).trimmed();
}

} // namespace

TParametresRegionaux TParametresRegionaux::DuSysteme() {
    const QLocale systeme = QLocale::system();
    TParametresRegionaux p;
    const QString separateur = systeme.decimalPoint();
    if (separateur.size() == 1)
        p.SeparateurDecimal = separateur.front();
    p.FormatDateCourt = systeme.dateFormat(QLocale::ShortFormat);
    p.FormatHeureLong = SansFuseau(systeme.timeFormat(QLocale::LongFormat));
    return p;
}

const TParametresRegionaux& Regional() {
    return Parametres();
}

void FixeRegional(const TParametresRegionaux& parametres) {
    Parametres() = parametres;
}

QString TexteDateHeure(const QDateTime& moment) {
    const QLocale c = QLocale::c();
    return c.toString(moment.date(), Regional().FormatDateCourt) + u' ' +
           c.toString(moment.time(), Regional().FormatHeureLong);
}
