#include "exchange/Fichiers.h"

#include "exchange/PageCourante.h"
#include "exchange/Sauvegarde.h"

bool EcritFichierDonnees(const QString& nomFichier, TModeDonnees mode, const Tgraphe& graphe) {
    return EnregistreFichier(nomFichier, ContenuFichier(nomFichier, mode, DonneesPage(graphe)));
}
