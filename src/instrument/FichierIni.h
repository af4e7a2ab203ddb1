#pragma once

#include <QByteArray>
#include <QString>

#include <stdexcept>
#include <vector>

class EEcritureIni : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A sectioned key=value file in the Windows-1252 code page. Sections and keys are found without
// regard to case, as the system's own INI functions do. Reading tolerates CR LF or LF; writing
// uses CR LF and keeps the sections and keys it does not touch, in their order.
class TFichierIni {
public:
    // Reads the file when it exists (through a link); a missing file, or anything but a plain
    // file, is an empty one.
    explicit TFichierIni(QString chemin);
    // The file at `chemin` as if it held `contenu`: what the reader makes of those bytes.
    static TFichierIni DepuisOctets(QString chemin, const QByteArray& contenu);

    const QString& Chemin() const { return chemin_; }

    QString LitTexte(const QString& section, const QString& cle, const QString& defaut) const;
    // Decimal, or hexadecimal after "0x"; anything else gives the default.
    qint32 LitEntier(const QString& section, const QString& cle, qint32 defaut) const;
    // True for any integer other than 0.
    bool LitBooleen(const QString& section, const QString& cle, bool defaut) const;
    // With the system's decimal separator.
    double LitReel(const QString& section, const QString& cle, double defaut) const;

    void EcritTexte(const QString& section, const QString& cle, const QString& valeur);
    void EcritEntier(const QString& section, const QString& cle, qint32 valeur);
    void EcritBooleen(const QString& section, const QString& cle, bool valeur);
    void EcritReel(const QString& section, const QString& cle, double valeur);

    // Replaces the file as a whole, so a failed write leaves the previous one intact; a link
    // is replaced itself, its target left as it was. Throws EEcritureIni "Impossible d'écrire
    // dans <file>", with the reason when it is one the user can act on.
    void Enregistre() const;
    // The bytes Enregistre writes.
    QByteArray Contenu() const;

private:
    TFichierIni(QString chemin, const QByteArray* contenu);
    void Analyse(const QByteArray& contenu);

    struct TEntree {
        QString Cle; // empty for a line kept as it was (comment, blank line)
        QString Valeur;
    };
    struct TSection {
        QString Nom;
        std::vector<TEntree> Entrees;
    };

    const TSection* ChercheSection(const QString& nom) const;
    const TEntree* ChercheEntree(const QString& section, const QString& cle) const;

    QString chemin_;
    std::vector<TSection> sections_; // the first one, unnamed, holds lines before any section
};
