#include "exchange/Sauvegarde.h"

#include "shell/Utilitaires.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString RaisonOuverture(const QString& nomFichier) {
    const QFileInfo fichier(nomFichier);
    const QString dossier = QDir::toNativeSeparators(fichier.absolutePath());
    if (fichier.isDir())
        return QStringLiteral("un dossier porte ce nom.");
    if (!QFileInfo(fichier.absolutePath()).isDir())
        return QStringLiteral("le dossier %1 n'existe pas.").arg(dossier);
    return QStringLiteral("le dossier %1 n'accepte pas de nouveau fichier.").arg(dossier);
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
        AfficheErreur(QStringLiteral("Impossible de créer le fichier %1 : %2")
                          .arg(nom, RaisonOuverture(nomFichier)));
        return false;
    }
    // Flushed before the commit: a write that fails in the commit's own flush goes unnoticed
    // there, and a truncated file would replace the previous one.
    if (fichier.write(contenu) != contenu.size() || !fichier.flush() || !fichier.commit()) {
        fichier.cancelWriting();
        AfficheErreur(QStringLiteral("Erreur d'écriture : le fichier %1 n'est pas enregistré.%2")
                          .arg(nom, Precedent(nomFichier)));
        return false;
    }
    return true;
}
