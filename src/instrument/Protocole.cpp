#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"
#include "instrument/Ticks.h"
#include "shell/Regional.h"
#include "shell/Utilitaires.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr quint8 kRetourChariot = 13;
constexpr qint32 kTicksEntreCommandes = 4;

TApdComPort& Port(TApdComPort* voie) {
    if (!voie)
        throw ECommNotOpen();
    return *voie;
}

// Puts the receive handler back on every way out.
class TGestionnaireSuspendu {
public:
    explicit TGestionnaireSuspendu(TApdComPort& voie) : voie_(voie), sauve_(voie.OnTriggerAvail()) {
        voie_.SetOnTriggerAvail({});
    }
    ~TGestionnaireSuspendu() { voie_.SetOnTriggerAvail(std::move(sauve_)); }
    TGestionnaireSuspendu(const TGestionnaireSuspendu&) = delete;
    TGestionnaireSuspendu& operator=(const TGestionnaireSuspendu&) = delete;

private:
    TApdComPort& voie_;
    TTriggerAvailEvent sauve_;
};

// The hourglass while a reading runs, and the flag that refuses a second one.
class TLectureEnCours {
public:
    TLectureEnCours(TApdComPort& voie, bool& drapeau) : voie_(voie), drapeau_(drapeau) {
        drapeau_ = true;
        emit voie_.Sablier(true);
    }
    ~TLectureEnCours() {
        drapeau_ = false;
        emit voie_.Sablier(false);
    }
    TLectureEnCours(const TLectureEnCours&) = delete;
    TLectureEnCours& operator=(const TLectureEnCours&) = delete;

private:
    TApdComPort& voie_;
    bool& drapeau_;
};

} // namespace

bool VoieSeriePrete() {
    if (Spectro.Voie && Spectro.Voie->Open())
        return true;
    AfficheErreur(
        QStringLiteral("La voie série est fermée : rebranchez l'appareil, quittez ce mode "
                       "puis choisissez-le de nouveau."));
    return false;
}

QByteArray FormateNombre(const QByteArray& format, double x) {
    static const QRegularExpression forme(QStringLiteral(
        "^((?:[^%]|%%)*)(%[-+ 0#]*[0-9]{0,2}(?:\\.[0-9]{1,2})?[fFeEgG])((?:[^%]|%%)*)$"));
    const QRegularExpressionMatch m = forme.match(QString::fromLatin1(format));
    if (!m.hasMatch())
        return FormateNombre("%5.1f", x);
    // Qt's own printf is independent of the C locale: the number always has a point here.
    QString nombre = QString::asprintf(m.captured(2).toLatin1().constData(), x);
    nombre.replace(u'.', Regional().SeparateurDecimal);
    const auto litteral = [&m](int i) {
        return m.captured(i).replace(QStringLiteral("%%"), QStringLiteral("%")).toLatin1();
    };
    return litteral(1) + nombre.toLatin1() + litteral(3);
}

QByteArray TspectroJenway::TexteLambda(double lambda) const {
    return FormateNombre(FormatLambda.Octets(), lambda);
}

TChaine255 TspectroJenway::Interroge(const TChaine20& commande) {
    TApdComPort& voie = Port(Voie);
    const TGestionnaireSuspendu suspendu(voie);
    TLigneReponse reponse;
    voie.WriteString(commande.Octets() + char(FinMessage));
    TMinuterieTicks minuterie;
    minuterie.ArmTickTimer(TimeOut);
    const TAbonnementReveil reveils = [&voie](QObject& contexte,
                                              const std::function<void()>& reveil) {
        QObject::connect(&voie, &TApdComPort::CaracteresRecus, &contexte, reveil);
        QObject::connect(&voie, &TApdComPort::Disparu, &contexte, reveil);
    };
    for (;;) {
        if (voie.CharAvailable()) {
            if (reponse.Ajoute(voie.ReadChar()))
                break;
        } else if (!AttendEvenement(minuterie, reveils)) {
            break; // the application is quitting
        }
        if (minuterie.TickTimerExpired())
            break;
        if (!voie.Open())
            break; // the device vanished; Disparu told the user
    }
    return TChaine255(reponse.Texte());
}

bool TLigneReponse::Ajoute(quint8 octet) {
    if (octet >= 32 && texte_.size() < TChaine255::capacite())
        texte_ += char(octet);
    return octet == kRetourChariot;
}

double AbsorbanceDe(const QByteArray& reponse) {
    double valeur = 0;
    if (!LitReel(QString::fromLatin1(reponse), Regional().SeparateurDecimal, valeur))
        return Indefini;
    return valeur;
}

double TspectroJenway::DemandeAbs() {
    TApdComPort& voie = Port(Voie);
    if (LectureEnCours)
        return Indefini;
    const TLectureEnCours lecture(voie, LectureEnCours);
    voie.PurgeInput();
    return AbsorbanceDe(Interroge(CmdDemandeAbs).Octets());
}

void TspectroJenway::EnvoiLambda(double lambda) {
    Port(Voie).WriteString(CmdLambda.Octets() + TexteLambda(lambda) + char(FinMessage));
}

void TspectroJenway::EnvoiCommande(const TChaine20& commande) {
    Port(Voie).WriteString(commande.Octets() + char(FinMessage));
}

void TspectroJenway::LanceSpectre() {
    TApdComPort& voie = Port(Voie);
    const qint32 pas = std::clamp(PasL, 0, 2);
    const QByteArray commandes[] = {
        CmdModeSpectre.Octets(),
        CmdDebutSpectre.Octets() + TexteLambda(DebutL),
        CmdFinSpectre.Octets() + TexteLambda(FinL),
        CmdPas.Octets() + TableDesPas[pas],
    };
    for (const QByteArray& commande : commandes) {
        voie.WriteString(commande + char(FinMessage));
        if (!PauseTicks(kTicksEntreCommandes, true) || !voie.Open())
            return;
    }
}

void TspectroJenway::LigneDeBase() {
    TApdComPort& voie = Port(Voie);
    voie.PurgeInput();
    voie.WriteString(CmdZero.Octets() + char(FinMessage));
}
