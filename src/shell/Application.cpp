#include "shell/Application.h"

#include "shell/Boites.h"

#include <exception>

namespace {
QString& TitreApplication() {
    static QString titre;
    return titre;
}
} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* destinataire, QEvent* evenement) {
    try {
        return QApplication::notify(destinataire, evenement);
    } catch (const std::exception& erreur) {
        AfficheException(erreur);
    }
    return false;
}

QString TApplication::Titre() {
    return TitreApplication();
}

void TApplication::FixeTitre(const QString& titre) {
    TitreApplication() = titre;
}

void AfficheException(const std::exception& erreur) {
    Boites().Affiche({TApplication::Titre(), QString::fromUtf8(erreur.what()), TIconeBoite::Erreur,
                      TBoutonsBoite::Ok});
}
