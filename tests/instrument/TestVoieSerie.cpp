#include "VoieSimulee.h"
#include "base/Horloge.h"
#include "base/Utilitaires.h"
#include "instrument/PeripheriqueCom.h"
#include "instrument/Ticks.h"

#include <QCoreApplication>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

namespace {

QByteArray LitFichier(const QString& chemin) {
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The trace and log files of a test, in the data folder (the test's own), and a fresh current
// folder that must stay empty.
class DossierCourant {
public:
    DossierCourant() : avant_(QDir::currentPath()) {
        Efface();
        QDir::setCurrent(courant_.path());
    }
    ~DossierCourant() {
        QDir::setCurrent(avant_);
        Efface();
    }
    QString Fichier(const QString& nom) const { return CheminEnregistrement(nom); }
    QStringList DansLeDossierCourant() const {
        return QDir(courant_.path()).entryList(QDir::Files);
    }

private:
    static void Efface() {
        QFile::remove(CheminEnregistrement(TApdComPort::TraceName));
        QFile::remove(CheminEnregistrement(TApdComPort::LogName));
    }
    QTemporaryDir courant_;
    QString avant_;
};

TEST(VoieSerie, ValeursALaCreationEtOperationsSurPortFerme) {
    TApdComPort voie;
    EXPECT_EQ(voie.ComNumber(), 1);
    EXPECT_EQ(voie.Baud(), 1200);
    EXPECT_EQ(voie.Parity(), TParite::Impaire);
    EXPECT_EQ(voie.DataBits(), 7);
    EXPECT_EQ(voie.StopBits(), 1);
    EXPECT_EQ(voie.HWFlowOptions(), hwfUseDTR | hwfUseRTS | hwfRequireCTS);
    EXPECT_EQ(voie.SWFlowOptions(), swfNone);
    EXPECT_FALSE(voie.Open());
    EXPECT_EQ(voie.Tracing(), tlOff);
    EXPECT_EQ(voie.Logging(), tlOff);
    EXPECT_FALSE(voie.OnTriggerAvail());

    const std::function<void()> operations[] = {
        [&] { voie.PurgeInput(); },
        [&] { voie.CharAvailable(); },
        [&] { voie.ReadChar(); },
        [&] { voie.WriteString("A\r"); },
    };
    for (const auto& operation : operations) {
        try {
            operation();
            ADD_FAILURE() << "pas d'erreur sur un port fermé";
        } catch (const ECommNotOpen& e) {
            EXPECT_EQ(e.ErrorCode(), -2007);
            // Said to the user as it is: French, and what to do.
            EXPECT_STREQ(e.what(), "La voie série n'est pas ouverte : vérifiez que l'appareil est "
                                   "branché, allumé et relié au port choisi (bouton « voie "
                                   "série »), puis choisissez de nouveau un mode.");
        }
    }
}

TEST(VoieSerie, OuvertureDUnPortAbsentEchoue) {
    qputenv("JENWAY_COM9", "/dev/pas-de-port-ici");
    TApdComPort voie;
    voie.SetComNumber(9);
    try {
        voie.SetOpen(true);
        ADD_FAILURE() << "ouvert";
    } catch (const ECommOuverture& e) { // in French, never in the system's words
        EXPECT_STREQ(e.what(), "Impossible d'ouvrir la voie série COM9 (/dev/pas-de-port-ici) : "
                               "ce port n'existe pas sur cet ordinateur. Branchez l'appareil (ou "
                               "son adaptateur USB-série), allumez-le, puis choisissez son port "
                               "(bouton « voie série »).");
    }
    EXPECT_FALSE(voie.Open());
    EXPECT_FALSE(PortComPresent(9));
    EXPECT_FALSE(PortComPresent(0));
    qunsetenv("JENWAY_COM9");
}

TEST(VoieSerie, UnPortOccupeLeDit) {
    TSimulateurLance simulateur;
    TApdComPort premier;
    premier.SetOpen(true);
    TApdComPort second;
    try {
        second.SetOpen(true);
        ADD_FAILURE() << "ouvert deux fois";
    } catch (const ECommOuverture& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()),
                  QStringLiteral("Impossible d'ouvrir la voie série COM1 (%1) : le port est occupé "
                                 "par un autre programme. Fermez ce programme, ou choisissez un "
                                 "autre port (bouton « voie série »).")
                      .arg(simulateur.Peripherique()));
    }
}

// A device the user may not open (a pseudo-terminal with mode 000, opened by a user who is not
// root): the message names the device, the reason, and the command that gives the right.
TEST(VoieSerie, UnPortInterditDitCommentEnObtenirLeDroit) {
    TSimulateurLance simulateur;
    ASSERT_EQ(::chmod(QFile::encodeName(simulateur.Peripherique()).constData(), 0), 0);
    const QString essai = QCoreApplication::applicationDirPath() + "/essai-ouverture";
    QString utilisateur;
    QProcess processus;
    if (::geteuid() == 0) {
        ASSERT_FALSE(QStandardPaths::findExecutable("runuser").isEmpty());
        utilisateur = ::getpwnam("eleve") ? "eleve" : "nobody";
        processus.start("runuser", {"-u", utilisateur, "--", essai});
    } else {
        utilisateur = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);
        processus.start(essai);
    }
    ASSERT_TRUE(processus.waitForFinished(30000));
    EXPECT_EQ(processus.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(processus.readAllStandardOutput()).trimmed(),
              QStringLiteral("Impossible d'ouvrir la voie série COM1 (%1) : l'accès à ce port est "
                             "refusé à l'utilisateur %2. Pour qu'il puisse se servir des ports "
                             "série, ajoutez-le au groupe dialout par la commande « sudo usermod "
                             "-a -G dialout %2 », puis fermez la session et reconnectez-vous.")
                  .arg(simulateur.Peripherique(), utilisateur));
}

TEST(VoieSerie, PseudoTerminalLaisseParUneSessionInterrompueSeRouvre) {
    // A session killed without closing its port leaves the terminal in its line state, which a
    // pseudo-terminal then refuses at the next opening.
    TSimulateurLance simulateur;
    const int terminal =
        ::open(simulateur.Peripherique().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    termios etat{};
    ASSERT_EQ(tcgetattr(terminal, &etat), 0);
    etat.c_iflag = IGNPAR; // the state such a session leaves behind
    etat.c_cflag = (etat.c_cflag & ~CSIZE) | CS8 | PARODD | CLOCAL | CRTSCTS;
    cfsetispeed(&etat, B1200);
    cfsetospeed(&etat, B1200);
    tcsetattr(terminal, TCSANOW, &etat);
    ::close(terminal);

    TApdComPort voie;
    voie.SetOpen(true);
    EXPECT_TRUE(voie.Open());
}

TEST(VoieSerie, NomsDesPeripheriques) {
    qunsetenv("JENWAY_COM1");
    EXPECT_EQ(NomPeripheriqueCom(1), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(NomPeripheriqueCom(11), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(NomPeripheriqueCom(31), QStringLiteral("/dev/ttyACM0"));
    EXPECT_EQ(NomPeripheriqueCom(50), QStringLiteral("/dev/ttyACM19"));
    qputenv("JENWAY_COM1", "/tmp/x/ttyV0");
    EXPECT_EQ(NomPeripheriqueCom(1), QStringLiteral("/tmp/x/ttyV0"));
    qunsetenv("JENWAY_COM1");
}

// The settings keep a port as a number: each device found is given back its number.
TEST(VoieSerie, NumeroDUnPeripherique) {
    qunsetenv("JENWAY_COM1");
    const std::pair<const char*, int> cas[] = {
        {"/dev/ttyS0", 1},     {"/dev/ttyS9", 10},   {"/dev/ttyS10", 51},  {"/dev/ttyUSB0", 11},
        {"/dev/ttyUSB19", 30}, {"/dev/ttyUSB20", 0}, {"/dev/ttyACM0", 31}, {"/dev/ttyACM19", 50},
        {"/dev/ttyACM20", 0},  {"/dev/ttyAMA0", 0},  {"/dev/ttyS", 0},     {"ttyUSB0", 0},
    };
    for (const auto& [peripherique, numero] : cas)
        EXPECT_EQ(NumeroPortCom(peripherique), numero) << peripherique;
    qputenv("JENWAY_COM1", "/tmp/x/ttyV0"); // the variable takes the number of /dev/ttyS0
    qputenv("JENWAY_COM60", "/dev/ttyUSB3");
    EXPECT_EQ(NumeroPortCom("/tmp/x/ttyV0"), 1);
    EXPECT_EQ(NumeroPortCom("/dev/ttyS0"), 0);
    EXPECT_EQ(NumeroPortCom("/dev/ttyUSB3"), 60);
    qunsetenv("JENWAY_COM1");
    qunsetenv("JENWAY_COM60");
}

using VoieOuverte = VoieSimulee;

TEST_F(VoieOuverte, PortPresentMemeTenuParUnAutre) {
    EXPECT_TRUE(PortComPresent(1)); // held open by `voie`
    voie.SetOpen(false);
    EXPECT_TRUE(PortComPresent(1));
}

// A pseudo-terminal refuses data bits and parity once open: those settings are skipped there.
TEST_F(VoieOuverte, ReglagesAppliquesAuPortOuvert) {
    voie.SetParity(TParite::Aucune);
    voie.SetDataBits(8);
    voie.SetStopBits(2);
    voie.SetBaud(9600);
    voie.SetHWFlowOptions({});
    voie.SetSWFlowOptions(swfBoth);
    EXPECT_TRUE(voie.Open());
    EXPECT_EQ(voie.DataBits(), 8);
    ASSERT_TRUE(simulateur.Controle("absorbance 0.25"));
    EXPECT_DOUBLE_EQ(Spectro.DemandeAbs(), 0.25);
}

TEST_F(VoieOuverte, NouveauNumeroRouvreLePortEtGardeLaTrace) {
    const DossierCourant dossier;
    const TSimulateurLance second(2);
    voie.SetTracing(tlOn);
    Spectro.EnvoiCommande("X");
    voie.SetComNumber(2);
    EXPECT_TRUE(voie.Open());
    EXPECT_EQ(voie.Peripherique(), second.Peripherique());
    EXPECT_EQ(voie.Tracing(), tlOn);
    Spectro.EnvoiCommande("R");
    EXPECT_EQ(second.AttendJournal(1), "R[13]\n");
    voie.SetTracing(tlDump);
    EXPECT_EQ(LitFichier(dossier.Fichier("jenway6500.TRC")), "Transmit: X[13]R[13]\r\n");
}

TEST(VoieSerie, TraceCommenceALOuvertureEtSeDeverseEnFichier) {
    const DossierCourant dossier;
    TSimulateurLance simulateur;
    ASSERT_TRUE(simulateur.Controle("absorbance 0.153"));
    TApdComPort voie;
    Spectro = TspectroJenway{};
    Spectro.Voie = &voie;
    voie.SetTracing(tlOn); // before any opening
    voie.SetLogging(tlOn);
    voie.SetOpen(true);
    Spectro.EnvoiCommande(Spectro.CmdDebutRemote);
    EXPECT_DOUBLE_EQ(Spectro.DemandeAbs(), 0.153);
    Spectro.EnvoiCommande(Spectro.CmdFinRemote);
    voie.SetTracing(tlDump);
    voie.SetLogging(tlDump);
    EXPECT_EQ(voie.Tracing(), tlOff);
    EXPECT_EQ(LitFichier(dossier.Fichier("jenway6500.TRC")),
              "Transmit: R[13]A[13]\r\n\r\nReceive: 0.153[13]\r\n\r\nTransmit: X[13]\r\n");
    const QByteArray journal = LitFichier(dossier.Fichier("jenway6500.LOG"));
    EXPECT_TRUE(journal.startsWith("Journal de la voie s\xE9rie\r\n"));
    EXPECT_TRUE(journal.contains(simulateur.Peripherique().toLatin1()));
    EXPECT_TRUE(journal.contains("  E  Ecriture      00000002\r\n"));
    EXPECT_TRUE(journal.contains("  R  Reception     00000006\r\n"));
    // In the user's data folder, not wherever the program was started from.
    EXPECT_EQ(QFileInfo(dossier.Fichier("jenway6500.TRC")).absolutePath(),
              QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    EXPECT_EQ(dossier.DansLeDossierCourant(), QStringList());
    Spectro = TspectroJenway{};
}

// The simulator reached through its symbolic link, pacing its reply at 1200 baud.
TEST(VoieSerie, SimulateurParSonLienEtALaCadenceDeLaLigne) {
    QTemporaryDir dossier;
    const QString lien = dossier.filePath(QStringLiteral("ttyJenway"));
    {
        TSimulateurLance simulateur(3, {QStringLiteral("--lien"), lien});
        ASSERT_TRUE(simulateur.Controle("absorbance 0.153"));
        qputenv("JENWAY_COM3", lien.toLocal8Bit());
        TApdComPort voie;
        voie.SetComNumber(3);
        Spectro = TspectroJenway{};
        Spectro.Voie = &voie;
        voie.SetOpen(true);
        Spectro.EnvoiCommande("R");
        QElapsedTimer chrono;
        chrono.start();
        EXPECT_DOUBLE_EQ(Spectro.DemandeAbs(), 0.153);
        EXPECT_GE(chrono.elapsed(), 40); // six characters of 10 bits at 1200 baud: 50 ms
        Spectro = TspectroJenway{};
    }
    EXPECT_FALSE(QFileInfo(lien).isSymLink()); // removed when the simulator ends
}

TEST(TraceSerie, MiseEnPageDesLignes) {
    TTraceSerie trace;
    trace.Note(QByteArray(67, 'x') + '\x01', true); // 10 + 67 + 3 = 80 columns: [1] wraps
    trace.Note(QByteArray("\xE9\r\n") + QByteArray(80, 'y'), false);
    trace.Note("Z", true);
    const QByteArray attendu = "Transmit: " + QByteArray(67, 'x') + "\r\n[1]\r\n\r\n" +
                               "Receive: [233][13][10]" + QByteArray(56, 'y') + "\r\n" +
                               QByteArray(24, 'y') + "\r\n\r\nTransmit: Z\r\n";
    EXPECT_EQ(trace.Texte(), attendu);

    TTraceSerie pleine;
    for (int i = 0; i < 32001; ++i)
        pleine.Note(i == 0 ? "q" : "b", true);
    EXPECT_FALSE(pleine.Texte().contains('q')); // only the last 32000 characters are kept
}

TEST(TraceSerie, FichierImpossibleSignale) {
    TTraceSerie trace;
    trace.Note("R", true);
    try {
        trace.Ecrit(QStringLiteral("/dossier/absent/jenway6500.TRC"));
        ADD_FAILURE() << "écrit";
    } catch (const ECommFichier& e) {
        EXPECT_STREQ(e.what(), "Impossible d'écrire le fichier /dossier/absent/jenway6500.TRC : il "
                               "ne peut pas être créé là. Vérifiez que son dossier accepte de "
                               "nouveaux fichiers.");
    }
}

TEST(Ticks, MinuterieEtRetourDuCompteur) {
    struct {
        quint32 departMs;
        quint32 ticks;
        quint32 avanceMs;
        bool expiree;
    } const cas[] = {
        {0, 9, 9 * 55, false},
        {0, 9, 10 * 55, true},
        {54, 9, 10 * 55 - 54, true},
        {110, 0, 54, false},
        {110, 0, 55, true},
        {0, 50000000, 39045158u * 55, true},
        // across the wrap of the millisecond clock
        {4294967295u - 110, 9, 300, false},
        {4294967295u - 110, 9, 560, true},
    };
    for (const auto& c : cas) {
        THorlogeTest horloge(QDateTime(QDate(2024, 1, 1), QTime(0, 0)), c.departMs);
        InstalleHorloge(&horloge);
        TMinuterieTicks minuterie;
        minuterie.ArmTickTimer(c.ticks);
        horloge.Avance(c.avanceMs);
        EXPECT_EQ(minuterie.TickTimerExpired(), c.expiree) << c.departMs << " " << c.avanceMs;
        InstalleHorloge(nullptr);
    }
    QElapsedTimer chrono;
    chrono.start();
    EXPECT_TRUE(PauseTicks(0, true));
    EXPECT_TRUE(PauseTicks(2, false));
    EXPECT_GE(chrono.elapsed(), 55);
}

// The adapter pulled out during a reading: the reading ends, the port closes and the user is
// told once, and nothing spins afterwards. How quickly is a figure of bench/; the bounds here
// only tell the vanish from the time-out (11 s) and a spin from an idle second.
TEST_F(VoieOuverte, AppareilDebrancheePendantUneLecture) {
    ASSERT_TRUE(simulateur.Controle("panne silence"));
    QSignalSpy disparu(&voie, &TApdComPort::Disparu);
    QElapsedTimer chrono;
    QTimer::singleShot(100, [&] {
        simulateur.ControleSansAttendre("debranche");
        chrono.start();
    });
    Spectro.TimeOut = 200;
    EXPECT_EQ(Spectro.DemandeAbs(), Indefini);
    EXPECT_LT(chrono.elapsed(), 5000);
    EXPECT_EQ(disparu.count(), 1);
    EXPECT_FALSE(voie.Open());
    const double cpu = MillisecondesCpu();
    QEventLoop seconde;
    QTimer::singleShot(1000, &seconde, &QEventLoop::quit);
    seconde.exec();
    EXPECT_LT(MillisecondesCpu() - cpu, 250);
    EXPECT_EQ(disparu.count(), 1);
    EXPECT_THROW(Spectro.DemandeAbs(), ECommNotOpen);
}

TEST_F(VoieOuverte, AppareilDebrancheAuRepos) {
    QSignalSpy disparu(&voie, &TApdComPort::Disparu);
    simulateur.ControleSansAttendre("debranche");
    EXPECT_TRUE(disparu.wait(5000));
    EXPECT_FALSE(voie.Open());
    EXPECT_TRUE(disparu.first().first().toString().contains(QStringLiteral("COM1")));
    EXPECT_THROW(voie.PurgeInput(), ECommNotOpen);
    EXPECT_FALSE(disparu.wait(200)); // once
}

} // namespace
