#include "instrument/ReglagesSpectro.h"

#include "base/Utilitaires.h"
#include "instrument/FichierIni.h"
#include "instrument/SpectroJenway.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {

// The end-of-message key. Earlier versions wrote "FinDeChaine" but read "FinMessage", so a
// changed value was lost; both sides now use "FinMessage", and an older file's "FinDeChaine" is
// still read when it is the only one present.
const QString kCleFinMessage = QStringLiteral("FinMessage");
const QString kAncienneCleFinMessage = QStringLiteral("FinDeChaine");

// The longest file name the usual file systems accept.
constexpr qsizetype kLongueurNomMaxi = 255;

// Whether the settings can be written at `chemin`. A link there is replaced by the file, so only
// its folder matters. The folder's permissions say too little (access lists, read-only mounts,
// quotas): a file is really created there and removed.
bool PlaceInscriptible(const QString& chemin) {
    const QFileInfo fichier(chemin);
    if (fichier.fileName().toUtf8().size() > kLongueurNomMaxi)
        return false;
    if (!fichier.isSymLink() && fichier.exists() && !(fichier.isFile() && fichier.isWritable()))
        return false;
    QTemporaryFile sonde(fichier.absolutePath() + QStringLiteral("/jenway-XXXXXX"));
    return sonde.open();
}

} // namespace

void TReglagesSpectro::LitConfig(const TChaine80& nom, const TFichierIni& ini) {
    NomAppareil = nom;
    const QString s = nom.Texte();
    MiniA = ini.LitReel(s, QStringLiteral("MiniA"), -0.3);
    MaxiA = ini.LitReel(s, QStringLiteral("MaxiA"), 3);
    MiniL = ini.LitEntier(s, QStringLiteral("MiniL"), 325);
    MaxiL = ini.LitEntier(s, QStringLiteral("MaxiL"), 950);
    DebutL = ini.LitEntier(s, QStringLiteral("DebutL"), 400);
    FinL = ini.LitEntier(s, QStringLiteral("FinL"), 800);
    PasL = ini.LitEntier(s, QStringLiteral("PasL"), 0);
    // Narrower fields keep the low-order bits of what was read.
    Com = static_cast<quint16>(ini.LitEntier(s, QStringLiteral("Com"), 1));
    Baud = ini.LitEntier(s, QStringLiteral("Baud"), 1200);
    DataBits = static_cast<quint16>(ini.LitEntier(s, QStringLiteral("DataBits"), 7));
    Parity =
        static_cast<TParite>(static_cast<quint8>(ini.LitEntier(s, QStringLiteral("Parity"), 1)));
    StopBits = static_cast<quint16>(ini.LitEntier(s, QStringLiteral("StopBits"), 1));
    Tracing = ini.LitBooleen(s, QStringLiteral("Tracing"), false);
    RTS = ini.LitBooleen(s, QStringLiteral("RTS"), true);
    XonXoff = ini.LitBooleen(s, QStringLiteral("XonXoff"), false);
    AckCommande = static_cast<quint8>(ini.LitEntier(s, QStringLiteral("AckCommande"), 6));
    const qint32 ancienneFin = ini.LitEntier(s, kAncienneCleFinMessage, 13);
    FinMessage = static_cast<quint8>(ini.LitEntier(s, kCleFinMessage, ancienneFin));
    TimeOut = static_cast<quint16>(ini.LitEntier(s, QStringLiteral("TimeOut"), 9));
}

void TReglagesSpectro::EcritConfig(TFichierIni& ini) const {
    const QString s = NomAppareil.Texte();
    ini.EcritReel(s, QStringLiteral("MiniA"), MiniA);
    ini.EcritReel(s, QStringLiteral("MaxiA"), MaxiA);
    ini.EcritEntier(s, QStringLiteral("MiniL"), MiniL);
    ini.EcritEntier(s, QStringLiteral("MaxiL"), MaxiL);
    ini.EcritEntier(s, QStringLiteral("DebutL"), DebutL);
    ini.EcritEntier(s, QStringLiteral("FinL"), FinL);
    ini.EcritEntier(s, QStringLiteral("PasL"), PasL);
    ini.EcritEntier(s, QStringLiteral("Com"), Com);
    ini.EcritEntier(s, QStringLiteral("Baud"), Baud);
    ini.EcritEntier(s, QStringLiteral("DataBits"), DataBits);
    ini.EcritEntier(s, QStringLiteral("Parity"), static_cast<quint8>(Parity));
    ini.EcritEntier(s, QStringLiteral("StopBits"), StopBits);
    ini.EcritBooleen(s, QStringLiteral("Tracing"), Tracing);
    ini.EcritBooleen(s, QStringLiteral("RTS"), RTS);
    ini.EcritBooleen(s, QStringLiteral("XonXoff"), XonXoff);
    ini.EcritEntier(s, QStringLiteral("AckCommande"), AckCommande);
    ini.EcritEntier(s, kCleFinMessage, FinMessage);
    ini.EcritEntier(s, QStringLiteral("TimeOut"), TimeOut);
}

QString NomFichierIni(const QString& executable) {
    const QFileInfo fichier(executable);
    return fichier.path() + u'/' + fichier.completeBaseName() + QStringLiteral(".INI");
}

TEmplacementIni EmplacementIni(const QString& executable, const QString& dossierUtilisateur) {
    const QString aCote = NomFichierIni(executable);
    if (PlaceInscriptible(aCote))
        return {aCote, aCote};
    const QString personnel = QDir(dossierUtilisateur).filePath(QFileInfo(aCote).fileName());
    return {QFileInfo::exists(personnel) ? personnel : aCote, personnel};
}

void ChargeConfiguration(const QString& cheminIni) {
    const TFichierIni ini(cheminIni);
    Spectro.LitConfig("Spectro", ini);
}

void SauveConfiguration(const QString& cheminIni) {
    try {
        QDir().mkpath(QFileInfo(cheminIni).absolutePath()); // the user's folder, the first time
        TFichierIni ini(cheminIni);
        Spectro.EcritConfig(ini);
        ini.Enregistre();
    } catch (const EEcritureIni& e) {
        AfficheErreur(QString::fromUtf8(e.what()));
    }
}
