#include "base/BoitesQt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

// Restores the cursor the program had, also when the box's caller throws.
class TCurseurFleche {
public:
    TCurseurFleche() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~TCurseurFleche() { QApplication::restoreOverrideCursor(); }
    TCurseurFleche(const TCurseurFleche&) = delete;
    TCurseurFleche& operator=(const TCurseurFleche&) = delete;
};

QMessageBox::Icon IconeQt(TIconeBoite icone) {
    switch (icone) {
    case TIconeBoite::Information:
        return QMessageBox::Information;
    case TIconeBoite::Avertissement:
        return QMessageBox::Warning;
    case TIconeBoite::Erreur:
        return QMessageBox::Critical;
    case TIconeBoite::Question:
        return QMessageBox::Question;
    case TIconeBoite::Aucune:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons BoutonsQt(TBoutonsBoite boutons) {
    switch (boutons) {
    case TBoutonsBoite::OkAnnuler:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case TBoutonsBoite::OuiNon:
        return QMessageBox::Yes | QMessageBox::No;
    case TBoutonsBoite::OuiNonAnnuler:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case TBoutonsBoite::Ok:
        break;
    }
    return QMessageBox::Ok;
}

TReponseBoite Reponse(int bouton) {
    switch (bouton) {
    case QMessageBox::Yes:
        return TReponseBoite::Oui;
    case QMessageBox::No:
        return TReponseBoite::Non;
    case QMessageBox::Cancel:
        return TReponseBoite::Annuler;
    default:
        return TReponseBoite::Ok;
    }
}

// A box wraps its text between words only: a long path (with backslashes, which allow no break)
// or a long macro line would run off its edge and hide its end. Breaks are allowed after path
// separators and within any run of characters too long for a line.
QString TexteRepliable(const QString& texte) {
    constexpr qsizetype kSuiteMaxi = 40;
    const QChar coupure(0x200B); // zero width space
    QString repliable;
    qsizetype suite = 0; // characters since the last place a line may break
    for (const QChar c : texte) {
        repliable += c;
        suite = c.isSpace() ? 0 : suite + 1;
        if (c == u'\\' || c == u'/' || suite >= kSuiteMaxi) {
            repliable += coupure;
            suite = 0;
        }
    }
    return repliable;
}

} // namespace

TReponseBoite TBoitesQt::Affiche(const TBoite& boite) {
    const TCurseurFleche fleche;
    QMessageBox message(IconeQt(boite.Icone), boite.Titre, TexteRepliable(boite.Texte),
                        BoutonsQt(boite.Boutons), QApplication::activeWindow());
    const std::pair<QMessageBox::StandardButton, const char16_t*> francais[] = {
        {QMessageBox::Yes, u"&Oui"}, {QMessageBox::No, u"&Non"}, {QMessageBox::Cancel, u"Annuler"}};
    for (const auto& [bouton, texte] : francais)
        if (QAbstractButton* b = message.button(bouton))
            b->setText(QString::fromUtf16(texte));
    return Reponse(message.exec());
}

std::optional<QString> TBoitesQt::NomSauvegarde(const TDialogueSauvegarde& dialogue) {
    const TCurseurFleche fleche;
    QFileDialog choix(QApplication::activeWindow(), dialogue.Titre, dialogue.Dossier);
    choix.setAcceptMode(QFileDialog::AcceptSave);
    choix.setNameFilters(dialogue.Filtres);
    if (dialogue.FiltreChoisi >= 0 && dialogue.FiltreChoisi < dialogue.Filtres.size())
        choix.selectNameFilter(dialogue.Filtres.at(dialogue.FiltreChoisi));
    const auto suffixe = [&dialogue](const QString& filtre) {
        if (!dialogue.FiltresAExtensionPropre.contains(filtre))
            return dialogue.ExtensionParDefaut;
        const QRegularExpressionMatch motif =
            QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filtre);
        return motif.hasMatch() ? motif.captured(1) : dialogue.ExtensionParDefaut;
    };
    choix.setDefaultSuffix(suffixe(choix.selectedNameFilter()));
    QObject::connect(&choix, &QFileDialog::filterSelected, &choix,
                     [&](const QString& filtre) { choix.setDefaultSuffix(suffixe(filtre)); });
    choix.selectFile(dialogue.NomFichier);
    if (choix.exec() != QDialog::Accepted || choix.selectedFiles().isEmpty())
        return std::nullopt;
    return choix.selectedFiles().constFirst();
}

std::optional<TDestinationImpression> TBoitesQt::DestinationImpression() {
    QString imprimante = QPrinterInfo::defaultPrinterName();
    if (imprimante.isEmpty() && !QPrinterInfo::availablePrinterNames().isEmpty())
        imprimante = QPrinterInfo::availablePrinterNames().constFirst();
    if (!imprimante.isEmpty())
        return TDestinationImpression{imprimante, {}};
    // No printer on this system: the page can still be kept as a PDF file.
    const TDialogueSauvegarde dialogue{
        QStringLiteral("Aucune imprimante : enregistrer la page en PDF"),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        QStringLiteral("graphe.pdf"),
        {QStringLiteral("Document PDF (*.pdf)")},
        0,
        QStringLiteral("pdf"),
        {}};
    const std::optional<QString> fichier = NomSauvegarde(dialogue);
    if (!fichier)
        return std::nullopt;
    return TDestinationImpression{{}, *fichier};
}

int TBoitesQt::ExecuteModal(QDialog& dialogue) {
    return dialogue.exec();
}
