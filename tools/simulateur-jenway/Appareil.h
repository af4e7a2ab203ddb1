#pragma once

#include <QByteArray>
#include <QString>

#include <random>
#include <vector>

// Bytes to send, not before `delaiMs` after the command that produced them.
struct TEnvoi {
    QByteArray octets;
    int delaiMs = 0;
};

// The instrument's side of the protocol and what is in its cell. Knows nothing of the line:
// it turns a command (without its end byte) into what the instrument sends back.
class TAppareil {
public:
    enum class TContenu { Blanc, Solution, Etalon, Inconnu, Cinetique, Fixe };
    enum class TPanne {
        Aucune,
        Silence,
        Charabia,
        Virgule,
        SautDeLigne,
        Longue,
        Partielle,
        Lente,
        Coupure,
        Deluge,
        Bouchee,
        Octet,      // one byte 0xFF in the middle of scan line N
        Chiffre,    // the first digit of scan line N becomes 9: 400.0 is sent as 900.0
        Alteration, // each scan line, with probability P, has one byte changed at random
    };

    TAppareil(quint32 graine, double bruit, bool sansDelai);

    std::vector<TEnvoi> Commande(QByteArray commande, double secondes);
    // A line of the control channel; false with `erreur` set when it is not understood.
    bool Controle(const QByteArray& ligne, double secondes, QString& erreur);

    bool Distant() const { return distant_; }
    // The instrument has stopped reading its line: what is sent to it stays in the line.
    bool Bouchee() const { return panne_ == TPanne::Bouchee; }
    double Lambda() const { return lambda_; }

private:
    struct TCuve {
        TContenu contenu = TContenu::Blanc;
        double valeur = 0; // concentration, fixed absorbance or rate constant
        double depuis = 0; // when a kinetics sample was put in, in seconds
    };

    double Brute(const TCuve& cuve, double lambda, double secondes) const;
    double Mesure(double lambda, double secondes, const TCuve& reference, double momentReference);
    QByteArray Reponse(double absorbance) const;
    std::vector<TEnvoi> Spectre(double secondes);
    // The scan line of index `i` (from 0), spoilt as the fault asks.
    QByteArray Abimee(QByteArray ligne, int i);

    std::mt19937 hasard_;
    std::normal_distribution<double> bruit_;
    bool sansDelai_;
    bool distant_ = false;
    double lambda_ = 500;
    double debutL_ = 400;
    double finL_ = 800;
    double pas_ = 1;
    TCuve cuve_;
    TCuve zero_;        // what was in the cell at the last "ZA"
    TCuve ligneDeBase_; // at the last "PB"
    double momentZero_ = 0;
    double momentBase_ = 0;
    TPanne panne_ = TPanne::Aucune;
    double parametre_ = 0; // N or P of the fault
};
