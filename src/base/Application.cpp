#include "base/Application.h"

#include "base/Boites.h"

#include <QLibraryInfo>
#include <QTranslator>

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

TTraductionQt::TTraductionQt() : traducteur_(std::make_unique<QTranslator>()) {
    chargee_ = traducteur_->load(QStringLiteral("qtbase_fr"),
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
               QCoreApplication::installTranslator(traducteur_.get());
}

TTraductionQt::~TTraductionQt() {
    if (chargee_)
        QCoreApplication::removeTranslator(traducteur_.get());
}

void AfficheException(const std::exception& erreur) {
    Boites().Affiche({TApplication::Titre(), QString::fromUtf8(erreur.what()), TIconeBoite::Erreur,
                      TBoutonsBoite::Ok});
}
