#pragma once

#include <QByteArray>
#include <QList>

class Tcourbe;
class Tmonde;

enum class TModeDonnees { Cinetique, Spectre, Beer };

// What the page information dialog holds, as typed, in Windows-1252.
struct TRenseignementsPage {
    QByteArray Symbole;
    QByteArray Unite;
    QByteArray Signification;
    QByteArray Valeur;
    QByteArray Commentaire;
    bool ConstanteValide = false;
};

// Everything a file or clipboard layout reads: the mode's axes and curve, the page information,
// the full path of the executable and the date and time of the transfer (Windows-1252).
struct TDonneesPage {
    const Tmonde& MondeX;
    const Tmonde& MondeY;
    const Tcourbe& Courbe;
    TRenseignementsPage Renseignements;
    QByteArray Executable;
    QByteArray DateHeure;
};

// The writers append whole lines, each closed by CR LF, to `sortie`. A Tablarix file is the
// header then the page; an ASCII text is EcritAscii alone.
void EcritEntete(QByteArray& sortie, TModeDonnees mode, const TDonneesPage& donnees);
void EcritPage(QByteArray& sortie, TModeDonnees mode, const TDonneesPage& donnees);
void EcritAscii(QByteArray& sortie, TModeDonnees mode, const TDonneesPage& donnees);

// ".tb3" in any letter case; any other name gets the ASCII text.
bool EstFichierTablarix(const QString& nomFichier);
// The whole file for that name: Tablarix for ".tb3", the spreadsheet file for ".csv", the ASCII
// text for any other.
QByteArray ContenuFichier(const QString& nomFichier, TModeDonnees mode,
                          const TDonneesPage& donnees);

// The clipboard text as lines, then joined with CR LF after each.
QList<QByteArray> LignesTransfert(TModeDonnees mode, const TDonneesPage& donnees);
// Four lines when the symbol is filled, its value being a number or not.
void AjouteConstante(QList<QByteArray>& lignes, const TRenseignementsPage& renseignements);
QByteArray JoinsLignes(const QList<QByteArray>& lignes);
