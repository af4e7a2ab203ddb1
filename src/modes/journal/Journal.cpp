#include "modes/journal/Journal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <chrono>
#include <cmath>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

const QByteArray kSignature = "JOURNAL-JENWAY 1";
const QString kExtension = QStringLiteral(".journal");
const QString kMisDeCote = QStringLiteral(".mis-de-cote");

void SurDisque(int descripteur) {
#ifdef Q_OS_WIN
    _commit(descripteur);
#else
    ::fdatasync(descripteur);
#endif
}

QByteArray LignePoint(double x, double y) {
    return "P " + QByteArray::number(x, 'g', 17) + ' ' + QByteArray::number(y, 'g', 17) + '\n';
}

} // namespace

TJournal::TJournal(QString dossier) : dossier_(std::move(dossier)) {}

TJournal::~TJournal() {
    ArreteEcrivain();
}

void TJournal::Commence(const TChampsJournal& champs) {
    QDir().mkpath(dossier_);
    const QString base = QDir(dossier_).filePath(
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) + u'-' +
        QString::number(QCoreApplication::applicationPid()));
    // Two runs started within the same millisecond each get a file of their own.
    auto fichier = std::make_unique<QFile>();
    for (int essai = 0; essai < 100 && !fichier->isOpen(); ++essai) {
        fichier->setFileName(base + (essai ? u'-' + QString::number(essai) : QString()) +
                             kExtension);
        fichier->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
    }
    QByteArray entete = kSignature + '\n';
    for (const auto& [cle, valeur] : champs)
        entete += "C " + cle + ' ' + valeur.toPercentEncoding() + '\n';
    // Written at once, synced by the writer: the disk never holds a journal without its header.
    const bool ouvert = fichier->isOpen() && fichier->write(entete) == entete.size();
    Supprime();
    if (!ouvert) {
        if (fichier->isOpen())
            fichier->remove();
        return; // no journal is no reason to stop an acquisition
    }
    descripteur_ = fichier->handle();
    chemin_ = fichier->fileName();
    champs_ = champs;
    arret_ = false;
    syncDemandee_ = true;
    ecrivain_ = std::thread([this, f = std::move(fichier)]() mutable {
        Ecrivain();
        f->close();
    });
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
        const bool synchroniser = syncDemandee_ || !lignes.isEmpty();
        syncDemandee_ = false;
        const bool arret = arret_;
        verrou.unlock();
        if (synchroniser) {
            for (qsizetype ecrit = 0; ecrit < lignes.size();) {
#ifdef Q_OS_WIN
                const auto n = _write(descripteur_, lignes.constData() + ecrit,
                                      static_cast<unsigned>(lignes.size() - ecrit));
#else
                const auto n = ::write(descripteur_, lignes.constData() + ecrit,
                                       static_cast<size_t>(lignes.size() - ecrit));
#endif
                if (n <= 0)
                    break; // a full disk loses the journal's tail, never the run itself
                ecrit += n;
            }
            SurDisque(descripteur_);
        }
        verrou.lock();
        faites_ = demandes;
        ecrit_.notify_all();
        if (arret)
            return;
    }
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
    if (!chemin_.isEmpty())
        QFile::remove(chemin_);
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
    if (!fichier.open(QIODevice::ReadOnly))
        return std::nullopt;
    QList<QByteArray> lignes = fichier.readAll().split('\n');
    lignes.removeLast(); // empty after the last '\n', or a line cut by a power failure
    if (lignes.isEmpty() || lignes.front() != kSignature)
        return std::nullopt;
    TJournalLu lu{chemin, {}, {}, {}, QFileInfo(chemin).lastModified()};
    for (qsizetype i = 1; i < lignes.size(); ++i) {
        const QList<QByteArray> mots = lignes[i].split(' ');
        if (mots.size() == 3 && mots[0] == "C") {
            lu.Champs[mots[1]] = QByteArray::fromPercentEncoding(mots[2]);
            continue;
        }
        bool okX = false, okY = false;
        const double x = mots.size() == 3 && mots[0] == "P" ? mots[1].toDouble(&okX) : 0;
        const double y = okX ? mots[2].toDouble(&okY) : 0;
        if (!okY || !std::isfinite(x) || !std::isfinite(y))
            break; // whatever follows a damaged line is not trusted
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

QString MetDeCote(const QString& chemin) {
    const QString nouveau = chemin + kMisDeCote;
    QFile::remove(nouveau);
    return QFile::rename(chemin, nouveau) ? nouveau : chemin;
}

void PurgeJournauxMisDeCote(const QString& dossier, int jours) {
    const QDateTime limite = QDateTime::currentDateTime().addDays(-jours);
    const QFileInfoList fichiers =
        QDir(dossier).entryInfoList({QStringLiteral("*") + kMisDeCote}, QDir::Files);
    for (const QFileInfo& f : fichiers)
        if (f.lastModified() < limite)
            QFile::remove(f.absoluteFilePath());
}
