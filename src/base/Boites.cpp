#include "base/Boites.h"

#include <cstdio>

namespace {

// Used before the windows exist and by programs without windows: nothing to show a box on.
class TBoitesConsole final : public TServiceBoites {
public:
    TReponseBoite Affiche(const TBoite& boite) override {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(boite.Titre), qUtf8Printable(boite.Texte));
        switch (boite.Boutons) {
        case TBoutonsBoite::Ok:
            return TReponseBoite::Ok;
        case TBoutonsBoite::OkAnnuler:
            return TReponseBoite::Annuler;
        case TBoutonsBoite::OuiNon:
        case TBoutonsBoite::OuiNonAnnuler:
            break;
        }
        return TReponseBoite::Non;
    }
    std::optional<QString> NomSauvegarde(const TDialogueSauvegarde&) override {
        return std::nullopt;
    }
    std::optional<TDestinationImpression> DestinationImpression() override { return std::nullopt; }
    int ExecuteModal(QDialog&) override { return 0; }
};

TServiceBoites* serviceInstalle = nullptr;

} // namespace

TServiceBoites& Boites() {
    static TBoitesConsole console;
    return serviceInstalle ? *serviceInstalle : console;
}

void InstalleBoites(TServiceBoites* service) {
    serviceInstalle = service;
}

std::optional<TDestinationImpression> DestinationConfirmee() {
    const TBoite question{QStringLiteral("Confirmation"), QStringLiteral("Impression ?"),
                          TIconeBoite::Question, TBoutonsBoite::OkAnnuler};
    if (Boites().Affiche(question) != TReponseBoite::Ok)
        return std::nullopt;
    return Boites().DestinationImpression();
}
