// The Beer-Lambert window's table leaves it: saved to a file, copied, sent to Tablarix, or let
// go at the "Sauvegarde" question; meanwhile its journal follows it, and brings it back after a
// crash.
#include "base/Boites.h"
#include "base/Controles.h"
#include "base/Utilitaires.h"
#include "exchange/ConstanteDlg.h"
#include "exchange/Fichiers.h"
#include "exchange/PageCourante.h"
#include "exchange/TableauPoints.h"
#include "exchange/Transfert.h"
#include "graph/BoitePeinture.h"
#include "graph/PageImprimee.h"
#include "modes/beer/BeerForm.h"
#include "modes/journal/JournalFenetre.h"

#include <QDialog>

using TChangement = TSessionBeer::TChangement;

void TBeerForm::Journalise(TChangement changement) {
    Tableau->Actualise();
    const int n = Session.Nombre();
    switch (changement) {
    case TChangement::Aucun:
        break;
    case TChangement::Point:
        // A table that was saved and grows again is journaled again from its first point.
        if (n == 1)
            Journal.Commence(ChampsJournal());
        else if (!Journal.Actif())
            ReecritJournal(Journal, ChampsJournal(), Graphe.Courbe, n - 1);
        Journal.AjoutePoint(Graphe.Courbe.X[n - 1], Graphe.Courbe.Y[n - 1]);
        Journal.SynchroniseBientot(); // one point per action: none waits for a batch
        break;
    case TChangement::Retrait:
        if (n == 0)
            Journal.Supprime();
        else if (Journal.Actif())
            ReecritJournal(Journal, ChampsJournal(), Graphe.Courbe, n);
        break;
    case TChangement::Grandeur:
        ActualiseJournal(Journal, ChampsJournal(), Graphe.Courbe);
        break;
    case TChangement::Fin:
        Journal.Supprime();
        break;
    }
}

TEntetePage TBeerForm::Entete() const {
    TEntetePage entete = EntetePageCourante(windowTitle());
    entete.Lambda = LambdaSE->Value();
    entete.Loi = Session.LigneLoi();
    return entete;
}

// The page, with the calibration line and the unknown samples as the screen shows them.
void TBeerForm::PrintBtnClick() {
    const std::optional<TDestinationImpression> destination = DestinationConfirmee();
    if (!destination)
        return;
    ImprimePage(Graphe, Entete(), *destination, QPageLayout::Landscape, [this] {
        if (Session.Etalonne())
            TraceEtalonnage();
    });
    // The screen's layout again, for the points drawn one by one until the next painting.
    Graphe.Canvas = &Oscillo->Canevas();
    Oscillo->Repeint();
}

void TBeerForm::SaveItemClick() {
    const TDialogueSauvegarde dialogue = DialogueSauvegardeDonnees(QStringLiteral("TB3"));
    const std::optional<QString> nom = Boites().NomSauvegarde(dialogue);
    // A file that could not be written leaves the run unsaved; the error box said why.
    if (nom && EcritFichierDonnees(*nom, TModeDonnees::Beer, Graphe)) {
        Session.Sauve = true;
        Journalise(TChangement::Fin);
    }
}

// The clipboard dies with the program: the journal stays until the table is in a file or sent.
void TBeerForm::ClipSaveBtnClick() {
    TransfertDonnees(TModeDonnees::Beer, false, Graphe);
    Session.Sauve = true;
}

void TBeerForm::RegSaveBtnClick() {
    if (!ConstanteDlg || Boites().ExecuteModal(*ConstanteDlg) != QDialog::Accepted)
        return;
    // A send that did not happen leaves the table unsaved.
    if (!TransfertDonnees(TModeDonnees::Beer, true, Graphe))
        return;
    Session.Sauve = true;
    Journalise(TChangement::Fin);
    AfficheAide(TexteDonneesEnvoyees());
}

// In every mode: the standards of a calibration are measurements too, and so are the unknown
// samples taken since the last save.
bool TBeerForm::ProposeSauvegarde(const QString& titre) {
    if (Session.Nombre() <= 2 || Session.Sauve)
        return true;
    return DemandeSauvegarde(titre, Journal, [this] {
        SaveItemClick();
        return Session.Sauve;
    });
}

bool TBeerForm::FinProgramme() {
    return RegleALaFin(*this, Journal,
                       [this](const QString& titre) { return ProposeSauvegarde(titre); });
}

TChampsJournal TBeerForm::ChampsJournal() const {
    return ChampsAcquisition("beer", Graphe,
                             {{"lambda", QByteArray::number(LambdaSE->Value())},
                              {"beer.mode", QByteArray::number(Session.Mode)}});
}

void TBeerForm::Restaure(const TJournalLu& journal) {
    if (Session.Occupe())
        return; // never over a reading in progress
    const TChampsJournal& champs = journal.Champs;
    const auto mode = static_cast<quint8>(ChampEntier(champs, "beer.mode", Session.Mode, 0, 2));
    RestaureAcquisition(journal, Graphe);
    Session.Reprend(mode);
    LambdaSE->SetValue(ChampEntier(champs, "lambda", LambdaSE->Value(), LambdaSE->MinValue(),
                                   LambdaSE->MaxValue()));
    Tableau->Actualise();
    InitAttente();
    if (Session.Etalonne())
        MontreEtalonnage();
    else
        RemplitGrilleCalcul();
    Journal.Reprend(journal);
    MontreFenetreRestauree(3, *this);
}
