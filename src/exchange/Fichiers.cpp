#include "exchange/Fichiers.h"

#include "exchange/PageCourante.h"
#include "exchange/Sauvegarde.h"

#include "base/Utilitaires.h"

bool EcritFichierDonnees(const QString& nomFichier, TModeDonnees mode, const Tgraphe& graphe) {
    return EnregistreFichier(nomFichier, ContenuFichier(nomFichier, mode, DonneesPage(graphe)));
}

TDialogueSauvegarde DialogueSauvegardeDonnees(const QString& extensionParDefaut) {
    TDialogueSauvegarde dialogue;
    dialogue.Titre = QStringLiteral("Sauvegarde données");
    const QString documents = DossierSpecial(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty())
        dialogue.Dossier = documents + QStringLiteral("Tablarix");
    const QString csv = QStringLiteral("Tableur CSV (*.csv)");
    dialogue.Filtres = {QStringLiteral("Tablarix (*.tb3)"), QStringLiteral("Tableur ASCII (*.txt)"),
                        csv};
    dialogue.FiltresAExtensionPropre = {csv};
    dialogue.ExtensionParDefaut = extensionParDefaut;
    return dialogue;
}
