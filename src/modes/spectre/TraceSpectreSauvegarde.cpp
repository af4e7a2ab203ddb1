// The spectrum kept: in a file, on the clipboard, sent to Tablarix or printed; its journal
// against a crash, and a journaled spectrum taken back.
#include "base/Boites.h"
#include "base/Controles.h"
#include "exchange/ConstanteDlg.h"
#include "exchange/Fichiers.h"
#include "exchange/PageCourante.h"
#include "exchange/TableauPoints.h"
#include "exchange/Transfert.h"
#include "graph/BoitePeinture.h"
#include "instrument/SpectroJenway.h"
#include "modes/journal/JournalFenetre.h"
#include "modes/spectre/TraceSpectre.h"

void TTraceSpectre::SauveSpectreClick() {
    const TDialogueSauvegarde dialogue = DialogueSauvegardeDonnees(QStringLiteral("tb3"));
    const std::optional<QString> nom = Boites().NomSauvegarde(dialogue);
    if (!nom)
        return;
    if (EcritFichierDonnees(*nom, TModeDonnees::Spectre, Graphe)) {
        Sauve = true;
        Journalise(TMomentJournal::Regle);
    }
}

// The clipboard dies with the program: the journal stays until the spectrum is in a file or sent.
void TTraceSpectre::ClipSaveBtnClick() {
    TransfertDonnees(TModeDonnees::Spectre, false, Graphe);
    Sauve = true;
}

void TTraceSpectre::RegSaveBtnClick() {
    if (!ConstanteDlg || Boites().ExecuteModal(*ConstanteDlg) != QDialog::Accepted)
        return;
    // A send that did not happen leaves the spectrum unsaved.
    const bool envoye = TransfertDonnees(TModeDonnees::Spectre, true, Graphe);
    ConstanteDlg->NewPageCB->SetItemIndex(1);
    if (!envoye)
        return;
    Sauve = true;
    Journalise(TMomentJournal::Regle);
    AfficheAide(TexteDonneesEnvoyees());
}

// A landscape page, the graph in the frame the screen shows, under a header that tells the
// range, the step and the page information.
void TTraceSpectre::PrintBtnClick() {
    const std::optional<TDestinationImpression> destination = Boites().DestinationImpression();
    if (!destination)
        return;
    ImprimePage(Graphe, Entete(), *destination, QPageLayout::Landscape);
    // The graph's layout is the page's now: the screen's comes back for the reticle.
    Graphe.Canvas = &PaintBox->Canevas();
    PaintBox->RepeintMaintenant();
}

TEntetePage TTraceSpectre::Entete() const {
    TEntetePage entete = EntetePageCourante(QStringLiteral("Tracé de spectre"));
    entete.Balayage = balayage_;
    return entete;
}

bool TTraceSpectre::ProposeSauvegarde(const QString& titre) {
    if (Graphe.Courbe.NbPoints == 0 || Sauve)
        return true;
    return DemandeSauvegarde(titre, Journal, [this] {
        SauveSpectreClick();
        return Sauve;
    });
}

bool TTraceSpectre::FinProgramme() {
    return RegleALaFin(*this, Journal,
                       [this](const QString& titre) { return ProposeSauvegarde(titre); });
}

void TTraceSpectre::Restaure(const TJournalLu& journal) {
    if (Recepteur.Etat() != TEtatSpectre::Repos || reglageEnCours_)
        return; // never over a scan in progress
    RestaureAcquisition(journal, Graphe);
    const qint32 pas = ChampEntier(journal.Champs, "pas.l", 1, 0, 2);
    balayage_ = {static_cast<double>(ChampEntier(journal.Champs, "debut.l", 0, 0, 9999)),
                 static_cast<double>(ChampEntier(journal.Champs, "fin.l", 0, 0, 9999)),
                 QByteArray(TableDesPas[pas]).toDouble()};
    CadreComplet();
    MontreMaxima();
    Tableau->Actualise();
    Sauve = false;
    MajBoutons();
    Journal.Reprend(journal);
    MontreFenetreRestauree(1, *this);
    PaintBox->Repeint();
}

// The one place the journal hears of the run: from the scan's first point stored until the
// spectrum is saved, sent or replaced.
void TTraceSpectre::Journalise(TMomentJournal moment) {
    const Tcourbe& courbe = Graphe.Courbe;
    switch (moment) {
    case TMomentJournal::Remplace:
    case TMomentJournal::Regle:
        Journal.Supprime();
        break;
    case TMomentJournal::Point:
        if (courbe.NbPoints == 1)
            Journal.Commence(ChampsAcquisition("spectre", Graphe,
                                               {{"debut.l", QByteArray::number(Spectro.DebutL)},
                                                {"fin.l", QByteArray::number(Spectro.FinL)},
                                                {"pas.l", QByteArray::number(Spectro.PasL)}}));
        Journal.AjoutePoint(courbe.X[courbe.NbPoints - 1], courbe.Y[courbe.NbPoints - 1]);
        break;
    case TMomentJournal::Fin:
        Journal.SynchroniseBientot();
        break;
    }
}
