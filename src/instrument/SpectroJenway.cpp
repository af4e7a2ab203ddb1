#include "base/Boites.h"
#include "base/Regional.h"
#include "base/Utilitaires.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"
#include "instrument/Ticks.h"

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

bool TLigneReponse::Ajoute(quint8 octet) {
    if (octet >= 32 && texte_.size() < TChaine255::capacite())
        texte_ += char(octet);
    if (octet == kRetourChariot)
        complete_ = true;
    return complete_;
}

bool LitNombreAppareil(QByteArrayView texte, double& valeur, QChar* separateur) {
    const bool point = texte.contains('.');
    const bool virgule = texte.contains(',');
    if (point && virgule)
        return false;
    const QChar lu = virgule ? u',' : u'.';
    if (!LitReel(QString::fromLatin1(texte), lu, valeur))
        return false;
    if (separateur)
        *separateur = point || virgule ? lu : QChar();
    return true;
}

// A reply cut by the time-out may be the start of another number ("0.1" of "0.153"): it is no
// reading.
double AbsorbanceDe(const TLigneReponse& reponse, QChar* separateur) {
    double valeur = 0;
    if (!reponse.Complete() || !LitNombreAppareil(reponse.Texte(), valeur, separateur))
        return Indefini;
    return valeur;
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

namespace {

QString NomSeparateur(QChar separateur) {
    return separateur == u',' ? QStringLiteral("une virgule") : QStringLiteral("un point");
}

} // namespace

QString TexteSeparateurDifferent(QChar appareil, QChar systeme) {
    return QStringLiteral(
               "L'appareil écrit ses nombres avec %1 comme séparateur décimal (%2), alors que "
               "les paramètres régionaux de ce système demandent %3 : le programme envoie donc à "
               "l'appareil ses longueurs d'onde avec %3 (%4). Les mesures reçues sont lues quand "
               "même, mais l'appareil risque de mal comprendre les longueurs d'onde et les plages "
               "de balayage.\n\nPour accorder les deux, réglez le séparateur décimal de "
               "l'appareil sur %3, ou choisissez %1 comme séparateur décimal dans les paramètres "
               "régionaux du système (format des nombres), puis relancez le programme.")
        .arg(NomSeparateur(appareil), u'0' + QString(appareil) + QStringLiteral("153"),
             NomSeparateur(systeme),
             QString::fromLatin1(Spectro.CmdLambda.Octets() + Spectro.TexteLambda(500)));
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
    const TBoite avis{QStringLiteral("Séparateur décimal"),
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
