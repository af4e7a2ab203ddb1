#pragma once

#include "base/Boites.h"
#include "base/Regional.h"

#include <deque>
#include <functional>
#include <vector>

// Installed for its lifetime: records every box shown and answers as the test scripted. With no
// scripted answer left, a box gets its first button and a save dialog is cancelled.
class TBoitesScriptees final : public TServiceBoites {
public:
    TBoitesScriptees();
    ~TBoitesScriptees() override;
    TBoitesScriptees(const TBoitesScriptees&) = delete;
    TBoitesScriptees& operator=(const TBoitesScriptees&) = delete;

    TReponseBoite Affiche(const TBoite& boite) override;
    std::optional<QString> NomSauvegarde(const TDialogueSauvegarde& dialogue) override;
    std::optional<TDestinationImpression> DestinationImpression() override;
    int ExecuteModal(QDialog& dialogue) override;

    QStringList Textes() const;

    std::vector<TBoite> Vues;
    std::vector<TDialogueSauvegarde> SauvegardesDemandees;
    std::deque<TReponseBoite> Reponses;
    std::deque<std::optional<QString>> NomsFichiers;
    // Where each print job goes; with none left the job is declined.
    std::deque<std::optional<TDestinationImpression>> Destinations;
    int DestinationsDemandees = 0;
    std::deque<std::function<int(QDialog&)>> Dialogues;
};

// Sets the regional settings for its lifetime.
class TRegionalTemporaire {
public:
    explicit TRegionalTemporaire(QChar separateur,
                                 QString formatDate = QStringLiteral("dd/MM/yyyy"),
                                 QString formatHeure = QStringLiteral("HH:mm:ss"));
    ~TRegionalTemporaire();
    TRegionalTemporaire(const TRegionalTemporaire&) = delete;
    TRegionalTemporaire& operator=(const TRegionalTemporaire&) = delete;

private:
    TParametresRegionaux avant_;
};
