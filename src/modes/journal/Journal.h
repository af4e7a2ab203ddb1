#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

// What a journal says of its run besides the points: mode, axes, wavelength, period, start
// time, page information. Keys and values are bytes; values may hold any byte.
using TChampsJournal = std::map<QByteArray, QByteArray>;

// The journal of the acquisition in progress: every point is appended as it is taken, so that a
// crash or a power cut loses at most the last few. Appends only fill a buffer; a writer thread
// of its own writes and syncs it every `kPointsParSync` points or every second, so the
// user-interface thread never waits for the disk.
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
    // Takes over the journal of an interrupted run restored in a window: the same run in a
    // journal of this object, the old file removed once the new one is on disk.
    void Reprend(const struct TJournalLu& lu);

    bool Actif() const { return !chemin_.isEmpty(); }
    const QString& Chemin() const { return chemin_; }
    // The fields of the journal in progress.
    const TChampsJournal& Champs() const { return champs_; }

private:
    void Ecrivain();
    void ArreteEcrivain();

    QString dossier_;
    QString chemin_;
    TChampsJournal champs_;
    int pointsNonSynchronises_ = 0;

    std::mutex garde_;
    std::condition_variable reveil_;
    std::condition_variable ecrit_;
    QByteArray aEcrire_;
    bool syncDemandee_ = false;
    bool arret_ = false;
    int descripteur_ = -1;
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
};

// The folder of the program's journals, under the user's data location; the environment
// variable JENWAY_JOURNAUX names another one (tests, several copies of the program).
QString DossierJournaux();
// Reads a journal up to its last complete point; nothing when it is not a journal.
std::optional<TJournalLu> LitJournal(const QString& chemin);
// The journals of interrupted runs waiting in `dossier`, oldest first.
QStringList JournauxEnAttente(const QString& dossier);
// Renames a journal so that it is no longer offered, keeping it; the new name.
QString MetDeCote(const QString& chemin);
// Removes the journals set aside more than `jours` days ago.
void PurgeJournauxMisDeCote(const QString& dossier, int jours);
