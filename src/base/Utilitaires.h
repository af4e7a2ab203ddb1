#pragma once

#include <QChar>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <stdexcept>

// The missing-value marker: an instrument value that could not be read.
inline constexpr double Indefini = 1e-26;

// The general number format: rounded to `precision` significant digits, fixed notation for
// rounded magnitudes from 0.0001 up to below 10^precision, scientific otherwise with an
// exponent of at least `largeurExposant` digits; trailing zeros dropped, no thousands separator.
QString FormatGeneral(double x, int precision, int largeurExposant, QChar separateur);

// Files, clipboard and DDE: 7 significant digits, always a point.
QString FloatToStrPoint(double x);
// Screen read-outs: 3 significant digits, the system's separator.
QString FloatToStr3(double x);

// Reads a number typed with the given decimal separator: optional sign, digits, fraction and
// exponent, blanks around allowed, nothing else. False when the text is no such number.
bool LitReel(QStringView texte, QChar separateur, double& valeur);

// Time-of-day values are fractions of a day.
double SecondesEnTemps(qint32 secondes);
qint32 SecondesDepuis(double heure);

// The error box. A message is at most LongueurMessage characters: a longer one loses its middle,
// never its end, which says what went wrong.
inline constexpr qsizetype LongueurMessage = 255;
void AfficheErreur(const QString& message);
// `texte` in at most `longueur` characters: when longer, its start and its end around "…" (the
// end gets the larger share: the file name of a path, the closing of a macro).
QString AbregeMilieu(const QString& texte, qsizetype longueur);
// `modele` with %1, %2… replaced by `parties` (paths, a macro line), each shortened in its middle
// as far as needed for the whole to fit in LongueurMessage: the fixed text stays whole.
QString MessageBorne(const QString& modele, const QStringList& parties);

long double PuissanceDix(qint32 n);
long double LogDecimal(long double x);
qint32 Plancher(long double x);
qint32 Plafond(long double x);

void MinMaxTableau(const double* valeurs, quint16 nombre, double& mini, double& maxi);
void Ordonne(double& a, double& b);

QString AjouteSeparateur(const QString& chemin);
QString DossierSpecial(QStandardPaths::StandardLocation dossier);

// The folder "Tablarix" in the given documents folder (the user's at start), created when
// missing. A failure, or a file of that name, is not reported: saving says what is wrong when
// it matters.
void CreeDossierTablarix(const QString& documents);
