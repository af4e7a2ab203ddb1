#include "modes/cinetique/CinetiqueForm.h"

#include "base/Boites.h"
#include "base/Controles.h"
#include "base/Utilitaires.h"
#include "exchange/ConstanteDlg.h"
#include "exchange/Fichiers.h"
#include "exchange/PageCourante.h"
#include "exchange/Transfert.h"
#include "graph/PageImprimee.h"
#include "modes/journal/JournalFenetre.h"

#include <QLineEdit>

// A run kept: in a file, on the clipboard, sent to Tablarix or printed; its journal against a
// crash, and a journaled run taken back.

void TCinetiqueForm::SaveItemClick() {
    const TDialogueSauvegarde dialogue = DialogueSauvegardeDonnees(QStringLiteral("TB3"));
    const std::optional<QString> nom = Boites().NomSauvegarde(dialogue);
    if (!nom)
        return;
    // Marked as saved only once the file is written: a failed save still asks at closing.
    if (EcritFichierDonnees(*nom, TModeDonnees::Cinetique, *Graphe)) {
        Sauve = true;
        Journalise(TChangement::Fin);
    }
}

// The clipboard dies with the program: the journal stays until the run is in a file or sent.
void TCinetiqueForm::ClipSaveBtnClick() {
    TransfertDonnees(TModeDonnees::Cinetique, false, *Graphe);
    Sauve = true;
}

void TCinetiqueForm::RegSaveBtnClick() {
    if (!ConstanteDlg || Boites().ExecuteModal(*ConstanteDlg) != QDialog::Accepted)
        return;
    // The transfer leaves the destination choice on "Nouvelle page" for the next one. A send
    // that did not happen leaves the run unsaved.
    if (!TransfertDonnees(TModeDonnees::Cinetique, true, *Graphe))
        return;
    Sauve = true;
    Journalise(TChangement::Fin);
    AfficheAide(TexteDonneesEnvoyees());
}

// The page tells what was measured: the mode, when, the wavelength and the page information.
void TCinetiqueForm::PrintBtnClick() {
    const std::optional<TDestinationImpression> destination = DestinationConfirmee();
    if (!destination)
        return;
    TEntetePage entete = EntetePageCourante(QStringLiteral("Suivi de cinétique"));
    entete.Lambda = LambdaSE->Value();
    ImprimePage(*Graphe, entete, *destination, QPageLayout::Landscape);
    RedessineGraphe();
}

bool TCinetiqueForm::ProposeSauvegarde(const QString& titre) {
    if (Etat() != EtatFini || Sauve)
        return true;
    return DemandeSauvegarde(titre, Journal, [this] {
        SaveItemClick();
        return Sauve;
    });
}

bool TCinetiqueForm::FinProgramme() {
    if (Etat() == EtatAcquisition)
        StopBtnClick();
    return RegleALaFin(*this, Journal,
                       [this](const QString& titre) { return ProposeSauvegarde(titre); });
}

// The one way the journal hears of the run: it starts, takes a point, changes its settings (or
// its points were thinned), or ends (discarded, or saved elsewhere).
void TCinetiqueForm::Journalise(TChangement changement) {
    const Tcourbe& courbe = Graphe->Courbe;
    switch (changement) {
    case TChangement::Debut:
        Journal.Commence(ChampsJournal());
        break;
    case TChangement::Point:
        Journal.AjoutePoint(courbe.X[courbe.NbPoints - 1], courbe.Y[courbe.NbPoints - 1]);
        break;
    case TChangement::Reglages:
        ActualiseJournal(Journal, ChampsJournal(), courbe);
        break;
    case TChangement::Fin:
        Journal.Supprime();
        break;
    }
}

TChampsJournal TCinetiqueForm::ChampsJournal() const {
    return ChampsAcquisition("cinetique", *Graphe,
                             {{"lambda", QByteArray::number(LambdaSE->Value())},
                              {"dt", QByteArray::number(Plan.Dt)},
                              {"nbre", QByteArray::number(Plan.Nbre)},
                              {"duree", QByteArray::number(Plan.Duree)}});
}

void TCinetiqueForm::Restaure(const TJournalLu& journal) {
    if (Etat() == EtatAcquisition)
        return; // never over a run in progress
    FixeBornesLambda();
    LambdaSE->SetValue(ChampEntier(journal.Champs, "lambda", LambdaSE->Value(),
                                   LambdaSE->MinValue(), LambdaSE->MaxValue()));
    // The duration is the time axis of the points: the plan keeps it when it can.
    Plan.Fixe(ChampEntier(journal.Champs, "nbre", Plan.Nbre, TPlanCinetique::NbreMini,
                          TPlanCinetique::NbreMaxi),
              static_cast<quint16>(
                  ChampEntier(journal.Champs, "duree", Plan.Duree, 1, TPlanCinetique::DureeMaxi)));
    NbreEdit->blockSignals(true);
    NbreEdit->setText(QString::number(Plan.Nbre));
    NbreEdit->blockSignals(false);
    RestaureAcquisition(journal, *Graphe);
    AfficheDuree();
    EffacePanneaux();
    Sauve = false;
    SetEtat(EtatFini);
    Journal.Reprend(journal);
    MontreFenetreRestauree(2, *this);
}
