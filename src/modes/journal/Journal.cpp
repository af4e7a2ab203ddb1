#include "modes/journal/Journal.h"

#include "graph/Courbe.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QSysInfo>

#include <chrono>
#include <cmath>
#include <limits>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <unistd.h>
#endif

namespace {

const QByteArray kSignature = "JOURNAL-JENWAY 1";
const QString kExtension = QStringLiteral(".journal");
const QString kMisDeCote = QStringLiteral(".mis-de-cote");
const QString kVerrou = QStringLiteral(".verrou");
// Bounds of what is read: a journal's lines are short and its fields few, whatever the file.
constexpr qint64 kLongueurLigneMaxi = 4096;
constexpr int kChampsMaxi = 256;

bool SurDisque(int descripteur) {
#ifdef Q_OS_WIN
    return _commit(descripteur) == 0;
#else
    return ::fdatasync(descripteur) == 0;
#endif
}

QByteArray LignePoint(double x, double y) {
    return "P " + QByteArray::number(x, 'g', 17) + ' ' + QByteArray::number(y, 'g', 17) + '\n';
}

QString TexteDossier(const QString& dossier) {
    return QDir::toNativeSeparators(dossier);
}

// A new journal file of its own, locked; nothing when the folder cannot hold one.
std::pair<std::unique_ptr<QFile>, std::unique_ptr<QLockFile>> CreeFichier(const QString& dossier,
                                                                          int essais) {
    QDir().mkpath(dossier);
    const QString base = QDir(dossier).filePath(
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) + u'-' +
        QString::number(QCoreApplication::applicationPid()));
    // Two runs started within the same millisecond each get a file of their own.
    for (int essai = 0; essai < essais; ++essai) {
        const QString nom = base + (essai ? u'-' + QString::number(essai) : QString()) + kExtension;
        auto verrou = std::make_unique<QLockFile>(nom + kVerrou);
        verrou->setStaleLockTime(0);
        if (!verrou->tryLock(0)) {
            if (verrou->error() != QLockFile::LockFailedError)
                break; // the folder refuses files
            continue;
        }
        auto fichier = std::make_unique<QFile>(nom);
        if (fichier->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            return {std::move(fichier), std::move(verrou)};
    }
    return {};
}

bool ProcessusVivant(qint64 pid) {
#ifdef Q_OS_WIN
    const HANDLE processus = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (processus == nullptr)
        return GetLastError() == ERROR_ACCESS_DENIED;
    const bool vivant = WaitForSingleObject(processus, 0) == WAIT_TIMEOUT;
    CloseHandle(processus);
    return vivant;
#else
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
#endif
}

// A lock that could not be taken: held by a live program, or left by a dead one where a new lock
// cannot be made (Qt takes a dead program's lock over by making a new one: not on a full disk).
bool ProprietaireVivant(const QLockFile& verrou) {
    qint64 pid = 0;
    QString hote;
    QString programme;
    if (!verrou.getLockInfo(&pid, &hote, &programme))
        return false;
    if (!hote.isEmpty() && hote != QSysInfo::machineHostName())
        return true; // another computer's, in a shared folder: its programs cannot be seen
    return ProcessusVivant(pid);
}

// Reads one whole line, without its line feed; false at the end of the file, or on a line cut
// short or longer than any line of a journal.
bool LitLigne(QFile& fichier, QByteArray& ligne) {
    ligne = fichier.readLine(kLongueurLigneMaxi);
    if (!ligne.endsWith('\n'))
        return false;
    ligne.chop(1);
    return true;
}

} // namespace

TJournal::TJournal(QString dossier) : dossier_(std::move(dossier)) {}

TJournal::~TJournal() {
    Ferme();
}

void TJournal::Commence(const TChampsJournal& champs) {
    auto [fichier, verrou] = CreeFichier(dossier_, kEssaisNom);
    QByteArray entete = kSignature + '\n';
    for (const auto& [cle, valeur] : champs)
        entete += "C " + cle + ' ' + valeur.toPercentEncoding() + '\n';
    // Written at once, synced by the writer: the disk never holds a journal without its header.
    const bool ouvert = fichier && fichier->write(entete) == entete.size();
    Supprime();
    if (!ouvert) {
        if (fichier)
            fichier->remove();
        // No journal is no reason to stop an acquisition; the user is told it is unprotected.
        Signale(QStringLiteral("Protection contre les arrêts brutaux hors service : le journal de "
                               "l'acquisition ne peut pas être créé dans %1 (dossier plein, "
                               "protégé en écriture ou absent). Pensez à la sauvegarder.")
                    .arg(TexteDossier(dossier_)));
        return;
    }
    echecSignale_ = false;
    descripteur_ = fichier->handle();
    chemin_ = fichier->fileName();
    verrou_ = std::move(verrou);
    champs_ = champs;
    arret_ = false;
    enPanne_ = false;
    syncDemandee_ = true;
    ecrivain_ = std::thread([this, f = std::move(fichier)]() mutable {
        Ecrivain();
        f->close();
    });
}

void TJournal::Signale(const QString& texte) {
    if (echecSignale_)
        return;
    echecSignale_ = true;
    if (SurEchec)
        SurEchec(texte);
}
void TJournal::AjoutePoint(double x, double y) {
    if (!Actif())
        return;
    const std::lock_guard verrou(garde_);
    aEcrire_ += LignePoint(x, y);
    if (++pointsNonSynchronises_ >= kPointsParSync) {
        pointsNonSynchronises_ = 0;
        syncDemandee_ = true;
        reveil_.notify_one();
    }
}

void TJournal::SynchroniseBientot() {
    if (!Actif())
        return;
    const std::lock_guard verrou(garde_);
    pointsNonSynchronises_ = 0;
    syncDemandee_ = true;
    reveil_.notify_one();
}

void TJournal::Synchronise() {
    if (!Actif())
        return;
    std::unique_lock verrou(garde_);
    syncDemandee_ = true;
    const quint64 ticket = ++demandes_;
    reveil_.notify_one();
    ecrit_.wait(verrou, [&] { return faites_ >= ticket; });
}

// Writes what the user-interface thread buffered; syncs when asked and at least every second.
void TJournal::Ecrivain() {
    std::unique_lock verrou(garde_);
    for (;;) {
        reveil_.wait_for(verrou, std::chrono::seconds(1),
                         [this] { return arret_ || syncDemandee_; });
        const QByteArray lignes = std::exchange(aEcrire_, {});
        const quint64 demandes = demandes_;
        const bool synchroniser = !enPanne_ && (syncDemandee_ || !lignes.isEmpty());
        syncDemandee_ = false;
        const bool arret = arret_;
        verrou.unlock();
        // After a failed write the journal keeps what it holds: a line written later could
        // follow a cut one.
        const bool panne = synchroniser && !EcritLignes(lignes);
        if (panne) {
            QMetaObject::invokeMethod(
                &contexte_,
                [this] {
                    Signale(QStringLiteral(
                                "Protection contre les arrêts brutaux interrompue : le journal ne "
                                "peut plus être écrit dans %1 (disque plein ?). Pensez à "
                                "sauvegarder l'acquisition.")
                                .arg(TexteDossier(dossier_)));
                },
                Qt::QueuedConnection);
        }
        verrou.lock();
        enPanne_ = enPanne_ || panne;
        faites_ = demandes;
        ecrit_.notify_all();
        if (arret)
            return;
    }
}

// Writes and syncs; false when the disk refused (full, or the file has reached its size limit).
bool TJournal::EcritLignes(const QByteArray& lignes) {
    for (qsizetype ecrit = 0; ecrit < lignes.size();) {
#ifdef Q_OS_WIN
        const auto n = _write(descripteur_, lignes.constData() + ecrit,
                              static_cast<unsigned>(lignes.size() - ecrit));
#else
        const auto n = ::write(descripteur_, lignes.constData() + ecrit,
                               static_cast<size_t>(lignes.size() - ecrit));
#endif
        if (n <= 0)
            return false;
        ecrit += n;
    }
    return SurDisque(descripteur_);
}

void TJournal::ArreteEcrivain() {
    if (!ecrivain_.joinable())
        return;
    {
        const std::lock_guard verrou(garde_);
        arret_ = true;
        reveil_.notify_one();
    }
    ecrivain_.join();
    descripteur_ = -1;
}

void TJournal::Supprime() {
    ArreteEcrivain();
    // The file goes before its lock: no other program may take it meanwhile.
    if (!chemin_.isEmpty())
        QFile::remove(chemin_);
    Ferme();
}

void TJournal::Ferme() {
    ArreteEcrivain();
    verrou_.reset();
    chemin_.clear();
    champs_.clear();
    aEcrire_.clear();
    pointsNonSynchronises_ = 0;
}

void TJournal::Reprend(const TJournalLu& lu) {
    Commence(lu.Champs);
    for (qsizetype i = 0; i < lu.X.size(); ++i)
        AjoutePoint(lu.X[i], lu.Y[i]);
    Synchronise();
    if (Actif() && lu.Chemin != chemin_)
        QFile::remove(lu.Chemin);
}

QString DossierJournaux() {
    const QString choisi = qEnvironmentVariable("JENWAY_JOURNAUX");
    if (!choisi.isEmpty())
        return choisi;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("journaux"));
}

std::optional<TJournalLu> LitJournal(const QString& chemin) {
    QFile fichier(chemin);
    QByteArray ligne;
    if (!fichier.open(QIODevice::ReadOnly) || !LitLigne(fichier, ligne) || ligne != kSignature)
        return std::nullopt;
    TJournalLu lu{chemin, {}, {}, {}, QFileInfo(chemin).lastModified()};
    int champs = 0;
    // A line cut by a power failure ends the journal; whatever follows a damaged line is not
    // trusted.
    while (LitLigne(fichier, ligne)) {
        const QList<QByteArray> mots = ligne.split(' ');
        if (mots.size() == 3 && mots[0] == "C") {
            if (++champs > kChampsMaxi)
                break;
            lu.Champs[mots[1]] = QByteArray::fromPercentEncoding(mots[2]);
            continue;
        }
        bool okX = false, okY = false;
        const double x = mots.size() == 3 && mots[0] == "P" ? mots[1].toDouble(&okX) : 0;
        const double y = okX ? mots[2].toDouble(&okY) : 0;
        if (!okY || !std::isfinite(x) || !std::isfinite(y))
            break;
        if (lu.X.size() == CapaciteCourbe) {
            lu.Tronque = true; // no run holds more: the rest is not even read
            break;
        }
        lu.X << x;
        lu.Y << y;
    }
    return lu;
}

QStringList JournauxEnAttente(const QString& dossier) {
    QStringList chemins;
    const QFileInfoList fichiers = QDir(dossier).entryInfoList(
        {QStringLiteral("*") + kExtension}, QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo& f : fichiers)
        chemins << f.absoluteFilePath();
    return chemins;
}

std::unique_ptr<QLockFile> VerrouilleJournal(const QString& chemin) {
    auto verrou = std::make_unique<QLockFile>(chemin + kVerrou);
    // A live owner keeps its lock however long its run; only a dead one loses it.
    verrou->setStaleLockTime(0);
    if (!verrou->tryLock(0) && verrou->error() == QLockFile::LockFailedError &&
        ProprietaireVivant(*verrou))
        return nullptr;
    return verrou;
}

QString MetDeCote(const QString& chemin) {
    const QString nouveau = chemin + kMisDeCote;
    QFile::remove(nouveau);
    if (!QFile::rename(chemin, nouveau))
        return chemin;
    // A renamed file keeps its date: the days before removal count from now.
    QFile misDeCote(nouveau);
    if (misDeCote.open(QIODevice::Append))
        misDeCote.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
    return nouveau;
}

void PurgeJournauxMisDeCote(const QString& dossier, int jours) {
    const QDir repertoire(dossier);
    const QDateTime limite = QDateTime::currentDateTime().addDays(-jours);
    for (const QFileInfo& f :
         repertoire.entryInfoList({QStringLiteral("*") + kMisDeCote}, QDir::Files))
        if (f.lastModified() < limite)
            QFile::remove(f.absoluteFilePath());
    // The lock of a journal removed by a program that died before removing the lock.
    for (const QFileInfo& f :
         repertoire.entryInfoList({QStringLiteral("*") + kExtension + kVerrou}, QDir::Files)) {
        const QString journal = f.absoluteFilePath().chopped(kVerrou.size());
        if (!QFile::exists(journal))
            VerrouilleJournal(journal); // taken when nobody holds it, and released: removed
    }
}
