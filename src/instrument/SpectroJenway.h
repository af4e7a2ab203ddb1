#pragma once

#include "base/Chaine.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>

class TApdComPort;
class TFichierIni;

// The reply line as Interroge reads it, one byte at a time: bytes from 32 up are kept, at most
// 255, the carriage return ends the line and other control bytes are dropped.
class TLigneReponse {
public:
    // True when `octet` ends the line.
    bool Ajoute(quint8 octet);
    const QByteArray& Texte() const { return texte_; }
    // The carriage return came: the line is whole.
    bool Complete() const { return complete_; }

private:
    QByteArray texte_;
    bool complete_ = false;
};

enum class TParite : quint8 { Aucune = 0, Impaire = 1, Paire = 2, Marque = 3, Espace = 4 };

// The instrument: its settings, those of the serial link and the command strings of its
// protocol. One instance, `Spectro`, whose fields every window reads and writes directly.
class TspectroJenway {
public:
    TChaine80 NomAppareil = "Spectro";
    qint32 PasL = 0; // index into the scan step table: 0.2, 1.0, 5.0 nm
    double MiniA = -0.3;
    double MaxiA = 3;
    qint32 MiniL = 325;
    qint32 MaxiL = 950;
    qint32 DebutL = 400;
    qint32 FinL = 800;
    quint16 Com = 1;
    qint32 Baud = 1200;
    TParite Parity = TParite::Impaire;
    quint16 DataBits = 7;
    quint16 StopBits = 1;
    bool RTS = true;
    bool XonXoff = false;
    bool Tracing = false;
    TChaine20 FormatLambda = "%5.1f";
    TChaine20 CmdDebutRemote = "R";
    TChaine20 CmdFinRemote = "X";
    TChaine20 CmdDemandeAbs = "A";
    TChaine20 CmdLambda = "G";
    TChaine20 CmdDebutSpectre = "SB";
    TChaine20 CmdFinSpectre = "SE";
    TChaine20 CmdSpectre = "SS";
    TChaine20 CmdLigneDeBase = "PB";
    TChaine20 CmdPas = "SI";
    TChaine20 CmdZero = "ZA";
    TChaine20 CmdModeSpectre = "SMA";
    quint8 FinMessage = 13;
    quint8 AckCommande = 6;
    quint16 TimeOut = 9;         // ticks of 55 ms
    TApdComPort* Voie = nullptr; // the main window's port; not owned
    bool LectureEnCours = false; // a DemandeAbs is waiting for its reply
    // The decimal separator of the instrument's numbers as last seen (null before any), and
    // whether the user has been told that it is not the one the commands carry.
    QChar SeparateurAppareil;
    bool SeparateurSignale = false;

    // The instrument protocol. Port errors (ECommNotOpen, ...) reach the caller; nothing else
    // is reported.
    // Sends `commande` and returns the reply line: printable characters up to the carriage
    // return, at most 255, or what came before the time-out of `TimeOut` ticks.
    TChaine255 Interroge(const TChaine20& commande);
    // Interroge's exchange, the line with whether its carriage return came.
    TLigneReponse Echange(const TChaine20& commande);
    // One absorbance reading, or Indefini when the reply is no number or came without its
    // carriage return. A reading asked while one waits (a timer firing during the wait) gives
    // Indefini at once and leaves the first alone.
    double DemandeAbs();
    void EnvoiLambda(double lambda);
    void EnvoiCommande(const TChaine20& commande);
    // Scan mode, start, end and step, with a pause of 4 ticks after each. A step index outside
    // the table sends the nearest step. Stops early when the application quits or the port closes.
    void LanceSpectre();
    void LigneDeBase();
    // `lambda` through FormatLambda, with the system's decimal separator.
    QByteArray TexteLambda(double lambda) const;

    // Notes the separator of a number the instrument wrote (a null one tells nothing).
    void NoteSeparateur(QChar separateur);
    // When the instrument writes its numbers with another separator than the system's, which the
    // commands carry, tells the user once, after the current event, what it means and how to
    // change it. Called where a box does not interrupt an acquisition.
    void SignaleSeparateur();

    // Reads the section `nom` of the file; each missing or unreadable key gives its default.
    void LitConfig(const TChaine80& nom, const TFichierIni& ini);
    // Writes every persisted key into the section named by NomAppareil.
    void EcritConfig(TFichierIni& ini) const;
};

extern TspectroJenway Spectro;

// True when the instrument's port is open. Otherwise the error box tells the user how to get the
// instrument back (it vanished, or could not be opened), and false: the action is not tried.
bool VoieSeriePrete();

// The scan steps sent for PasL 0, 1 and 2, always with a point.
inline constexpr const char* TableDesPas[] = {"0.2", "1.0", "5.0"};

// `x` through a printf format of one floating-point conversion (flags, width, precision and f,
// e or g), with literal text around it and the system's decimal separator. A format that is not
// of this form, which the configuration dialog lets the user type, formats as "%5.1f".
QByteArray FormateNombre(const QByteArray& format, double x);

// The absorbance a reply line gives: a number written with a point or a comma, else Indefini;
// a line cut short by the time-out (no carriage return) is unreadable too. `separateur` receives
// the decimal separator the number was written with, if any.
double AbsorbanceDe(const TLigneReponse& reponse, QChar* separateur = nullptr);

// A number as the instrument writes it: with a point or a comma as decimal separator, whatever
// the system's (a number has one separator at most and the instrument writes no thousands
// separator, so either reads unambiguously). `separateur` receives the one used, or a null
// character for a whole number.
bool LitNombreAppareil(QByteArrayView texte, double& valeur, QChar* separateur = nullptr);

// The text that tells the user the instrument writes its numbers with `appareil` as separator
// while the commands carry the system's, `systeme`.
QString TexteSeparateurDifferent(QChar appareil, QChar systeme);

// The executable's path with its extension replaced by ".INI", whole: a path cut short names
// another file, the executable itself when it is as long as the cut.
QString NomFichierIni(const QString& executable);

// Where the settings are read at start and written at exit.
struct TEmplacementIni {
    QString Lecture;
    QString Ecriture;
};

// The file next to the executable while that place can be written. An installed program's folder
// cannot be: then the file of the same name in `dossierUtilisateur` (the user's configuration
// folder), read when it exists; until it does, the one next to the executable gives the starting
// values.
TEmplacementIni EmplacementIni(const QString& executable, const QString& dossierUtilisateur);

// Start and exit: open the INI file, read or write `Spectro`, close it. A missing folder is
// created; a file that cannot be written is reported in the error box; the program ends all the
// same.
void ChargeConfiguration(const QString& cheminIni);
void SauveConfiguration(const QString& cheminIni);
