#include "BoitesScriptees.h"

#include <QDialog>

TBoitesScriptees::TBoitesScriptees() {
    InstalleBoites(this);
}

TBoitesScriptees::~TBoitesScriptees() {
    InstalleBoites(nullptr);
}

TReponseBoite TBoitesScriptees::Affiche(const TBoite& boite) {
    Vues.push_back(boite);
    if (!Reponses.empty()) {
        const TReponseBoite reponse = Reponses.front();
        Reponses.pop_front();
        return reponse;
    }
    switch (boite.Boutons) {
    case TBoutonsBoite::Ok:
    case TBoutonsBoite::OkAnnuler:
        return TReponseBoite::Ok;
    case TBoutonsBoite::OuiNon:
    case TBoutonsBoite::OuiNonAnnuler:
        break;
    }
    return TReponseBoite::Oui;
}

std::optional<QString> TBoitesScriptees::NomSauvegarde(const TDialogueSauvegarde& dialogue) {
    SauvegardesDemandees.push_back(dialogue);
    if (NomsFichiers.empty())
        return std::nullopt;
    auto nom = NomsFichiers.front();
    NomsFichiers.pop_front();
    return nom;
}

std::optional<TDestinationImpression> TBoitesScriptees::DestinationImpression() {
    ++DestinationsDemandees;
    if (Destinations.empty())
        return std::nullopt;
    auto destination = Destinations.front();
    Destinations.pop_front();
    return destination;
}

int TBoitesScriptees::ExecuteModal(QDialog& dialogue) {
    if (Dialogues.empty())
        return QDialog::Rejected;
    auto script = std::move(Dialogues.front());
    Dialogues.pop_front();
    return script(dialogue);
}

QStringList TBoitesScriptees::Textes() const {
    QStringList textes;
    for (const TBoite& b : Vues)
        textes << b.Texte;
    return textes;
}

TRegionalTemporaire::TRegionalTemporaire(QChar separateur, QString formatDate, QString formatHeure)
    : avant_(Regional()) {
    FixeRegional({separateur, std::move(formatDate), std::move(formatHeure)});
}

TRegionalTemporaire::~TRegionalTemporaire() {
    FixeRegional(avant_);
}
