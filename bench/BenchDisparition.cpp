// A vanished device (USB adapter pulled out) in the middle of a scan at 115200 baud: the time
// from the line disappearing to the port closed and the user told, at most 100 ms. The clock
// starts when the order leaves for the simulator, so the figure also holds its reaction time.
// Then the CPU time of the 300 ms that follow: the closed port leaves nothing spinning.
#include "Banc.h"
#include "Figures.h"
#include "SimulateurLance.h"
#include "base/Controles.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"
#include "modes/spectre/TraceSpectre.h"
#include "shell/Fenetres.h"
#include "shell/FormMain.h"

#include <QApplication>
#include <QComboBox>
#include <QToolButton>

namespace {

void DisparitionEnBalayage(benchmark::State& etat) {
    std::vector<double> durees;
    std::vector<double> cpuApres;
    for (auto _ : etat) {
        TSimulateurLance simulateur(1, {QStringLiteral("--baud"), QStringLiteral("115200"),
                                        QStringLiteral("--graine"), QStringLiteral("1")});
        Spectro = TspectroJenway{};
        TBoitesBanc boites;
        const TFenetres fenetres;
        TTraceSpectre& f = *TraceSpectre;
        FormMain->ChoixMode(1);
        f.FinSE->SetValue(900);
        f.DebutSE->SetValue(300);
        f.PasCB->setCurrentIndex(0);
        if (!AttendQue([&f] { return f.isActiveWindow() && !f.ReglageEnCours(); }, 5000)) {
            etat.SkipWithError("fenêtre du spectre absente");
            return;
        }
        f.BlancBtn->click();
        AttendQue([&f] { return f.Recepteur.BlancFait(); }, 5000);
        f.SpectreBtn->click();
        if (!AttendQue([&f] { return f.Graphe.Courbe.NbPoints > 50; }, 5000)) {
            etat.SkipWithError("balayage sans points");
            return;
        }
        qint64 fermee = 0;
        QObject::connect(Spectro.Voie, &TApdComPort::Disparu, Spectro.Voie,
                         [&fermee] { fermee = NanosecondesMonotones(); });
        const qint64 debut = NanosecondesMonotones();
        simulateur.ControleSansAttendre("debranche");
        if (!AttendQue([&] { return fermee != 0 && !boites.Textes.isEmpty(); }, 2000) ||
            Spectro.Voie->Open()) {
            etat.SkipWithError("disparition non signalée");
            return;
        }
        const double ms =
            static_cast<double>(std::max(fermee, boites.InstantDerniere) - debut) / 1e6;
        durees.push_back(ms);
        etat.SetIterationTime(ms / 1000);
        const double cpu = MillisecondesCpu();
        LaissePasser(300);
        cpuApres.push_back(MillisecondesCpu() - cpu);
        Spectro = TspectroJenway{};
    }
    ImprimeFigure("disparition_median", Mediane(durees), "ms", 100);
    ImprimeFigure("disparition_pire", Maximum(durees), "ms", 100);
    ImprimeFigure("disparition_cpu_300ms_apres", Maximum(cpuApres), "ms", 5);
}
BENCHMARK(DisparitionEnBalayage)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return ExecuteBancs<QApplication>(argc, argv);
}
