// What the benchmarks share: their main, clocks, resident memory, waits, the simulated instrument
// and the port that talks to it, a boxes service that notes when the user is told something, and
// the record of when each point of a curve reaches the screen.
#pragma once

#include "SimulateurLance.h"
#include "base/Boites.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"

#include <QByteArray>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include <sys/resource.h>

// A benchmark program's main: its application object (QApplication where there are windows,
// offscreen unless the environment says otherwise), then every benchmark.
template <class TApplicationBanc> int ExecuteBancs(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplicationBanc application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

inline qint64 NanosecondesMonotones() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<qint64>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

inline double MillisecondesCpu() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// VmRSS of /proc/self/status, in megabytes.
inline double MemoireResidenteMo() {
    QFile statut(QStringLiteral("/proc/self/status"));
    if (!statut.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& ligne : statut.readAll().split('\n'))
        if (ligne.startsWith("VmRSS:"))
            return ligne.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// The peak resident memory of the process so far, in megabytes.
inline double PicMemoireMo() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024;
}

// Lets events run for `ms` milliseconds.
inline void LaissePasser(int ms) {
    QEventLoop boucle;
    QTimer::singleShot(ms, &boucle, &QEventLoop::quit);
    boucle.exec();
}

// Lets events run until `condition` holds; false when `ms` milliseconds passed first.
inline bool AttendQue(const std::function<bool()>& condition, int ms) {
    const qint64 limite = NanosecondesMonotones() + static_cast<qint64>(ms) * 1000000;
    while (!condition()) {
        if (NanosecondesMonotones() > limite)
            return false;
        LaissePasser(2);
    }
    return true;
}

inline double Mediane(std::vector<double> valeurs) {
    if (valeurs.empty())
        return 0;
    std::sort(valeurs.begin(), valeurs.end());
    const std::size_t milieu = valeurs.size() / 2;
    return valeurs.size() % 2 ? valeurs[milieu] : (valeurs[milieu - 1] + valeurs[milieu]) / 2;
}

inline double Maximum(const std::vector<double>& valeurs) {
    return valeurs.empty() ? 0 : *std::max_element(valeurs.begin(), valeurs.end());
}

// Answers every question as told (Reponses, then ReponseParDefaut), declines the save dialog and
// printing, runs the queued dialog scripts; notes when the last box was shown.
class TBoitesBanc final : public TServiceBoites {
public:
    TBoitesBanc() { InstalleBoites(this); }
    ~TBoitesBanc() override { InstalleBoites(nullptr); }
    TBoitesBanc(const TBoitesBanc&) = delete;
    TBoitesBanc& operator=(const TBoitesBanc&) = delete;

    TReponseBoite Affiche(const TBoite& boite) override {
        Textes.push_back(boite.Texte);
        InstantDerniere = NanosecondesMonotones();
        if (Reponses.empty())
            return boite.Boutons == TBoutonsBoite::Ok ? TReponseBoite::Ok : ReponseParDefaut;
        const TReponseBoite reponse = Reponses.front();
        Reponses.pop_front();
        return reponse;
    }
    std::optional<QString> NomSauvegarde(const TDialogueSauvegarde&) override { return {}; }
    std::optional<TDestinationImpression> DestinationImpression() override { return {}; }
    int ExecuteModal(QDialog& dialogue) override {
        if (Dialogues.empty())
            return 0; // rejected, as when the user cancels
        const auto script = Dialogues.front();
        Dialogues.pop_front();
        return script(dialogue);
    }

    QStringList Textes;
    qint64 InstantDerniere = 0;
    std::deque<TReponseBoite> Reponses;
    TReponseBoite ReponseParDefaut = TReponseBoite::Non;
    std::deque<std::function<int(QDialog&)>> Dialogues;
};

// Notes, for each point of a curve, when it first reaches the screen: after each paint of the
// graph's box, `pointsVisibles` tells how many points the picture holds.
class TSuiviEcran final : public QObject {
public:
    TSuiviEcran(QObject& boite, std::function<int()> pointsVisibles)
        : boite_(boite), pointsVisibles_(std::move(pointsVisibles)) {
        boite_.installEventFilter(this);
    }
    ~TSuiviEcran() override { boite_.removeEventFilter(this); }
    TSuiviEcran(const TSuiviEcran&) = delete;
    TSuiviEcran& operator=(const TSuiviEcran&) = delete;

    void Vide() { Instants.clear(); }

    // Nanoseconds of the monotonic clock, by point index.
    std::vector<qint64> Instants;

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override {
        if (objet != &boite_ || evenement->type() != QEvent::Paint || dansPeinture_)
            return false;
        dansPeinture_ = true;
        objet->event(evenement); // the paint itself, so that the time is taken after it
        dansPeinture_ = false;
        const qint64 maintenant = NanosecondesMonotones();
        const auto visibles = static_cast<std::size_t>(std::max(0, pointsVisibles_()));
        while (Instants.size() < visibles)
            Instants.push_back(maintenant);
        return true;
    }

private:
    QObject& boite_;
    std::function<int()> pointsVisibles_;
    bool dansPeinture_ = false;
};

// The lines the simulator sent (its --horodatage file): when each CR went out, and the line.
struct TLigneEnvoyee {
    qint64 Instant;
    QByteArray Texte;
};

inline std::vector<TLigneEnvoyee> LitHorodatage(const QString& nomFichier) {
    std::vector<TLigneEnvoyee> lignes;
    QFile fichier(nomFichier);
    if (!fichier.open(QIODevice::ReadOnly))
        return lignes;
    for (const QByteArray& ligne : fichier.readAll().split('\n')) {
        const qsizetype tab = ligne.indexOf('\t');
        if (tab > 0)
            lignes.push_back(
                {ligne.left(tab).toLongLong(), ligne.mid(tab + 1).replace("[10]", "")});
    }
    return lignes;
}

// The simulated instrument on COM1 with the time each line left it recorded (--horodatage).
// Marque() notes the lines sent so far; Envoyees() gives those sent since.
class TSimulateurHorodate {
public:
    explicit TSimulateurHorodate(QStringList options)
        : horodatage_(dossier_.filePath(QStringLiteral("horodatage"))),
          simulateur_(1, options << QStringLiteral("--horodatage") << horodatage_) {}

    TSimulateurLance& Simulateur() { return simulateur_; }
    void Marque() { lignesAvant_ = LitHorodatage(horodatage_).size(); }
    std::vector<TLigneEnvoyee> Envoyees() const {
        std::vector<TLigneEnvoyee> lignes = LitHorodatage(horodatage_);
        const std::size_t avant = std::min(lignesAvant_, lignes.size());
        lignes.erase(lignes.begin(), lignes.begin() + static_cast<std::ptrdiff_t>(avant));
        return lignes;
    }

private:
    const QTemporaryDir dossier_;
    const QString horodatage_;
    TSimulateurLance simulateur_;
    std::size_t lignesAvant_ = 0;
};

// `Spectro` on a port of its own, open to the simulated instrument on COM1 and in remote control,
// as the main window leaves it when a mode starts; the port is let go at the end.
class TVoieBanc {
public:
    TVoieBanc() {
        Spectro.Voie = &voie_;
        voie_.SetOpen(true);
        Spectro.EnvoiCommande(Spectro.CmdDebutRemote);
    }
    ~TVoieBanc() { Spectro.Voie = nullptr; }
    TVoieBanc(const TVoieBanc&) = delete;
    TVoieBanc& operator=(const TVoieBanc&) = delete;

private:
    TApdComPort voie_;
};

// Delays in milliseconds from each point's CR to its first paint. The points are found in order
// among the sent lines by their value: `valeurDeLigne` reads a line's value to compare with
// `valeurs[i]`, the curve's own record of point i.
inline std::vector<double>
DelaisEcran(const std::vector<TLigneEnvoyee>& lignes, const std::vector<qint64>& instantsEcran,
            const std::vector<double>& valeurs,
            const std::function<std::optional<double>(const QByteArray&)>& valeurDeLigne) {
    std::vector<double> delais;
    std::size_t l = 0;
    for (std::size_t i = 0; i < valeurs.size() && i < instantsEcran.size(); ++i) {
        while (l < lignes.size()) {
            const std::optional<double> valeur = valeurDeLigne(lignes[l].Texte);
            ++l;
            if (valeur && std::abs(*valeur - valeurs[i]) < 1e-6) {
                delais.push_back(static_cast<double>(instantsEcran[i] - lignes[l - 1].Instant) /
                                 1e6);
                break;
            }
        }
    }
    return delais;
}
