#include "exchange/Formats.h"

#include "base/Encodage.h"
#include "base/Regional.h"
#include "base/Utilitaires.h"
#include "exchange/Csv.h"
#include "graph/Courbe.h"
#include "graph/Monde.h"

#include <QFileInfo>

namespace {

const QByteArray kSignature = "CORVANDE TABLARIX WINDOWS 1.0";
constexpr char kSymboleSection = '\xA3'; // "£" in Windows-1252
constexpr char kSymboleValeur = '&';
constexpr char kLambda = '\x88'; // lambda in the Tablarix fonts
constexpr qsizetype kPremierePartie = 21;
constexpr qsizetype kLigneCourte = 41;
constexpr qsizetype kLigneLongue = 255;

QByteArray Ansi(QStringView texte) {
    return TexteVersAnsi(texte);
}

// The general format with the system's separator and exponent width `largeurExposant`.
QByteArray General(double x, int largeurExposant) {
    return Ansi(FormatGeneral(x, 7, largeurExposant, Regional().SeparateurDecimal));
}

QByteArray Point(double x) {
    return Ansi(FloatToStrPoint(x));
}

class TLignes {
public:
    explicit TLignes(QByteArray& sortie) : sortie_(sortie) {}
    TLignes& operator<<(QByteArrayView ligne) {
        sortie_.append(ligne).append("\r\n");
        return *this;
    }

private:
    QByteArray& sortie_;
};

QByteArray Section(char marque, int nombre, const char* motCle) {
    return marque + QByteArray::number(nombre) + ' ' + motCle;
}

int NombrePoints(const TDonneesPage& d) {
    return d.Courbe.NbValides();
}

void EcritPoints(TLignes& lignes, const TDonneesPage& d, QByteArray (*x)(double),
                 QByteArray (*y)(double), char separateur) {
    for (int i = 0; i < NombrePoints(d); ++i)
        lignes << x(d.Courbe.X[i]) + separateur + y(d.Courbe.Y[i]);
}

void EcritAcquisition(TLignes& lignes, const TDonneesPage& d) {
    lignes << Section(kSymboleSection, 1, "ACQUISITION") << d.Executable;
}

void EnteteCinetique(TLignes& lignes, const TDonneesPage& d) {
    const TRenseignementsPage& r = d.Renseignements;
    lignes << kSignature << Section(kSymboleSection, 2, "NOM VAR") << "t"
           << "A" << Section(kSymboleSection, 2, "UNITE VAR") << "s"
           << "" << Section(kSymboleSection, 2, "SIGNIF VAR") << "temps"
           << "Absorbance";
    if (r.ConstanteValide)
        lignes << Section(kSymboleSection, 1, "NOM CONST") << r.Symbole
               << Section(kSymboleSection, 1, "UNITE CONST") << r.Unite
               << Section(kSymboleSection, 1, "SIGNIF CONST") << r.Signification;
    if (!r.Commentaire.isEmpty())
        lignes << Section(kSymboleSection, 1, "GRANDEURS") << '\'' + r.Commentaire;
    EcritAcquisition(lignes, d);
}

void EnteteSpectre(TLignes& lignes, const TDonneesPage& d) {
    lignes << kSignature << Section(kSymboleSection, 2, "NOM VAR") << QByteArray(1, kLambda) << "A"
           << Section(kSymboleSection, 2, "UNITE VAR") << "nm"
           << "";
    EcritAcquisition(lignes, d);
}

void EnteteBeer(TLignes& lignes, const TDonneesPage& d) {
    lignes << kSignature << Section(kSymboleSection, 2, "NOM VAR") << d.MondeX.Nom.Octets()
           << d.MondeY.Nom.Octets() << Section(kSymboleSection, 2, "UNITE VAR")
           << d.MondeX.Unite.Octets() << d.MondeY.Unite.Octets()
           << Section(kSymboleSection, 2, "SIGNIF VAR") << d.MondeX.Signification.Octets()
           << d.MondeY.Signification.Octets();
    EcritAcquisition(lignes, d);
}

QByteArray ValeurVar(const TDonneesPage& d) {
    return Section(kSymboleValeur, NombrePoints(d), "VALEUR VAR");
}

QByteArray GeneralD1(double x) {
    return General(x, 1);
}
QByteArray GeneralD2(double x) {
    return General(x, 2);
}
QByteArray GeneralD3(double x) {
    return General(x, 3);
}

void PageCinetique(TLignes& lignes, const TDonneesPage& d) {
    lignes << Section(kSymboleSection, 1, "PAGE COMMENT") << Ansi(u"Cinétique") + d.DateHeure
           << ValeurVar(d);
    EcritPoints(lignes, d, GeneralD2, GeneralD2, ' ');
    if (d.Renseignements.ConstanteValide)
        lignes << Section(kSymboleValeur, 1, "VALEUR CONST") << d.Renseignements.Valeur;
}

void PageSpectre(TLignes& lignes, const TDonneesPage& d) {
    if (NombrePoints(d) == 0)
        return;
    const QByteArray& commentaire = d.Courbe.Commentaire.Octets();
    lignes << Section(kSymboleSection, 1, "PAGE COMMENT")
           << (commentaire.isEmpty() ? d.DateHeure : commentaire) << ValeurVar(d);
    EcritPoints(lignes, d, GeneralD1, GeneralD3, ' ');
}

void PageBeer(TLignes& lignes, const TDonneesPage& d) {
    lignes << Section(kSymboleSection, 1, "PAGE COMMENT") << "Loi de Beer-Lambert " + d.DateHeure
           << ValeurVar(d);
    EcritPoints(lignes, d, Point, Point, ' ');
}

QByteArray DeuxColonnes(const QByteArray& a, const QByteArray& b) {
    return a + '\t' + b;
}

void AsciiCinetique(TLignes& lignes, const TDonneesPage& d) {
    lignes << Ansi(u"Cinétique avec S.250PC") << "t\tA"
           << "s\t";
    EcritPoints(lignes, d, Point, Point, '\t');
    if (d.Renseignements.ConstanteValide)
        lignes << Section(kSymboleValeur, 1, "VALEUR CONST") << d.Renseignements.Valeur;
}

void AsciiSpectre(TLignes& lignes, const TDonneesPage& d) {
    lignes << "Spectre  " + d.DateHeure << "lambda\tnm"
           << "A\t";
    if (NombrePoints(d) > 0)
        lignes << d.Courbe.Commentaire.Octets();
    EcritPoints(lignes, d, Point, Point, '\t');
}

void AsciiBeer(TLignes& lignes, const TDonneesPage& d) {
    lignes << "Loi de Beer-Lambert " + d.DateHeure
           << DeuxColonnes(d.MondeX.Nom.Octets(), d.MondeY.Nom.Octets())
           << DeuxColonnes(d.MondeX.Unite.Octets(), d.MondeY.Unite.Octets())
           << DeuxColonnes(d.MondeX.Signification.Octets(), d.MondeY.Signification.Octets());
    EcritPoints(lignes, d, Point, Point, '\t');
}

// Kinetics and Beer-Lambert lines: the first part and its TAB cut to 21 characters, the whole
// line to 41.
QByteArray LigneCourte(const QByteArray& a, const QByteArray& b) {
    return (DeuxColonnes(a, QByteArray()).left(kPremierePartie) + b).left(kLigneCourte);
}

void LignesAxes(QList<QByteArray>& lignes, const TDonneesPage& d) {
    lignes << LigneCourte(d.MondeX.Nom.Octets(), d.MondeY.Nom.Octets())
           << LigneCourte(d.MondeX.Unite.Octets(), d.MondeY.Unite.Octets());
    for (int i = 0; i < NombrePoints(d); ++i)
        lignes << LigneCourte(Point(d.Courbe.X[i]), Point(d.Courbe.Y[i]));
}

void LignesSpectre(QList<QByteArray>& lignes, const TDonneesPage& d) {
    lignes << QByteArray(1, kLambda) + "\tA"
           << "nm\t" << ("Longueur d'onde\t" + d.Courbe.Commentaire.Octets()).left(kLigneLongue);
    for (int i = 0; i < NombrePoints(d); ++i)
        lignes << DeuxColonnes(Point(d.Courbe.X[i]), Point(d.Courbe.Y[i])).left(kLigneLongue);
}

} // namespace

void EcritEntete(QByteArray& sortie, TModeDonnees mode, const TDonneesPage& donnees) {
    TLignes lignes(sortie);
    switch (mode) {
    case TModeDonnees::Cinetique:
        return EnteteCinetique(lignes, donnees);
    case TModeDonnees::Spectre:
        return EnteteSpectre(lignes, donnees);
    case TModeDonnees::Beer:
        return EnteteBeer(lignes, donnees);
    }
}

void EcritPage(QByteArray& sortie, TModeDonnees mode, const TDonneesPage& donnees) {
    TLignes lignes(sortie);
    switch (mode) {
    case TModeDonnees::Cinetique:
        return PageCinetique(lignes, donnees);
    case TModeDonnees::Spectre:
        return PageSpectre(lignes, donnees);
    case TModeDonnees::Beer:
        return PageBeer(lignes, donnees);
    }
}

void EcritAscii(QByteArray& sortie, TModeDonnees mode, const TDonneesPage& donnees) {
    TLignes lignes(sortie);
    switch (mode) {
    case TModeDonnees::Cinetique:
        return AsciiCinetique(lignes, donnees);
    case TModeDonnees::Spectre:
        return AsciiSpectre(lignes, donnees);
    case TModeDonnees::Beer:
        return AsciiBeer(lignes, donnees);
    }
}

bool EstFichierTablarix(const QString& nomFichier) {
    return QFileInfo(nomFichier).suffix().compare(u"tb3", Qt::CaseInsensitive) == 0;
}

QByteArray ContenuFichier(const QString& nomFichier, TModeDonnees mode,
                          const TDonneesPage& donnees) {
    if (EstFichierCsv(nomFichier))
        return ContenuCsv(donnees);
    QByteArray contenu;
    contenu.reserve(64 + 48 * NombrePoints(donnees));
    if (EstFichierTablarix(nomFichier)) {
        EcritEntete(contenu, mode, donnees);
        EcritPage(contenu, mode, donnees);
    } else {
        EcritAscii(contenu, mode, donnees);
    }
    return contenu;
}

QList<QByteArray> LignesTransfert(TModeDonnees mode, const TDonneesPage& donnees) {
    static const char* const titres[] = {"Cin\xE9tique  ", "Spectre  ", "Loi de Beer-Lambert "};
    QList<QByteArray> lignes;
    lignes.reserve(10 + NombrePoints(donnees));
    lignes << donnees.Executable << titres[static_cast<int>(mode)] + donnees.DateHeure
           << donnees.Renseignements.Commentaire;
    if (mode == TModeDonnees::Spectre)
        LignesSpectre(lignes, donnees);
    else
        LignesAxes(lignes, donnees);
    AjouteConstante(lignes, donnees.Renseignements);
    return lignes;
}

void AjouteConstante(QList<QByteArray>& lignes, const TRenseignementsPage& renseignements) {
    if (renseignements.Symbole.isEmpty())
        return;
    lignes << QByteArray() << renseignements.Symbole << renseignements.Unite
           << renseignements.Valeur;
}

QByteArray JoinsLignes(const QList<QByteArray>& lignes) {
    QByteArray texte;
    for (const QByteArray& ligne : lignes)
        texte.append(ligne).append("\r\n");
    return texte;
}
