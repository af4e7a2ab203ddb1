#include "exchange/Csv.h"

#include "base/Encodage.h"
#include "base/Regional.h"
#include "base/Utilitaires.h"
#include "graph/Courbe.h"
#include "graph/Monde.h"

#include <QFileInfo>

namespace {

// Without it, the usual spreadsheet on Windows reads the file in the ANSI code page and shows
// "Î»" for λ.
constexpr char kMarqueUtf8[] = "\xEF\xBB\xBF";

// A field with a separator, a quote or a line break inside goes between quotes, its own quotes
// doubled: a symbol or a unit is typed by the user.
QByteArray Champ(const QString& texte) {
    QByteArray utf8 = texte.toUtf8();
    if (!utf8.contains(';') && !utf8.contains('"') && !utf8.contains('\r') && !utf8.contains('\n'))
        return utf8;
    return '"' + utf8.replace("\"", "\"\"") + '"';
}

QByteArray Nombre(double x) {
    const QChar separateur = Regional().SeparateurDecimal == u',' ? u',' : u'.';
    return FormatGeneral(x, 7, 2, separateur).toUtf8();
}

} // namespace

QString TitreColonne(const Tmonde& monde) {
    QString titre = monde.Nom.TexteEcran();
    if (!monde.Unite.EstVide())
        titre += QStringLiteral(" (") + monde.Unite.TexteEcran() + u')';
    return titre;
}

bool EstFichierCsv(const QString& nomFichier) {
    return QFileInfo(nomFichier).suffix().compare(u"csv", Qt::CaseInsensitive) == 0;
}

QByteArray ContenuCsv(const TDonneesPage& donnees) {
    QByteArray texte(kMarqueUtf8);
    texte +=
        Champ(TitreColonne(donnees.MondeX)) + ';' + Champ(TitreColonne(donnees.MondeY)) + "\r\n";
    const Tcourbe& courbe = donnees.Courbe;
    for (int i = 0; i < courbe.NbValides(); ++i)
        texte += Nombre(courbe.X[i]) + ';' + Nombre(courbe.Y[i]) + "\r\n";
    return texte;
}
