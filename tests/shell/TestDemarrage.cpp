// The real program started and closed from outside, on an X server of its own (Xvfb): the order
// of its start and end (documents folder, settings read, windows, message loop, settings
// written, windows destroyed) as a user's machine sees it.
#include "OutilsTests.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

namespace {

struct TLibereX {
    void operator()(void* reponse) const { std::free(reponse); }
};
template <class T> using TReponseX = std::unique_ptr<T, TLibereX>;

// The X server the test runs on: finds the program's main window and closes it as its title-bar
// close box does (the WM_DELETE_WINDOW message a window manager sends).
class TEcranX {
public:
    TEcranX() : connexion_(xcb_connect(nullptr, &ecran_)) {}
    ~TEcranX() { xcb_disconnect(connexion_); }
    TEcranX(const TEcranX&) = delete;
    TEcranX& operator=(const TEcranX&) = delete;

    bool Ouvert() const { return xcb_connection_has_error(connexion_) == 0; }

    // The top-level window on screen of process `pid` with caption `titre`; 0 when none.
    xcb_window_t Fenetre(qint64 pid, const QByteArray& titre) {
        const xcb_atom_t atomePid = Atome("_NET_WM_PID");
        const xcb_atom_t atomeNom = Atome("_NET_WM_NAME");
        const xcb_atom_t utf8 = Atome("UTF8_STRING");
        const TReponseX<xcb_query_tree_reply_t> arbre(
            xcb_query_tree_reply(connexion_, xcb_query_tree(connexion_, Racine()), nullptr));
        if (!arbre)
            return 0;
        const xcb_window_t* fenetres = xcb_query_tree_children(arbre.get());
        for (int i = 0; i < xcb_query_tree_children_length(arbre.get()); ++i) {
            const xcb_window_t fenetre = fenetres[i];
            if (!Visible(fenetre))
                continue;
            const QByteArray pidFenetre = Propriete(fenetre, atomePid, XCB_ATOM_CARDINAL);
            quint32 valeur = 0;
            if (pidFenetre.size() != sizeof valeur)
                continue;
            std::memcpy(&valeur, pidFenetre.constData(), sizeof valeur);
            if (valeur == pid && Propriete(fenetre, atomeNom, utf8) == titre)
                return fenetre;
        }
        return 0;
    }

    // A window of the test's own, on top of the others, as another program's would be.
    xcb_window_t FenetreAuDessus() {
        const xcb_window_t fenetre = xcb_generate_id(connexion_);
        xcb_create_window(connexion_, XCB_COPY_FROM_PARENT, fenetre, Racine(), 0, 0, 1280, 1024, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_map_window(connexion_, fenetre);
        xcb_flush(connexion_);
        return fenetre;
    }

    // The top-level window on screen above all others.
    xcb_window_t Dessus() {
        const TReponseX<xcb_query_tree_reply_t> arbre(
            xcb_query_tree_reply(connexion_, xcb_query_tree(connexion_, Racine()), nullptr));
        if (!arbre)
            return 0;
        const xcb_window_t* fenetres = xcb_query_tree_children(arbre.get());
        for (int i = xcb_query_tree_children_length(arbre.get()) - 1; i >= 0; --i)
            if (Visible(fenetres[i]))
                return fenetres[i];
        return 0;
    }

    void Ferme(xcb_window_t fenetre) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = fenetre;
        message.type = Atome("WM_PROTOCOLS");
        message.data.data32[0] = Atome("WM_DELETE_WINDOW");
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connexion_, 0, fenetre, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(connexion_);
    }

private:
    xcb_window_t Racine() const {
        xcb_screen_iterator_t ecrans = xcb_setup_roots_iterator(xcb_get_setup(connexion_));
        for (int i = 0; i < ecran_; ++i)
            xcb_screen_next(&ecrans);
        return ecrans.data->root;
    }

    xcb_atom_t Atome(const char* nom) const {
        const auto demande =
            xcb_intern_atom(connexion_, 0, static_cast<uint16_t>(std::strlen(nom)), nom);
        const TReponseX<xcb_intern_atom_reply_t> reponse(
            xcb_intern_atom_reply(connexion_, demande, nullptr));
        return reponse ? reponse->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    bool Visible(xcb_window_t fenetre) const {
        const TReponseX<xcb_get_window_attributes_reply_t> attributs(
            xcb_get_window_attributes_reply(
                connexion_, xcb_get_window_attributes(connexion_, fenetre), nullptr));
        return attributs && attributs->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    QByteArray Propriete(xcb_window_t fenetre, xcb_atom_t nom, xcb_atom_t type) const {
        const TReponseX<xcb_get_property_reply_t> reponse(xcb_get_property_reply(
            connexion_, xcb_get_property(connexion_, 0, fenetre, nom, type, 0, 256), nullptr));
        if (!reponse)
            return {};
        return QByteArray(static_cast<const char*>(xcb_get_property_value(reponse.get())),
                          xcb_get_property_value_length(reponse.get()));
    }

    int ecran_ = 0;
    xcb_connection_t* connexion_;
};

// A wait on the program started: its generous limit only catches a hang, and the X server is
// asked every 50 ms.
bool AttendProgramme(const std::function<bool()>& condition, int ms = 60000) {
    return Attend(condition, ms, 50);
}

// The local sockets under `dossier`: the DDE server's lives while its window does.
QStringList Sockets(const QString& dossier) {
    QStringList sockets;
    QDirIterator entrees(dossier, QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    while (entrees.hasNext())
        sockets << entrees.next();
    return sockets;
}

// A user's machine in a temporary folder: a copy of the program (its settings file lies next
// to it), a home with no documents folder yet, private folders for journals and sockets.
class Demarrage : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ecran.Ouvert()) << "pas de serveur X";
        ASSERT_TRUE(QDir().mkpath(dossier.filePath(QStringLiteral("bin"))));
        ASSERT_TRUE(QFile::copy(
            QCoreApplication::applicationDirPath() + QStringLiteral("/jenway6500"), programme));
        const QString execution = dossier.filePath(QStringLiteral("execution"));
        ASSERT_TRUE(QDir().mkpath(execution));
        QFile::setPermissions(execution, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QProcessEnvironment environnement = QProcessEnvironment::systemEnvironment();
        environnement.insert(QStringLiteral("HOME"), dossier.filePath(QStringLiteral("maison")));
        for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR"})
            environnement.remove(QString::fromLatin1(variable));
        environnement.insert(QStringLiteral("XDG_RUNTIME_DIR"), execution);
        environnement.insert(QStringLiteral("JENWAY_DDE_ESPACE"), execution + u'/');
        environnement.insert(QStringLiteral("JENWAY_JOURNAUX"),
                             dossier.filePath(QStringLiteral("journaux")));
        environnement.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        processus.setProcessEnvironment(environnement);
        processus.setWorkingDirectory(dossier.path());
    }
    void TearDown() override {
        if (processus.state() != QProcess::NotRunning) {
            processus.kill();
            processus.waitForFinished();
        }
        // A folder a test made read-only, so that the temporary folder can go.
        ::chmod(QFile::encodeName(dossier.filePath(QStringLiteral("bin"))).constData(), 0755);
    }

    QString Erreurs() { return QString::fromLocal8Bit(processus.readAllStandardError()); }

    // The main window of the program once it is on screen; 0 when it ended first.
    xcb_window_t FenetrePrincipale(const QProcess& lance) {
        xcb_window_t fenetre = 0;
        AttendProgramme([&] {
            fenetre = ecran.Fenetre(lance.processId(), "Acquisition avec Jenway 6400, 6500");
            return fenetre != 0 || lance.state() == QProcess::NotRunning;
        });
        return fenetre;
    }

    // Starts `executable` (with `avant` in front: another user's identity) and waits for its
    // main window.
    xcb_window_t Lance(const QString& executable, const QStringList& avant = {}) {
        if (avant.isEmpty())
            processus.start(executable, QStringList());
        else
            processus.start(avant.front(), avant.mid(1) << executable);
        if (!processus.waitForStarted(60000))
            return 0;
        return FenetrePrincipale(processus);
    }

    // One connection for the whole program: Xvfb starts afresh when its last client leaves, and
    // the next test would find no server for a moment.
    static TEcranX& Ecran() {
        static TEcranX ecranPartage;
        return ecranPartage;
    }

    // The user "eleve" may go through the temporary folder and owns the home, the private folders
    // and a copy of the X server's key; the program stays the administrator's.
    void DonneAEleve() {
        ASSERT_EQ(::chmod(QFile::encodeName(dossier.path()).constData(), 0755), 0);
        const QString cle = dossier.filePath(QStringLiteral("Xauthority"));
        QFile::copy(qEnvironmentVariable("XAUTHORITY"), cle);
        QDir().mkpath(dossier.filePath(QStringLiteral("maison")));
        QDir().mkpath(dossier.filePath(QStringLiteral("journaux")));
        for (const char* nom : {"maison", "journaux", "execution", "Xauthority"})
            ASSERT_EQ(QProcess::execute(QStringLiteral("chown"),
                                        {QStringLiteral("-R"), QStringLiteral("eleve:eleve"),
                                         dossier.filePath(QString::fromLatin1(nom))}),
                      0);
        QProcessEnvironment environnement = processus.processEnvironment();
        environnement.insert(QStringLiteral("XAUTHORITY"), cle);
        processus.setProcessEnvironment(environnement);
    }

    // Closes the main window and expects a clean end: a box at exit would keep it open.
    void FermeEtAttendLaFin(xcb_window_t fenetre) {
        ecran.Ferme(fenetre);
        ASSERT_TRUE(processus.waitForFinished(60000)) << "le programme ne s'est pas arrêté";
        EXPECT_EQ(processus.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(processus.exitCode(), 0) << Erreurs().toStdString();
    }

    TEcranX& ecran = Ecran();
    QTemporaryDir dossier;
    const QString programme = dossier.filePath(QStringLiteral("bin/jenway6500"));
    const QString ini = dossier.filePath(QStringLiteral("bin/jenway6500.INI"));
    QProcess processus;
};

TEST_F(Demarrage, DossierReglagesFenetresBouclePuisReglagesEcritsEtFenetresDetruites) {
    // A few settings of a user's own; the program writes back all of them after its loop.
    const QByteArray reglages = "[Spectro]\r\nBaud=9600\r\nMaxiL=900\r\nCom=3\r\n";
    {
        QFile fichier(ini);
        ASSERT_TRUE(fichier.open(QIODevice::WriteOnly));
        fichier.write(reglages);
    }
    processus.start(programme);
    ASSERT_TRUE(processus.waitForStarted(60000));

    xcb_window_t fenetre = 0;
    ASSERT_TRUE(AttendProgramme([&] {
        fenetre = ecran.Fenetre(processus.processId(), "Acquisition avec Jenway 6400, 6500");
        return fenetre != 0 || processus.state() == QProcess::NotRunning;
    }));
    ASSERT_NE(fenetre, 0u) << Erreurs().toStdString();
    // The loop runs: the documents folder came before it, the settings are not written yet.
    EXPECT_TRUE(QFileInfo(dossier.filePath(QStringLiteral("maison/Documents/Tablarix"))).isDir());
    EXPECT_EQ(Lit(ini).toStdString(), reglages.toStdString());
    EXPECT_FALSE(Sockets(dossier.path()).isEmpty()); // the DDE window serves

    ecran.Ferme(fenetre);
    ASSERT_TRUE(processus.waitForFinished(60000));
    EXPECT_EQ(processus.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(processus.exitCode(), 0) << Erreurs().toStdString();

    // The settings read at start, written back whole once the loop was over.
    const QByteArray ecrits = Lit(ini);
    for (const char* ligne : {"Baud=9600", "MaxiL=900", "Com=3", "MiniL=325", "DataBits=7",
                              "TimeOut=9", "FinMessage=13"})
        EXPECT_TRUE(ecrits.contains(ligne)) << ligne << "\n" << ecrits.toStdString();
    // The windows are gone: the DDE server closed with its window.
    EXPECT_EQ(Sockets(dossier.path()).join(u' ').toStdString(), "");
}

// Started again while it runs: the running program comes to the front and the second ends at
// once, having shown nothing and written no settings.
TEST_F(Demarrage, UnSecondLancementRameneLePremierAuPremierPlan) {
    processus.start(programme);
    const xcb_window_t premiere = FenetrePrincipale(processus);
    ASSERT_NE(premiere, 0u) << Erreurs().toStdString();
    const xcb_window_t autre = ecran.FenetreAuDessus();
    ASSERT_TRUE(AttendProgramme([&] { return ecran.Dessus() == autre; }));

    QProcess seconde;
    seconde.setProcessEnvironment(processus.processEnvironment());
    seconde.setWorkingDirectory(dossier.path());
    seconde.start(programme);
    ASSERT_TRUE(seconde.waitForFinished(60000));
    EXPECT_EQ(seconde.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(seconde.exitCode(), 0) << seconde.readAllStandardError().toStdString();
    EXPECT_FALSE(QFileInfo::exists(ini));

    // Above the other window. The keyboard is not looked at: without a window manager the X
    // server refuses it to a request dated before the last change of focus, and with one the
    // window manager decides.
    EXPECT_TRUE(AttendProgramme([&] { return ecran.Dessus() == premiere; }, 10000));
    ecran.Ferme(premiere);
    ASSERT_TRUE(processus.waitForFinished(60000));
    EXPECT_EQ(processus.exitCode(), 0) << Erreurs().toStdString();
}

// A DDE name the program cannot take, with no instance of it behind: the program runs, and says
// that Tablarix cannot reach it.
TEST_F(Demarrage, ServeurDDEImpossibleSignale) {
    QProcessEnvironment environnement = processus.processEnvironment();
    environnement.insert(QStringLiteral("JENWAY_DDE_ESPACE"),
                         dossier.filePath(QStringLiteral("absent/")));
    processus.setProcessEnvironment(environnement);
    processus.start(programme);
    ASSERT_NE(FenetrePrincipale(processus), 0u) << Erreurs().toStdString();
    xcb_window_t boite = 0;
    ASSERT_TRUE(AttendProgramme([&] {
        boite = ecran.Fenetre(processus.processId(), "Erreur");
        return boite != 0 || processus.state() == QProcess::NotRunning;
    }));
    ASSERT_NE(boite, 0u) << Erreurs().toStdString();
    ecran.Ferme(boite);
    EXPECT_TRUE(
        AttendProgramme([&] { return ecran.Fenetre(processus.processId(), "Erreur") == 0; }));
}

// Installed in a folder whose program path is 255 characters long, the length settings paths
// used to be cut to: the settings go next to the program under their whole name, and the program
// still starts the next time.
TEST_F(Demarrage, CheminDe255CaracteresReglagesACoteProgrammeIntact) {
    QString dossierLong = dossier.filePath(QStringLiteral("long"));
    const QString nom = QStringLiteral("/jenway6500");
    while (dossierLong.size() + nom.size() < 255)
        dossierLong +=
            u'/' +
            QString(std::min<qsizetype>(200, 255 - nom.size() - dossierLong.size() - 1), u'd');
    ASSERT_TRUE(QDir().mkpath(dossierLong));
    const QString executable = dossierLong + nom;
    ASSERT_EQ(executable.size(), 255);
    ASSERT_TRUE(QFile::copy(programme, executable));
    const QByteArray octets = Lit(executable);

    for (int fois = 0; fois < 2; ++fois) {
        const xcb_window_t fenetre = Lance(executable);
        ASSERT_NE(fenetre, 0u) << "démarrage " << fois << " " << Erreurs().toStdString();
        FermeEtAttendLaFin(fenetre);
        EXPECT_TRUE(Lit(executable) == octets) << "le programme a été réécrit";
        EXPECT_TRUE(Lit(executable + QStringLiteral(".INI")).contains("[Spectro]\r\nMiniA="));
    }
}

// An installed program: its folder belongs to the administrator. Run by an ordinary user (the
// user "eleve" when the test runs as root), it reads the administrator's file next to it as its
// starting values, then keeps its settings in the user's configuration folder from one start to
// the next, without a box at exit.
TEST_F(Demarrage, ProgrammeInstalleReglagesDansLeDossierDeLUtilisateur) {
    QStringList utilisateur;
    if (::geteuid() == 0) {
        if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty() ||
            ::getpwnam("eleve") == nullptr)
            GTEST_SKIP() << "setpriv ou l'utilisateur eleve manquent";
        utilisateur = {QStringLiteral("setpriv"), QStringLiteral("--reuid=eleve"),
                       QStringLiteral("--regid=eleve"), QStringLiteral("--init-groups")};
        DonneAEleve();
    }
    {
        QFile fichier(ini);
        ASSERT_TRUE(fichier.open(QIODevice::WriteOnly));
        fichier.write("[Spectro]\r\nBaud=9600\r\n");
    }
    const QString binaires = dossier.filePath(QStringLiteral("bin"));
    ASSERT_EQ(::chmod(QFile::encodeName(binaires).constData(), 0555), 0);
    const QString personnel =
        dossier.filePath(QStringLiteral("maison/.config/jenway6500/jenway6500.INI"));

    xcb_window_t fenetre = Lance(programme, utilisateur);
    ASSERT_NE(fenetre, 0u) << Erreurs().toStdString();
    FermeEtAttendLaFin(fenetre);
    EXPECT_TRUE(Lit(personnel).contains("Baud=9600\r\n")) << Lit(personnel).toStdString();

    // The administrator changes the file next to the program; the user's settings stay.
    {
        QFile fichier(ini);
        ASSERT_TRUE(fichier.open(QIODevice::WriteOnly));
        fichier.write("[Spectro]\r\nBaud=2400\r\n");
    }
    fenetre = Lance(programme, utilisateur);
    ASSERT_NE(fenetre, 0u) << Erreurs().toStdString();
    FermeEtAttendLaFin(fenetre);
    EXPECT_TRUE(Lit(personnel).contains("Baud=9600\r\n")) << Lit(personnel).toStdString();
    EXPECT_EQ(Lit(ini), "[Spectro]\r\nBaud=2400\r\n");
}

// Log-out and shutdown send SIGTERM, a closed terminal SIGHUP, Ctrl+C SIGINT: each ends the
// program as closing its window does, its settings written and its windows closed.
TEST_F(Demarrage, SignauxDArretFinissentCommeUneFermeture) {
    for (const int numero : {SIGTERM, SIGHUP, SIGINT}) {
        QFile::remove(ini);
        const xcb_window_t fenetre = Lance(programme);
        ASSERT_NE(fenetre, 0u) << Erreurs().toStdString();
        ASSERT_EQ(::kill(static_cast<pid_t>(processus.processId()), numero), 0);
        ASSERT_TRUE(processus.waitForFinished(60000)) << numero;
        EXPECT_EQ(processus.exitStatus(), QProcess::NormalExit) << numero;
        EXPECT_EQ(processus.exitCode(), 0) << numero << Erreurs().toStdString();
        EXPECT_TRUE(Lit(ini).contains("[Spectro]\r\nMiniA=")) << numero;
        EXPECT_EQ(Sockets(dossier.path()).join(u' ').toStdString(), "") << numero;
    }
}

// Started with SIGHUP ignored (nohup), the program keeps running when its terminal closes.
TEST_F(Demarrage, SignalIgnoreAuLancementResteIgnore) {
    processus.setChildProcessModifier([] { std::signal(SIGHUP, SIG_IGN); });
    const xcb_window_t fenetre = Lance(programme);
    ASSERT_NE(fenetre, 0u) << Erreurs().toStdString();
    ASSERT_EQ(::kill(static_cast<pid_t>(processus.processId()), SIGHUP), 0);
    EXPECT_FALSE(processus.waitForFinished(500));
    FermeEtAttendLaFin(fenetre);
}

} // namespace
