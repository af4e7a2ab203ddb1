#include "exchange/Sauvegarde.h"

#include "base/Utilitaires.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// Why the file could not be created: a message of the file (%1) and, where it matters, of its
// folder (%2).
QString ModeleOuverture(const QString& nomFichier) {
    const QFileInfo fichier(nomFichier);
    if (fichier.isDir())
        return QStringLiteral("Impossible de créer le fichier %1 : un dossier porte ce nom.");
    if (!QFileInfo(fichier.absolutePath()).isDir())
        return QStringLiteral("Impossible de créer le fichier %1 : le dossier %2 n'existe pas.");
    return QStringLiteral(
        "Impossible de créer le fichier %1 : le dossier %2 n'accepte pas de nouveau fichier.");
}

QString Precedent(const QString& nomFichier) {
    return QFileInfo::exists(nomFichier) ? QStringLiteral(" Le fichier précédent est conservé.")
                                         : QString();
}

} // namespace

bool EnregistreFichier(const QString& nomFichier, const QByteArray& contenu) {
    const QString nom = QDir::toNativeSeparators(nomFichier);
    QSaveFile fichier(nomFichier);
    if (!fichier.open(QIODevice::WriteOnly)) {
        const QString dossier = QDir::toNativeSeparators(QFileInfo(nomFichier).absolutePath());
        AfficheErreur(MessageBorne(ModeleOuverture(nomFichier), {nom, dossier}));
        return false;
    }
    // Flushed before the commit: a write that fails in the commit's own flush goes unnoticed
    // there, and a truncated file would replace the previous one.
    if (fichier.write(contenu) != contenu.size() || !fichier.flush() || !fichier.commit()) {
        fichier.cancelWriting();
        AfficheErreur(
            MessageBorne(QStringLiteral("Erreur d'écriture : le fichier %1 n'est pas enregistré.") +
                             Precedent(nomFichier),
                         {nom}));
        return false;
    }
    return true;
}
