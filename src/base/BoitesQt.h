#pragma once

#include "base/Boites.h"

// The boxes as the user sees them: Qt message boxes and the system's save dialog. The mouse
// cursor is the arrow while a box shows, whatever the program was doing.
class TBoitesQt final : public TServiceBoites {
public:
    TReponseBoite Affiche(const TBoite& boite) override;
    std::optional<QString> NomSauvegarde(const TDialogueSauvegarde& dialogue) override;
    std::optional<TDestinationImpression> DestinationImpression() override;
    int ExecuteModal(QDialog& dialogue) override;
};
