#pragma once

#include "base/Chaine.h"

#include <QString>

class TFichierIni;

enum class TParite : quint8 { Aucune = 0, Impaire = 1, Paire = 2, Marque = 3, Espace = 4 };

// The instrument's settings: those of the serial link, the axes' ranges and the command strings
// of its protocol, with their defaults. Only some are kept in the INI file (LitConfig,
// EcritConfig); the command strings and FormatLambda start from their defaults at every run.
struct TReglagesSpectro {
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
    quint16 TimeOut = 9; // ticks of 55 ms

    // Reads the section `nom` of the file; each missing or unreadable key gives its default.
    void LitConfig(const TChaine80& nom, const TFichierIni& ini);
    // Writes every persisted key into the section named by NomAppareil.
    void EcritConfig(TFichierIni& ini) const;
};

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

// Start and exit: open the INI file, read or write the settings of the program's instrument
// (Spectro), close it. A missing folder is created; a file that cannot be written is reported in
// the error box; the program ends all the same.
void ChargeConfiguration(const QString& cheminIni);
void SauveConfiguration(const QString& cheminIni);
