// Spectrum scans through the real window (offscreen), from the simulated instrument at 115200
// baud over a pseudo-terminal, from 150 nm at 0.2 nm for 512, 1024, 2048 and 4097 points (the
// last one 150 to 970 nm: 4101 lines, of which the curve keeps 4097). Figures, from the first
// point stored to the last one stored and painted:
//   balayage_temps_fil_N    that time divided by the wire time of the bytes received meanwhile
//   balayage_temps_envoi_N  that time divided by the simulator's own time to send those lines
//   balayage_cpu_N          CPU time of the program divided by that time
//   balayage_repeintures_N  full drawings of the graph per second
// and, for the full scan, the delay from each line's CR leaving the instrument to its point on
// screen (median and worst), how the CPU cost grows with the run's size, and the resident memory
// after the scans.
#include "Banc.h"
#include "Figures.h"
#include "base/Controles.h"
#include "graph/BoitePeinture.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"
#include "modes/spectre/TraceSpectre.h"
#include "shell/Fenetres.h"
#include "shell/FormMain.h"

#include <QApplication>
#include <QComboBox>
#include <QTimer>
#include <QToolButton>

#include <cmath>
#include <map>
#include <string>

namespace {

constexpr int kBaud = 115200;

// What one scan measured, taken by a receive handler wrapped around the window's own.
struct TMesure {
    bool commence = false;
    bool fini = false;
    qint64 octets = 0; // received after the call that stored the first point
    qint64 debut = 0;
    double cpuDebut = 0;
    double cpu = 0;
    double ms = 0;
    int dessinsDebut = 0;
    int dessins = 0;
};

std::map<int, double> cpuParTaille; // ms of CPU for one scan, by number of points

// The wavelength of a scan line "lambda,absorbance".
std::optional<double> LambdaDeLigne(const QByteArray& ligne) {
    const qsizetype virgule = ligne.indexOf(',');
    if (virgule <= 0)
        return {};
    bool ok = false;
    const double lambda = ligne.left(virgule).trimmed().toDouble(&ok);
    return ok ? std::optional<double>(lambda) : std::nullopt;
}

void Balayage(benchmark::State& etat) {
    const int points = static_cast<int>(etat.range(0));
    const int fin =
        points == CapaciteCourbe ? 970 : 150 + static_cast<int>(std::ceil(0.2 * (points - 1)));
    TSimulateurHorodate appareil({QStringLiteral("--baud"), QString::number(kBaud),
                                  QStringLiteral("--graine"), QStringLiteral("1")});
    Spectro = TspectroJenway{};
    Spectro.MiniL = 150;
    Spectro.MaxiL = 970;
    Spectro.DebutL = 150;
    Spectro.FinL = fin;
    Spectro.PasL = 0;
    const TFenetres fenetres;
    TTraceSpectre& f = *TraceSpectre;
    FormMain->ChoixMode(1);
    if (!AttendQue([&f] { return f.isActiveWindow() && !f.ReglageEnCours(); }, 5000)) {
        etat.SkipWithError("fenêtre du spectre absente");
        return;
    }
    f.DebutSE->SetValue(150);
    f.FinSE->SetValue(fin);
    f.PasCB->setCurrentIndex(0);
    f.BlancBtn->click();
    if (!AttendQue([&f] { return f.Recepteur.BlancFait(); }, 5000)) {
        etat.SkipWithError("ligne de base sans réponse");
        return;
    }

    int dessines = 0; // points in the picture after the last full drawing
    QObject::connect(f.PaintBox, &TBoitePeinture::Peinture, &f,
                     [&] { dessines = f.Graphe.Courbe.NbPoints; });
    TSuiviEcran ecran(*f.PaintBox,
                      [&] { return std::max<int>(dessines, f.Graphe.Courbe.NbTraces); });

    TMesure mesure;
    QEventLoop attente;
    const TTriggerAvailEvent gestionnaire = Spectro.Voie->OnTriggerAvail();
    Spectro.Voie->SetOnTriggerAvail([&](TApdComPort& voie, quint16 nombre) {
        gestionnaire(voie, nombre);
        if (mesure.commence) {
            mesure.octets += nombre;
        } else if (f.Recepteur.Etat() == TEtatSpectre::BalayageEnCours &&
                   f.Graphe.Courbe.NbPoints > 0) {
            mesure.commence = true;
            mesure.debut = NanosecondesMonotones();
            mesure.cpuDebut = MillisecondesCpu();
            mesure.dessinsDebut = f.PaintBox->NbDessinsComplets();
        }
        if (mesure.commence && !mesure.fini && f.Recepteur.Etat() == TEtatSpectre::Repos) {
            mesure.fini = true;
            mesure.ms = static_cast<double>(NanosecondesMonotones() - mesure.debut) / 1e6;
            mesure.cpu = MillisecondesCpu() - mesure.cpuDebut;
            mesure.dessins = f.PaintBox->NbDessinsComplets() - mesure.dessinsDebut;
            attente.quit();
        }
    });

    double ratioFil = 0;
    double ratioCpu = 0;
    double repeintures = 0;
    double ratioEnvoi = 0;
    double cpu = 0;
    std::vector<double> delais;
    for (auto _ : etat) {
        mesure = TMesure{};
        appareil.Marque();
        f.SpectreBtn->click();
        dessines = 0;
        ecran.Vide();
        QTimer::singleShot(30000, &attente, &QEventLoop::quit);
        attente.exec();
        LaissePasser(50); // the last point's paint
        if (!mesure.fini || f.Graphe.Courbe.NbPoints < points) {
            etat.SkipWithError("balayage inachevé");
            break;
        }
        const double msFil = static_cast<double>(mesure.octets) * 10 * 1000 / kBaud;
        ratioFil += mesure.ms / msFil;
        ratioCpu += mesure.cpu / mesure.ms;
        repeintures += mesure.dessins * 1000 / mesure.ms;
        cpu += mesure.cpu;
        etat.SetIterationTime(mesure.ms / 1000);

        const std::vector<TLigneEnvoyee> lignes = appareil.Envoyees();
        const Tcourbe& courbe = f.Graphe.Courbe;
        const std::vector<double> lambdas(courbe.X.begin(), courbe.X.begin() + courbe.NbPoints);
        const std::vector<double> ceux =
            DelaisEcran(lignes, ecran.Instants, lambdas, LambdaDeLigne);
        if (ceux.size() != static_cast<std::size_t>(courbe.NbPoints)) {
            etat.SkipWithError("points du balayage introuvables dans l'horodatage");
            break;
        }
        delais.insert(delais.end(), ceux.begin(), ceux.end());
        // The simulator shares the cores: when it falls behind the wire, the program can only
        // follow. Its own sending time, from the first point's CR to the last one's, tells.
        std::vector<qint64> envois;
        for (const TLigneEnvoyee& ligne : lignes)
            if (LambdaDeLigne(ligne.Texte))
                envois.push_back(ligne.Instant);
        if (envois.size() > 1)
            ratioEnvoi += mesure.ms / (static_cast<double>(envois.back() - envois.front()) / 1e6);
    }
    if (!etat.error_occurred()) {
        const auto n = static_cast<double>(etat.iterations());
        const std::string taille = std::to_string(points);
        ImprimeFigure("balayage_temps_fil_" + taille, ratioFil / n, "ratio", 1.05);
        ImprimeFigure("balayage_temps_envoi_" + taille, ratioEnvoi / n, "ratio", 1.05);
        ImprimeFigure("balayage_cpu_" + taille, ratioCpu / n, "ratio", 0.25);
        ImprimeFigure("balayage_repeintures_" + taille, repeintures / n, "/s", 33);
        cpuParTaille[points] = cpu / n;
        if (points == CapaciteCourbe) {
            ImprimeFigure("balayage_delai_ecran_median", Mediane(delais), "ms", 50);
            ImprimeFigure("balayage_delai_ecran_pire", Maximum(delais), "ms", 100);
            // Linear growth gives 1; a scan that redrew everything for each point, about 8.
            if (cpuParTaille.count(512) && cpuParTaille[512] > 0)
                ImprimeFigure("balayage_croissance_cpu_4097_512",
                              cpuParTaille[CapaciteCourbe] / cpuParTaille[512] / (4097.0 / 512),
                              "ratio", 2);
            ImprimeFigure("memoire_apres_spectre", MemoireResidenteMo(), "Mo", 80);
        }
    }
    etat.counters["delais_ecran"] = static_cast<double>(delais.size());
    FormMain->ChoixMode(0);
    Spectro = TspectroJenway{};
}
BENCHMARK(Balayage)
    ->Arg(512)
    ->Arg(1024)
    ->Arg(2048)
    ->Arg(CapaciteCourbe)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return ExecuteBancs<QApplication>(argc, argv);
}
