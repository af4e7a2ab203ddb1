#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class QFile;
class QLockFile;

// What a journal says of its run besides the points: mode, axes, wavelength, period, start
// time, page information. Keys and values are bytes; values may hold any byte.
using TChampsJournal = std::map<QByteArray, QByteArray>;

// The journal of the acquisition in progress: every point is appended as it is taken, so that a
// crash or a power cut loses at most the last few. Appends only fill a buffer; a writer thread
// of its own writes and syncs it every `kPointsParSync` points or every second, so the
// user-interface thread never waits for the disk. A live journal is locked, so that another
// copy of the program never takes it for the journal of an interrupted run.
class TJournal {
public:
    static constexpr int kPointsParSync = 64;

    // Journals live in `dossier` (DossierJournaux() in the program).
    explicit TJournal(QString dossier);
    ~TJournal();
    TJournal(const TJournal&) = delete;
    TJournal& operator=(const TJournal&) = delete;

    // Starts the journal of a new run, replacing any journal of this object (the old file goes
    // once the new one exists).
    void Commence(const TChampsJournal& champs);
    void AjoutePoint(double x, double y);
    // Asks for what is buffered to be written and synced now, without waiting: a point that
    // took a user's action should not wait for the next batch.
    void SynchroniseBientot();
    // Writes what is buffered and waits for it to be on disk.
    void Synchronise();
    // The run was saved, sent or discarded: its journal goes.
    void Supprime();
    // Stops journaling and unlocks the journal, keeping it: the program ends while its run is
    // still unsettled, and the next start offers it back.
    void Ferme();
    // Takes over the journal of an interrupted run restored in a window: the same run in a
    // journal of this object, the old file removed once the new one is on disk.
    void Reprend(const struct TJournalLu& lu);

    bool Actif() const { return !chemin_.isEmpty(); }
    const QString& Chemin() const { return chemin_; }
    // The fields of the journal in progress.
    const TChampsJournal& Champs() const { return champs_; }

    // Told on the user-interface thread when the run stops being protected: its journal cannot
    // be created, or stops being written (a full disk). Told once, until a journal works again.
    std::function<void(const QString&)> SurEchec;

private:
    void Ecrivain();
    bool EcritLignes(const QByteArray& lignes);
    void ArreteEcrivain();
    void Signale(const QString& texte);

    static constexpr int kEssaisNom = 100;

    QString dossier_;
    QString chemin_;
    std::unique_ptr<QLockFile> verrou_;
    TChampsJournal champs_;
    int pointsNonSynchronises_ = 0;
    bool echecSignale_ = false;
    QObject contexte_; // where the writer's report is delivered

    std::mutex garde_;
    std::condition_variable reveil_;
    std::condition_variable ecrit_;
    QByteArray aEcrire_;
    bool syncDemandee_ = false;
    bool arret_ = false;
    int descripteur_ = -1;
    bool enPanne_ = false; // a write failed: nothing more is written to this journal
    quint64 demandes_ = 0;
    quint64 faites_ = 0;
    std::thread ecrivain_;
};

struct TJournalLu {
    QString Chemin;
    TChampsJournal Champs;
    QList<double> X;
    QList<double> Y;
    QDateTime Modifie;
    // The file held more points than a run can keep; only the first ones were read.
    bool Tronque = false;
};

// The folder of the program's journals, under the user's data location; the environment
// variable JENWAY_JOURNAUX names another one (tests, several copies of the program).
QString DossierJournaux();
// Reads a journal up to its last complete point, and at most the points a run can hold (a curve's
// capacity); nothing when it is not a journal.
std::optional<TJournalLu> LitJournal(const QString& chemin);
// The journals waiting in `dossier`, oldest first: those of interrupted runs, and those that
// other copies of the program are writing (see VerrouilleJournal).
QStringList JournauxEnAttente(const QString& dossier);
// The lock of a journal: the journal is then this program's to offer, restore or set aside until
// the lock goes. Nothing when a live program holds it; the lock of a program that died is taken
// over. A folder where no lock can be made (full, read-only) holds no live journal: the lock is
// then returned untaken.
std::unique_ptr<QLockFile> VerrouilleJournal(const QString& chemin);
// Renames a journal so that it is no longer offered, keeping it; the new name. It is dated from
// now.
QString MetDeCote(const QString& chemin);
// Removes the journals set aside more than `jours` days ago, and the locks of journals that are
// gone.
void PurgeJournauxMisDeCote(const QString& dossier, int jours);
