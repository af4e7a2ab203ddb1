#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QtGlobal>

#include <array>
#include <optional>

class TApdComPort;
class Tcourbe;

// The line being received from the instrument, in a fixed buffer: characters beyond its
// capacity are dropped.
class TLigneRecue {
public:
    static constexpr int Capacite = 255;

    void Ajoute(char c) {
        if (longueur_ < Capacite)
            octets_[longueur_++] = c;
    }
    void Vide() { longueur_ = 0; }
    int Longueur() const { return longueur_; }
    QByteArray Texte() const { return QByteArray(octets_.data(), longueur_); }

private:
    std::array<char, Capacite> octets_{};
    int longueur_ = 0;
};

// A scan line read: the wavelength and the absorbance, their texts as received and the decimal
// separator they were written with (null when neither has one).
struct TLigneSpectre {
    double Lambda = 0;
    double Absorbance = 0;
    QByteArray TexteLambda;
    QByteArray TexteAbs;
    QChar Separateur;
};

// The wavelength, a comma and the absorbance, each number with a point or a comma as decimal
// separator: the line is split at the first comma that leaves a number on each side, each text
// cut to its first 20 characters. Nothing for a line of another form, or one that starts with a
// comma.
std::optional<TLigneSpectre> LitLigneSpectre(QByteArrayView ligne);

// The range a scan was asked for, in nm; a line is expected within one step of it.
struct TPlageBalayage {
    double Debut = 0;
    double Fin = 0;
    double Pas = 1;

    bool Contient(double lambda) const;
};

enum class TEtatSpectre : quint8 { Repos, LigneDeBaseEnCours, BalayageEnCours };

// What a carriage return brought to the window.
struct TLigneTraitee {
    enum TSorte : quint8 {
        Aucune,             // a line refused, or received at rest
        ReponseLigneDeBase, // the instrument's answer: the baseline is done
        Point,              // a point of the scan, in Lu()
    };
    TSorte Sorte = Aucune;
    bool Stocke = false; // the point went into the curve: beyond its capacity it is only shown
    bool Fin = false;    // the point reaches the end of the range: the scan is over
};

// The receiving end of the spectrum trace, without any widget: the instrument's bytes assembled
// into lines, each carriage return ending one; during a baseline, the instrument's answer; during
// a scan, the points stored into the curve up to its capacity, until the end of the range. It
// says how long the instrument may stay without progress, and what a purge does to a line.
class TRecepteurSpectre {
public:
    explicit TRecepteurSpectre(Tcourbe& courbe) : courbe_(courbe) {}

    // A line left unfinished this long is dead (the instrument stopped in its middle, or sent
    // bytes without end): what comes next starts a line. Its bytes come some ms apart.
    static constexpr quint32 LigneMorteMs = 500;
    // How long the instrument may stay without progress, in milliseconds, before the baseline
    // (its one reply) or the scan (its next line) is given up with the points taken so far.
    int DelaiLigneDeBase = 300000;
    int DelaiBalayage = 60000;

    TEtatSpectre Etat() const { return etat_; }
    // A baseline completed since a new one was last required: only then may a scan start.
    bool BlancFait() const { return blancFait_; }
    const TLigneRecue& Ligne() const { return ligne_; }
    const TPlageBalayage& Plage() const { return plage_; }
    // The last point read, its texts as received.
    const TLigneSpectre& Lu() const { return lu_; }
    // The decimal separator of the last line taken (the baseline's answer or a point), null when
    // it had none.
    QChar Separateur() const { return separateur_; }
    // How long the instrument may now stay without progress; nothing at rest.
    std::optional<int> Delai() const;

    // A byte from the instrument.
    TLigneTraitee Recoit(quint8 code) {
        dernierOctet_ = Maintenant();
        octetRecu_ = true;
        if (code == kRetourChariot)
            return FinDeLigne();
        if (code > 32 && !resteCoupe_)
            ligne_.Ajoute(static_cast<char>(code));
        return {};
    }

    // A line is coming in: some of it received, and recently.
    bool LigneEnCours() const;
    // Reads out what waits on `voie`, then purges it; true when the purge cut a line.
    bool VideEntree(TApdComPort& voie) const;
    // Whether a purge falls inside a line: one was coming in and what waited (read out before
    // the purge) does not end it, or what waited starts one that it does not end.
    static bool PurgeDansUneLigne(bool ligneEnCours, QByteArrayView attente);

    // The instrument may have been used by hand or by another mode: a new baseline is required.
    void ExigeLigneDeBase() { blancFait_ = false; }
    // A line coming in now (a scan going on) is not the baseline's answer, nor a part of it.
    void IgnoreLigneEnCours();
    // The baseline is asked for: its answer ends it.
    void CommenceLigneDeBase();
    // A new scan over `plage`, its input just purged: the curve emptied, and when the purge cut
    // a line, what is left of that line dropped up to its carriage return.
    void CommenceBalayage(const TPlageBalayage& plage, bool ligneCoupee);
    // Gives up the baseline or the scan under way, the points taken staying; the state left.
    TEtatSpectre Interrompt();
    // The port is gone: what was under way is given up and a new baseline required. The state left.
    TEtatSpectre VoieDisparue();
    // The port goes to other modes, whose purges may cut the line: the start kept here would join
    // another line's end. The end of this one, if it comes, is refused as a line of its own.
    void OublieLigne();

private:
    static constexpr quint8 kRetourChariot = 13;

    static quint32 Maintenant();
    TLigneTraitee FinDeLigne();
    TLigneTraitee FinDeLigneDeBase();
    TLigneTraitee TraiteLigne();

    Tcourbe& courbe_;
    TEtatSpectre etat_ = TEtatSpectre::Repos;
    bool blancFait_ = false;
    TLigneRecue ligne_;
    bool resteCoupe_ = false; // the rest of a line cut by a purge is being dropped
    bool octetRecu_ = false;
    quint32 dernierOctet_ = 0; // when the last byte came, on the program's clock
    TPlageBalayage plage_;
    std::optional<double> dernierLambda_; // of the last line taken in this scan
    TLigneSpectre lu_;
    QChar separateur_;
};
