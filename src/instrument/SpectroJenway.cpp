#include "instrument/SpectroJenway.h"

#include "base/Boites.h"
#include "base/Regional.h"
#include "base/Utilitaires.h"
#include "instrument/ApdComPort.h"
#include "instrument/FormatNombre.h"
#include "instrument/TextesAppareil.h"
#include "instrument/Ticks.h"

#include <algorithm>

TspectroJenway Spectro;

namespace {

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
    AfficheErreur(TexteVoieFermee());
    return false;
}

QByteArray TspectroJenway::TexteLambda(double lambda) const {
    return FormateNombre(FormatLambda.Octets(), lambda);
}

TChaine255 TspectroJenway::Interroge(const TChaine20& commande) {
    return TChaine255(Echange(commande).Texte());
}

TLigneReponse TspectroJenway::Echange(const TChaine20& commande) {
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
    return reponse;
}

double TspectroJenway::DemandeAbs() {
    TApdComPort& voie = Port(Voie);
    if (LectureEnCours)
        return Indefini;
    const TLectureEnCours lecture(voie, LectureEnCours);
    voie.PurgeInput();
    QChar separateur;
    const double absorbance = AbsorbanceDe(Echange(CmdDemandeAbs), &separateur);
    NoteSeparateur(separateur);
    SignaleSeparateur();
    return absorbance;
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

void TspectroJenway::NoteSeparateur(QChar separateur) {
    if (!separateur.isNull())
        SeparateurAppareil = separateur;
}

void TspectroJenway::SignaleSeparateur() {
    const QChar systeme = Regional().SeparateurDecimal;
    if (SeparateurSignale || SeparateurAppareil.isNull() || SeparateurAppareil == systeme || !Voie)
        return;
    SeparateurSignale = true;
    const TBoite avis{TitreSeparateurDifferent(),
                      TexteSeparateurDifferent(SeparateurAppareil, systeme),
                      TIconeBoite::Information, TBoutonsBoite::Ok};
    // After the event under way: a box shown inside a reading would hold the next ones back. The
    // port is the context, so that a box still due when the port goes is dropped with it.
    QMetaObject::invokeMethod(
        Voie, [avis] { Boites().Affiche(avis); }, Qt::QueuedConnection);
}

void TspectroJenway::LigneDeBase() {
    TApdComPort& voie = Port(Voie);
    voie.PurgeInput();
    voie.WriteString(CmdZero.Octets() + char(FinMessage));
}
