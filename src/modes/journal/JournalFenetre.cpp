#include "modes/journal/JournalFenetre.h"

#include "base/Aiguillage.h"
#include "base/Application.h"
#include "base/Boites.h"
#include "base/Encodage.h"
#include "base/Horloge.h"
#include "exchange/ConstanteDlg.h"
#include "exchange/PageCourante.h"
#include "graph/Graphe.h"
#include "instrument/ErreursCom.h"

#include <QLineEdit>

#include <algorithm>
#include <cmath>

namespace {

const QByteArray kDebut = "debut";

void AjouteMonde(TChampsJournal& champs, const QByteArray& axe, const Tmonde& monde) {
    champs[axe + ".nom"] = monde.Nom.Octets();
    champs[axe + ".unite"] = monde.Unite.Octets();
    champs[axe + ".signification"] = monde.Signification.Octets();
    champs[axe + ".mini"] = TexteReel(monde.Mini);
    champs[axe + ".maxi"] = TexteReel(monde.Maxi);
}

QByteArray Champ(const TChampsJournal& champs, const QByteArray& cle) {
    const auto trouve = champs.find(cle);
    return trouve == champs.end() ? QByteArray() : trouve->second;
}

void RestaureMonde(const TChampsJournal& champs, const QByteArray& axe, Tmonde& monde) {
    if (champs.count(axe + ".nom"))
        monde.Nom = Champ(champs, axe + ".nom");
    if (champs.count(axe + ".unite"))
        monde.Unite = Champ(champs, axe + ".unite");
    if (champs.count(axe + ".signification"))
        monde.Signification = Champ(champs, axe + ".signification");
    const double mini = ChampReel(champs, axe + ".mini", monde.Mini);
    const double maxi = ChampReel(champs, axe + ".maxi", monde.Maxi);
    // A damaged range would leave an axis that cannot be drawn: the window's own stays.
    if (maxi > mini) {
        monde.Mini = mini;
        monde.Maxi = maxi;
    }
}

void RestaurePage(const TChampsJournal& champs) {
    if (!ConstanteDlg || !champs.count("page.valide"))
        return;
    ConstanteDlg->NomConstEdit->setText(AnsiVersEcran(Champ(champs, "page.symbole")));
    ConstanteDlg->UniteConstEdit->setText(AnsiVersEcran(Champ(champs, "page.unite")));
    ConstanteDlg->SignifConstEdit->setText(AnsiVersEcran(Champ(champs, "page.signification")));
    ConstanteDlg->ValeurConstEdit->setText(AnsiVersEcran(Champ(champs, "page.valeur")));
    ConstanteDlg->EditComm->setText(AnsiVersEcran(Champ(champs, "page.commentaire")));
    ConstanteDlg->ConstanteValide = Champ(champs, "page.valide") == "1";
}

} // namespace

QByteArray TexteReel(double valeur) {
    return QByteArray::number(valeur, 'g', 17);
}

double ChampReel(const TChampsJournal& champs, const QByteArray& cle, double defaut) {
    bool ok = false;
    const double valeur = Champ(champs, cle).toDouble(&ok);
    return ok && std::isfinite(valeur) ? valeur : defaut;
}

qint32 ChampEntier(const TChampsJournal& champs, const QByteArray& cle, qint32 defaut, qint32 mini,
                   qint32 maxi) {
    const double valeur =
        std::clamp<double>(ChampReel(champs, cle, defaut), mini, std::max(mini, maxi));
    return static_cast<qint32>(valeur);
}

TChampsJournal ChampsAcquisition(const QByteArray& mode, const Tgraphe& graphe,
                                 const TChampsJournal& propres) {
    TChampsJournal champs = propres;
    champs["mode"] = mode;
    champs[kDebut] = Horloge().DateHeure().toString(Qt::ISODate).toLatin1();
    AjouteMonde(champs, "x", graphe.MondeX);
    AjouteMonde(champs, "y", graphe.MondeY);
    const TRenseignementsPage page = RenseignementsPage();
    champs["page.symbole"] = page.Symbole;
    champs["page.unite"] = page.Unite;
    champs["page.signification"] = page.Signification;
    champs["page.valeur"] = page.Valeur;
    champs["page.commentaire"] = page.Commentaire;
    champs["page.valide"] = page.ConstanteValide ? "1" : "0";
    return champs;
}

void ReecritJournal(TJournal& journal, TChampsJournal champs, const Tcourbe& courbe, int nombre) {
    if (journal.Champs().count(kDebut))
        champs[kDebut] = journal.Champs().at(kDebut);
    journal.Commence(champs);
    for (int i = 0; i < std::min(nombre, CapaciteCourbe); ++i)
        journal.AjoutePoint(courbe.X[i], courbe.Y[i]);
    journal.Synchronise();
}

void ActualiseJournal(TJournal& journal, const TChampsJournal& champs, const Tcourbe& courbe) {
    if (!journal.Actif())
        return;
    TChampsJournal memes = champs;
    if (journal.Champs().count(kDebut))
        memes[kDebut] = journal.Champs().at(kDebut);
    if (memes != journal.Champs())
        ReecritJournal(journal, memes, courbe, courbe.NbValides());
}

void RestaureAcquisition(const TJournalLu& journal, Tgraphe& graphe) {
    RestaureMonde(journal.Champs, "x", graphe.MondeX);
    RestaureMonde(journal.Champs, "y", graphe.MondeY);
    Tcourbe& courbe = graphe.Courbe;
    const auto nombre = std::min<qsizetype>(journal.X.size(), CapaciteCourbe);
    std::copy_n(journal.X.cbegin(), nombre, courbe.X.begin());
    std::copy_n(journal.Y.cbegin(), nombre, courbe.Y.begin());
    courbe.NbPoints = static_cast<quint16>(nombre);
    courbe.NbTraces = 0;
    RestaurePage(journal.Champs);
}

void MontreFenetreRestauree(quint8 mode, QWidget& fenetre) {
    if (TAiguillage* modes = Aiguillage()) {
        AvecBoiteErreur([modes, mode] {
            try {
                modes->ChoixMode(mode);
            } catch (const ECommNotOpen&) {
                // the main window has said the port could not be opened
            }
        });
    }
    if (!fenetre.isVisible())
        fenetre.show();
    fenetre.raise();
    fenetre.activateWindow();
}

bool DemandeSauvegarde(const QString& titre, TJournal& journal,
                       const std::function<bool()>& sauve) {
    switch (Boites().Affiche({titre, QStringLiteral("Sauvegarde"), TIconeBoite::Question,
                              TBoutonsBoite::OuiNonAnnuler})) {
    case TReponseBoite::Oui:
        return sauve();
    case TReponseBoite::Non:
        journal.Supprime();
        return true;
    default:
        return false;
    }
}

bool RegleALaFin(QWidget& fenetre, TJournal& journal,
                 const std::function<bool(const QString&)>& propose) {
    // Asked from a hidden window, the question names it.
    const QString titre =
        fenetre.isVisible() ? QStringLiteral("Confirmation") : fenetre.windowTitle();
    if ((fenetre.isVisible() || journal.Actif()) && !propose(titre))
        return false;
    journal.Supprime();
    return true;
}
