// One full kinetics run through the window against the simulated instrument (60 periods of 2 s,
// the clock moved on by the benchmark): the time of one sampling tick (reading, recording, the
// newest segment drawn), the delay from each reply's CR leaving the instrument to its point on
// screen (median and worst) and the resident memory after the run.
#include "Banc.h"
#include "Figures.h"
#include "base/Horloge.h"
#include "graph/BoitePeinture.h"
#include "modes/cinetique/CinetiqueForm.h"

#include <QApplication>
#include <QTimer>

#include <chrono>

namespace {

std::optional<double> AbsorbanceDeLigne(const QByteArray& ligne) {
    bool ok = false;
    const double absorbance = ligne.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(absorbance) : std::nullopt;
}

void RunCinetique(benchmark::State& etat) {
    TSimulateurHorodate appareil(
        {QStringLiteral("--sans-delai"), QStringLiteral("--graine"), QStringLiteral("1")});
    appareil.Simulateur().Controle("cuve cinetique");
    const TVoieBanc voie;
    THorlogeTest horloge(QDateTime::currentDateTime(), 1000);
    InstalleHorloge(&horloge);
    double secondesTics = 0;
    qint64 tics = 0;
    std::vector<double> delais;
    for (auto _ : etat) {
        TCinetiqueForm form;
        form.show();
        form.Timer->blockSignals(true);
        form.LambdaBtnClick();
        form.ZeroBtnClick();
        LaissePasser(20); // the zero's reply is in before the first reading
        appareil.Marque();
        TSuiviEcran ecran(*form.Oscillo, [&form] { return form.Graphe->Courbe.NbPoints; });
        form.StartBtnClick();
        while (form.Etat() == TCinetiqueForm::EtatAcquisition) {
            horloge.Avance(2000);
            const auto debut = std::chrono::steady_clock::now();
            form.TimerTimer();
            QCoreApplication::processEvents(); // the newest segment reaches the screen
            secondesTics +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
            ++tics;
        }
        const std::vector<TLigneEnvoyee> lignes = appareil.Envoyees();
        const Tcourbe& courbe = form.Graphe->Courbe;
        const std::vector<double> absorbances(courbe.Y.begin(), courbe.Y.begin() + courbe.NbPoints);
        const std::vector<double> ceux =
            DelaisEcran(lignes, ecran.Instants, absorbances, AbsorbanceDeLigne);
        if (ceux.empty() || ceux.size() != static_cast<std::size_t>(courbe.NbPoints)) {
            etat.SkipWithError("points de la cinétique introuvables dans l'horodatage");
            break;
        }
        delais.insert(delais.end(), ceux.begin(), ceux.end());
    }
    if (!etat.error_occurred()) {
        ImprimeFigure("cinetique_tic", 1000 * secondesTics / static_cast<double>(tics), "ms", 10);
        ImprimeFigure("cinetique_delai_ecran_median", Mediane(delais), "ms", 50);
        ImprimeFigure("cinetique_delai_ecran_pire", Maximum(delais), "ms", 100);
        ImprimeFigure("memoire_apres_cinetique", MemoireResidenteMo(), "Mo", 80);
    }
    etat.counters["delais_ecran"] = static_cast<double>(delais.size());
    InstalleHorloge(nullptr);
}
BENCHMARK(RunCinetique)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return ExecuteBancs<QApplication>(argc, argv);
}
