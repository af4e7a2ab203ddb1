#pragma once

#include <QChar>
#include <QDateTime>
#include <QString>

// The system's regional settings that change what the program writes and reads: decimal
// separator, short date and long time formats (Qt format strings). Read once from the system
// locale at start; tests set their own.
struct TParametresRegionaux {
    QChar SeparateurDecimal = u'.';
    QString FormatDateCourt = QStringLiteral("dd/MM/yyyy");
    QString FormatHeureLong = QStringLiteral("HH:mm:ss");

    static TParametresRegionaux DuSysteme();
};

const TParametresRegionaux& Regional();
void FixeRegional(const TParametresRegionaux& parametres);

// The date in the short format, a space, the time in the long format.
QString TexteDateHeure(const QDateTime& moment);
