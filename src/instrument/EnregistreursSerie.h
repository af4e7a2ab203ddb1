#pragma once

#include <QByteArray>
#include <QString>

#include <deque>

// Where the trace and log files named `nom` go: the user's data folder (made when missing), as
// for the journals. The current folder of a program started from a menu is anywhere, the home
// or the system's root, and often not writable.
QString CheminEnregistrement(const QString& nom);

// The last characters sent and received, for the trace file.
class TTraceSerie {
public:
    static constexpr std::size_t kTaille = 32000; // TraceSize

    void Note(QByteArrayView octets, bool emis);
    void Oublie() { entrees_.clear(); }
    bool EstVide() const { return entrees_.empty(); }

    // Runs of one direction under "Transmit: " or "Receive: ", an empty line between runs,
    // printable characters as they are and others as [code], lines of at most 78 columns.
    QByteArray Texte() const;
    // Replaces the file; ECommFichier on failure.
    void Ecrit(const QString& chemin) const;

private:
    struct TEntree {
        char octet;
        bool emis;
    };
    std::deque<TEntree> entrees_;
};

// The last events of the port service, for the log file.
//
// Layout: a header of four lines (title, operating system, device, date and time), an empty
// line, then one line per event:
//   <milliseconds of the clock, 10 digits>  <kind>  <event, padded to 12>  <data, 8 hex digits>
// kinds: P port (Ouverture, Fermeture, Purge, Disparition, Erreur), E sent (Ecriture: count),
// R received (Reception: count), A notification (Avis: count).
class TJournalSerie {
public:
    static constexpr std::size_t kTaille = 32000; // LogSize

    void Note(char genre, const char* evenement, quint32 donnee);
    void Oublie() { evenements_.clear(); }
    bool EstVide() const { return evenements_.empty(); }

    QByteArray Texte(const QString& peripherique) const;
    void Ecrit(const QString& chemin, const QString& peripherique) const;

private:
    struct TEvenement {
        quint32 millisecondes;
        char genre;
        const char* nom;
        quint32 donnee;
    };
    std::deque<TEvenement> evenements_;
};
