#include "exchange/PageCourante.h"

#include "base/Encodage.h"
#include "base/Horloge.h"
#include "base/Regional.h"
#include "exchange/ConstanteDlg.h"
#include "graph/Graphe.h"
#include "graph/PageImprimee.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>

namespace {
// The dialog's edits show the Tablarix Greek letters; Tablarix reads their bytes.
QByteArray Octets(const QLineEdit* edit) {
    return EcranVersAnsi(edit->text());
}
} // namespace

TRenseignementsPage RenseignementsPage() {
    TRenseignementsPage r;
    if (ConstanteDlg == nullptr)
        return r;
    r.Symbole = Octets(ConstanteDlg->NomConstEdit);
    r.Unite = Octets(ConstanteDlg->UniteConstEdit);
    r.Signification = Octets(ConstanteDlg->SignifConstEdit);
    r.Valeur = Octets(ConstanteDlg->ValeurConstEdit);
    r.Commentaire = Octets(ConstanteDlg->EditComm);
    r.ConstanteValide = ConstanteDlg->ConstanteValide;
    return r;
}

TDonneesPage DonneesPage(const Tgraphe& graphe) {
    return {graphe.MondeX,
            graphe.MondeY,
            graphe.Courbe,
            RenseignementsPage(),
            TexteVersAnsi(QDir::toNativeSeparators(QCoreApplication::applicationFilePath())),
            TexteVersAnsi(TexteDateHeure(Horloge().DateHeure()))};
}

TEntetePage EntetePageCourante(const QString& titre) {
    TEntetePage entete{.Titre = titre, .Moment = Horloge().DateHeure()};
    if (ConstanteDlg == nullptr)
        return entete;
    if (ConstanteDlg->ConstanteValide) {
        entete.Symbole = ConstanteDlg->NomConstEdit->text();
        entete.Unite = ConstanteDlg->UniteConstEdit->text();
        entete.Valeur = ConstanteDlg->ValeurConstEdit->text();
    }
    entete.Commentaire = ConstanteDlg->EditComm->text();
    return entete;
}
