#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QDialog;

enum class TIconeBoite { Aucune, Information, Avertissement, Erreur, Question };
enum class TBoutonsBoite { Ok, OkAnnuler, OuiNon, OuiNonAnnuler };
enum class TReponseBoite { Ok, Annuler, Oui, Non };

struct TBoite {
    QString Titre;
    QString Texte;
    TIconeBoite Icone = TIconeBoite::Aucune;
    TBoutonsBoite Boutons = TBoutonsBoite::Ok;
};

struct TDialogueSauvegarde {
    QString Titre;
    QString Dossier;
    QString NomFichier;
    QStringList Filtres; // "Tablarix (*.tb3)", ...
    int FiltreChoisi = 0;
    QString ExtensionParDefaut; // without the dot
    // While one of these filters is chosen, a name typed without extension takes the filter's.
    QStringList FiltresAExtensionPropre;
};

// Where a print job goes: a printer by name, or a PDF file when FichierPdf is set.
struct TDestinationImpression {
    QString Imprimante;
    QString FichierPdf;
};

// Every message box, save dialog and modal dialog of the program goes through this service:
// the real one shows Qt boxes, tests install one that records the texts and answers as told.
class TServiceBoites {
public:
    virtual ~TServiceBoites() = default;
    virtual TReponseBoite Affiche(const TBoite& boite) = 0;
    // The chosen file name, or nothing when the user cancelled.
    virtual std::optional<QString> NomSauvegarde(const TDialogueSauvegarde& dialogue) = 0;
    // The printer for a job: the system's default printer, or, where there is none, a PDF file
    // the user names. Nothing when the user declined.
    virtual std::optional<TDestinationImpression> DestinationImpression() = 0;
    // Shows a dialog modally and returns its result (QDialog::Accepted or Rejected).
    virtual int ExecuteModal(QDialog& dialogue) = 0;
};

TServiceBoites& Boites();
// nullptr puts back the fallback service, which writes to the error output and declines every
// question. The caller keeps ownership.
void InstalleBoites(TServiceBoites* service);

// "Impression ?" answered OK, then where the page goes; nothing when the user gave up either.
std::optional<TDestinationImpression> DestinationConfirmee();
