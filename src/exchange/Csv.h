#pragma once

#include "exchange/Formats.h"

#include <QByteArray>
#include <QString>

// The spreadsheet file: the run as a table that a spreadsheet opens as it is.
inline constexpr char FiltreCsv[] = "Tableur CSV (*.csv)";

class Tmonde;

// A column's title: "λ (nm)", or the symbol alone without a unit.
QString TitreColonne(const Tmonde& monde);

// ".csv" in any letter case.
bool EstFichierCsv(const QString& nomFichier);

// UTF-8 with its byte order mark, one line per point after a line naming each column with its
// unit, ";" between columns, the system's decimal separator when it is a comma and a point
// otherwise, CR LF after every line.
QByteArray ContenuCsv(const TDonneesPage& donnees);
