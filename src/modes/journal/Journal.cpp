#include "modes/journal/Journal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <chrono>

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
    Supprime();
    QDir().mkpath(dossier_);
    const QString nom =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) + u'-' +
        QString::number(QCoreApplication::applicationPid()) + kExtension;
    auto fichier = std::make_unique<QFile>(QDir(dossier_).filePath(nom));
    if (!fichier->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return; // no journal is no reason to stop an acquisition
    QByteArray entete = kSignature + '\n';
    for (const auto& [cle, valeur] : champs)
        entete += "C " + cle + ' ' + valeur.toPercentEncoding() + '\n';
    fichier->write(entete);
    descripteur_ = fichier->handle();
    SurDisque(descripteur_);
    chemin_ = fichier->fileName();
    arret_ = false;
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
        syncDemandee_ = false;
        const bool arret = arret_;
        verrou.unlock();
        if (!lignes.isEmpty()) {
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
        if (!okY)
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
