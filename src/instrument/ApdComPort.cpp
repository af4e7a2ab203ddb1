#include "instrument/ApdComPort.h"

#include "instrument/PeripheriqueCom.h"

#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QSerialPort>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

QSerialPort::Parity ParitePort(TParite parite) {
    switch (parite) {
    case TParite::Aucune:
        return QSerialPort::NoParity;
    case TParite::Impaire:
        return QSerialPort::OddParity;
    case TParite::Paire:
        return QSerialPort::EvenParity;
    case TParite::Marque:
        return QSerialPort::MarkParity;
    case TParite::Espace:
        return QSerialPort::SpaceParity;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits ArretsPort(quint16 bits) {
    return bits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop;
}

QSerialPort::FlowControl ControleDeFlux(THWFlowOptions materiel, TSWFlowOptions logiciel) {
    if (materiel & (hwfUseRTS | hwfRequireCTS))
        return QSerialPort::HardwareControl;
    return logiciel != swfNone ? QSerialPort::SoftwareControl : QSerialPort::NoFlowControl;
}

// What went wrong, for the user: the system's own text is English, or in another language.
QString RaisonPort(QSerialPort::SerialPortError erreur) {
    switch (erreur) {
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("le port n'existe pas");
    case QSerialPort::PermissionError:
        return QStringLiteral("le port est occupé par un autre programme ou son accès est refusé");
    case QSerialPort::OpenError:
        return QStringLiteral("le port est déjà ouvert");
    case QSerialPort::UnsupportedOperationError:
        return QStringLiteral("le port n'accepte pas ce réglage");
    case QSerialPort::ResourceError:
        return QStringLiteral("le port n'est plus disponible");
    default:
        break;
    }
    return QStringLiteral("le système refuse l'opération");
}

#ifdef Q_OS_UNIX
// The system's permissions refuse the device to this user (rather than another program holding
// it, which Qt reports the same way).
bool AccesRefuse(const QString& peripherique) {
    return ::access(QFile::encodeName(peripherique).constData(), R_OK | W_OK) != 0 &&
           errno == EACCES;
}

QString Utilisateur() {
    if (const passwd* compte = ::getpwuid(::geteuid()))
        return QString::fromLocal8Bit(compte->pw_name);
    return qEnvironmentVariable("USER");
}
#endif

// Why the port did not open, and what the user can do about it.
// A line that takes no more bytes for now (the instrument's handshake held or its reading
// stalled): the write failed with EAGAIN. Qt gives it the kind of a vanished device
// (ResourceError, as EIO) and only its text, in the user's language, tells them apart: the
// system's own error number does, whatever the language.
bool LigneSaturee(int erreur, int erreurSysteme) {
#ifdef Q_OS_UNIX
    return erreur == QSerialPort::ResourceError && erreurSysteme == EAGAIN;
#else
    Q_UNUSED(erreur);
    Q_UNUSED(erreurSysteme);
    return false; // the system's overlapped writes wait, they do not fail
#endif
}

QString RemedeOuverture(const QString& peripherique, QSerialPort::SerialPortError erreur) {
    if (erreur == QSerialPort::DeviceNotFoundError)
        return QStringLiteral("ce port n'existe pas sur cet ordinateur. Branchez l'appareil (ou "
                              "son adaptateur USB-série), allumez-le, puis choisissez son port "
                              "(bouton « voie série »).");
#ifdef Q_OS_LINUX
    if (erreur == QSerialPort::PermissionError && AccesRefuse(peripherique))
        return QStringLiteral("l'accès à ce port est refusé à l'utilisateur %1. Pour qu'il puisse "
                              "se servir des ports série, ajoutez-le au groupe dialout par la "
                              "commande « sudo usermod -a -G dialout %1 », puis fermez la "
                              "session et reconnectez-vous.")
            .arg(Utilisateur());
#elif defined(Q_OS_UNIX)
    if (erreur == QSerialPort::PermissionError && AccesRefuse(peripherique))
        return QStringLiteral("l'accès à ce port est refusé à l'utilisateur %1 : demandez à "
                              "l'administrateur de l'ordinateur de lui en donner le droit.")
            .arg(Utilisateur());
#else
    Q_UNUSED(peripherique);
#endif
    if (erreur == QSerialPort::PermissionError)
        return QStringLiteral("le port est occupé par un autre programme. Fermez ce programme, "
                              "ou choisissez un autre port (bouton « voie série »).");
    return RaisonPort(erreur) + QStringLiteral(". Vérifiez que l'appareil est branché et que "
                                               "c'est son port (bouton « voie série »).");
}

} // namespace

TApdComPort::TApdComPort(QObject* parent) : QObject(parent), port_(new QSerialPort(this)) {
    port_->setReadBufferSize(InSize);
    connect(port_, &QSerialPort::readyRead, this, &TApdComPort::Recoit);
    connect(port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError erreur) {
        // Qt signals the error from within the failed call: errno is still its own.
        const int erreurSysteme = errno;
        ErreurPort(erreur, erreurSysteme);
    });
}

TApdComPort::~TApdComPort() = default;

bool TApdComPort::Open() const {
    return port_->isOpen();
}

QString TApdComPort::Peripherique() const {
    return Open() ? peripherique_ : NomPeripheriqueCom(comNumber_);
}

void TApdComPort::SetComNumber(quint16 numero) {
    if (numero == comNumber_)
        return;
    const bool ouvert = Open();
    if (ouvert)
        Ferme(); // recording states and their contents are kept
    comNumber_ = numero;
    if (ouvert)
        SetOpen(true);
}

void TApdComPort::SetBaud(qint32 baud) {
    baud_ = baud;
    if (Open())
        ReglePort(port_->setBaudRate(baud_), "la vitesse");
}

void TApdComPort::SetParity(TParite parite) {
    parite_ = parite;
    if (Open())
        ReglePort(port_->setParity(ParitePort(parite_)), "la parité");
}

void TApdComPort::SetDataBits(quint16 bits) {
    dataBits_ = bits;
    if (Open())
        ReglePort(bits >= 5 && bits <= 8 &&
                      port_->setDataBits(static_cast<QSerialPort::DataBits>(bits)),
                  "le nombre de bits de données");
}

void TApdComPort::SetStopBits(quint16 bits) {
    stopBits_ = bits;
    if (Open())
        ReglePort(port_->setStopBits(ArretsPort(bits)), "le nombre de bits d'arrêt");
}

void TApdComPort::SetHWFlowOptions(THWFlowOptions options) {
    hwFlow_ = options;
    if (Open())
        AppliqueDebit();
}

void TApdComPort::SetSWFlowOptions(TSWFlowOptions options) {
    swFlow_ = options;
    if (Open())
        AppliqueDebit();
}

void TApdComPort::AppliqueDebit() {
    ReglePort(port_->setFlowControl(ControleDeFlux(hwFlow_, swFlow_)), "le contrôle de flux");
    LeveLignes();
}

// Without a handshake the lines stay raised while the port is open. Under RTS/CTS the system
// drives RTS itself.
void TApdComPort::LeveLignes() {
    dtrBaisse_ = false;
    if (pseudoTerminal_)
        return; // no modem lines
    port_->setDataTerminalReady(true);
    if (ControleDeFlux(hwFlow_, swFlow_) != QSerialPort::HardwareControl)
        port_->setRequestToSend(true);
    port_->clearError(); // adapters without these lines refuse them; nothing depends on it
}

// A pseudo-terminal refuses some settings once open although it has no line to set: those
// refusals are skipped. A real port that refuses its setting is an error.
void TApdComPort::ReglePort(bool ok, const char* reglage) {
    if (ok || !Open())
        return;
    const auto erreur = port_->error();
    port_->clearError();
    if (pseudoTerminal_)
        return;
    throw EComm(erreur, QStringLiteral("La voie série COM%1 refuse %2 (%3) : vérifiez les réglages "
                                       "de la voie série (bouton « Configuration complète »).")
                            .arg(comNumber_)
                            .arg(QString::fromUtf8(reglage), RaisonPort(erreur)));
}

void TApdComPort::SetOpen(bool ouvert) {
    if (ouvert == Open())
        return;
    if (!ouvert) {
        Ferme();
        return;
    }
    const QString peripherique = NomPeripheriqueCom(comNumber_);
    if (dataBits_ < 5 || dataBits_ > 8)
        throw ECommOuverture(QSerialPort::UnsupportedOperationError,
                             QStringLiteral("COM%1 : %2 bits de données ne sont pas possibles : "
                                            "choisissez 7 ou 8 bits (bouton « Configuration "
                                            "complète »).")
                                 .arg(comNumber_)
                                 .arg(dataBits_));
    port_->setPortName(peripherique);
    port_->setBaudRate(baud_);
    if (EstPseudoTerminal(peripherique)) {
        // No line to set, and one left in another line state (a previous session that crashed)
        // refuses some settings: it opens with those it always accepts. A refused opening would
        // also leave it reserved (Qt makes it exclusive and does not undo that), so that only
        // root could open it again.
        port_->setParity(QSerialPort::NoParity);
        port_->setDataBits(QSerialPort::Data8);
        port_->setStopBits(QSerialPort::OneStop);
        port_->setFlowControl(QSerialPort::NoFlowControl);
    } else {
        port_->setParity(ParitePort(parite_));
        port_->setDataBits(static_cast<QSerialPort::DataBits>(dataBits_));
        port_->setStopBits(ArretsPort(stopBits_));
        port_->setFlowControl(ControleDeFlux(hwFlow_, swFlow_));
    }
    port_->open(QIODevice::ReadWrite);
    if (!port_->isOpen()) {
        const auto erreur = port_->error();
        port_->clearError();
        throw ECommOuverture(erreur, QStringLiteral("Impossible d'ouvrir la voie série COM%1 "
                                                    "(%2) : %3")
                                         .arg(comNumber_)
                                         .arg(peripherique, RemedeOuverture(peripherique, erreur)));
    }
    peripherique_ = peripherique;
    pseudoTerminal_ = EstPseudoTerminal(peripherique);
    recus_.clear();
    lus_ = 0;
    disparitionPrevue_ = false;
    LeveLignes();
    if (logging_ == tlOn)
        journal_.Note('P', "Ouverture", comNumber_);
}

void TApdComPort::Ferme() {
    if (logging_ == tlOn)
        journal_.Note('P', "Fermeture", comNumber_);
    port_->close();
    port_->clearError();
    recus_.clear();
    lus_ = 0;
}

// A dump writes what was recorded, also on a port closed since: a vanished device closes it, and
// the record of that failure is the one that matters. A port never opened recorded nothing and
// writes nothing.
void TApdComPort::SetTracing(TTraceLogState etat) {
    if (etat == tlDump && (Open() || !trace_.EstVide())) {
        tracing_ = tlOff;
        const TTraceSerie trace = std::exchange(trace_, {});
        trace.Ecrit(CheminEnregistrement(TraceName));
        return;
    }
    tracing_ = etat == tlOn ? tlOn : tlOff;
    if (tracing_ == tlOff)
        trace_.Oublie();
}

void TApdComPort::SetLogging(TTraceLogState etat) {
    if (etat == tlDump && (Open() || !journal_.EstVide())) {
        logging_ = tlOff;
        const TJournalSerie journal = std::exchange(journal_, {});
        journal.Ecrit(CheminEnregistrement(LogName), peripherique_);
        return;
    }
    logging_ = etat == tlOn ? tlOn : tlOff;
    if (logging_ == tlOff)
        journal_.Oublie();
}

void TApdComPort::VerifieOuvert() const {
    if (!Open())
        throw ECommNotOpen();
}

void TApdComPort::PurgeInput() {
    VerifieOuvert();
    port_->clear(QSerialPort::Input);
    recus_.clear();
    lus_ = 0;
    ControleDebit();
    if (logging_ == tlOn)
        journal_.Note('P', "Purge", 0);
}

bool TApdComPort::CharAvailable() {
    VerifieOuvert();
    if (EnAttente() == 0)
        Recoit();
    return EnAttente() > 0;
}

quint8 TApdComPort::ReadChar() {
    VerifieOuvert();
    if (EnAttente() == 0)
        Recoit();
    if (EnAttente() == 0)
        throw ECommTamponVide();
    const auto octet = static_cast<quint8>(recus_[lus_++]);
    if (lus_ == recus_.size()) {
        recus_.clear();
        lus_ = 0;
    } else if (lus_ >= 4096) {
        recus_.remove(0, lus_);
        lus_ = 0;
    }
    ControleDebit();
    // What Qt holds beyond the queue comes in as the queue drains; it was already announced.
    if (EnAttente() <= BufferResume && port_->bytesAvailable() > 0)
        Recoit();
    return octet;
}

void TApdComPort::WriteString(QByteArrayView octets) {
    VerifieOuvert();
    // Beyond the output queue the instrument has long stopped taking what is sent (its handshake
    // held, or it stopped reading). The stale commands are dropped, so that they do not reach it
    // out of time when it comes back, and the user is told.
    if (port_->bytesToWrite() + octets.size() > OutSize) {
        port_->clear(QSerialPort::Output);
        if (logging_ == tlOn)
            journal_.Note('E', "SortiePleine", static_cast<quint32>(octets.size()));
        throw ECommSortiePleine(comNumber_);
    }
    port_->write(octets.data(), octets.size());
    port_->flush(); // hands what it can to the system now, without waiting
    if (tracing_ == tlOn)
        trace_.Note(octets, true);
    if (logging_ == tlOn)
        journal_.Note('E', "Ecriture", static_cast<quint32>(octets.size()));
}

// Characters that came while no handler was installed were never reported: the new handler
// hears of them.
void TApdComPort::SetOnTriggerAvail(TTriggerAvailEvent gestionnaire) {
    onTriggerAvail_ = std::move(gestionnaire);
    if (!onTriggerAvail_ || !Open())
        return;
    Recoit();
    if (EnAttente() > 0)
        PrevoitAvis();
}

void TApdComPort::PrevoitAvis() {
    if (avisPrevu_)
        return;
    avisPrevu_ = true;
    QMetaObject::invokeMethod(this, &TApdComPort::Avise, Qt::QueuedConnection);
}

void TApdComPort::Recoit() {
    if (!Open())
        return;
    const qint64 place = InSize - EnAttente();
    if (place <= 0)
        return; // the rest waits in the system, which holds the instrument back
    const QByteArray nouveaux = port_->read(place);
    if (nouveaux.isEmpty())
        return;
    recus_ += nouveaux;
    if (tracing_ == tlOn)
        trace_.Note(nouveaux, false);
    if (logging_ == tlOn)
        journal_.Note('R', "Reception", static_cast<quint32>(nouveaux.size()));
    ControleDebit();
    if (onTriggerAvail_)
        PrevoitAvis();
    emit CaracteresRecus();
}

void TApdComPort::Avise() {
    avisPrevu_ = false;
    if (!onTriggerAvail_ || !Open() || EnAttente() == 0)
        return;
    const quint16 nombre = static_cast<quint16>(std::min<qint64>(EnAttente(), 0xFFFF));
    if (logging_ == tlOn)
        journal_.Note('A', "Avis", nombre);
    const TTriggerAvailEvent gestionnaire = onTriggerAvail_; // it may replace itself
    gestionnaire(*this, nombre);
}

void TApdComPort::ControleDebit() {
    if (!(hwFlow_ & hwfUseDTR) || pseudoTerminal_ || !Open())
        return;
    if (!dtrBaisse_ && EnAttente() >= BufferFull) {
        dtrBaisse_ = true;
        port_->setDataTerminalReady(false);
    } else if (dtrBaisse_ && EnAttente() <= BufferResume) {
        dtrBaisse_ = false;
        port_->setDataTerminalReady(true);
    }
}

// Qt reports a vanished device as read errors in a tight loop and leaves the port open. The port
// is closed once, from the event loop rather than inside Qt's own read handling.
void TApdComPort::ErreurPort(int erreur, int erreurSysteme) {
    if (erreur != QSerialPort::ResourceError && erreur != QSerialPort::ReadError)
        return;
    // The device is there: the bytes stay queued until the line takes them again.
    if (LigneSaturee(erreur, erreurSysteme)) {
        port_->clearError();
        return;
    }
    if (disparitionPrevue_ || !Open())
        return;
    disparitionPrevue_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!Open())
                return;
            if (logging_ == tlOn)
                journal_.Note('P', "Disparition", comNumber_);
            Ferme();
            emit Disparu(QStringLiteral("La voie série COM%1 (%2) ne répond plus : l'appareil a "
                                        "été débranché. Rebranchez-le puis choisissez de nouveau "
                                        "un mode.")
                             .arg(comNumber_)
                             .arg(peripherique_));
        },
        Qt::QueuedConnection);
}
