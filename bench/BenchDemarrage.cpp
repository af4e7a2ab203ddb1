// Start-up: from the program being launched to its main window painted (offscreen), the same
// steps as the program's own main. Each launch is a fresh process, started by this benchmark
// with --enfant, so that loading the libraries counts; the median of the launches is compared
// with its target of 300 ms.
#include "Banc.h"
#include "Figures.h"
#include "base/Application.h"
#include "base/BoitesQt.h"
#include "base/Regional.h"
#include "base/Utilitaires.h"
#include "instrument/SpectroJenway.h"
#include "shell/Fenetres.h"
#include "shell/FormMain.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

namespace {

// Tells the parent on standard output once the main window's first paint is done, with the
// processor time used so far, then quits.
class TPremierePeinture final : public QObject {
protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override {
        if (evenement->type() == QEvent::Paint && !fait_) {
            fait_ = true;
            objet->removeEventFilter(this);
            objet->event(evenement);
            std::printf("montree %.3f\n", MillisecondesCpu());
            std::fflush(stdout);
            QCoreApplication::quit();
            return true;
        }
        return false;
    }

private:
    bool fait_ = false;
};

int Enfant(int argc, char** argv) {
    TApplication application(argc, argv);
    const TTraductionQt traduction;
    TBoitesQt boites;
    InstalleBoites(&boites);
    FixeRegional(TParametresRegionaux::DuSysteme());
    CreeDossierTablarix(DossierSpecial(QStandardPaths::DocumentsLocation));
    ChargeConfiguration(
        EmplacementIni(QCoreApplication::applicationFilePath(),
                       QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
            .Lecture);
    TApplication::FixeTitre(QStringLiteral("Spectrophotomètre Jenway IC6500"));
    int fin = 0;
    {
        const TFenetres fenetres;
        TPremierePeinture premiere;
        FormMain->installEventFilter(&premiere);
        FormMain->show();
        fin = TApplication::exec();
    }
    InstalleBoites(nullptr);
    return fin;
}

void Demarrage(benchmark::State& etat) {
    const QTemporaryDir maison; // the Tablarix documents folder is created there
    QProcessEnvironment environnement = QProcessEnvironment::systemEnvironment();
    environnement.insert(QStringLiteral("HOME"), maison.path());
    environnement.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    std::vector<double> durees;
    std::vector<double> cpus;
    for (auto _ : etat) {
        QProcess enfant;
        enfant.setProcessEnvironment(environnement);
        const qint64 debut = NanosecondesMonotones();
        enfant.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--enfant")});
        QByteArray sortie;
        while (!sortie.contains('\n') && enfant.waitForReadyRead(5000))
            sortie += enfant.readAllStandardOutput();
        const bool montree = sortie.startsWith("montree ");
        const double ms = static_cast<double>(NanosecondesMonotones() - debut) / 1e6;
        enfant.waitForFinished(5000);
        if (!montree) {
            etat.SkipWithError("fenêtre principale jamais montrée");
            return;
        }
        durees.push_back(ms);
        cpus.push_back(sortie.mid(8).trimmed().toDouble());
        etat.SetIterationTime(ms / 1000);
    }
    ImprimeFigure("demarrage", Mediane(durees), "ms", 300);
    // The processor time of the same start-ups: on cores shared with other work, the wall time
    // above is mostly waiting for a core, and this is what a quiet machine would approach.
    ImprimeFigure("demarrage_cpu", Mediane(cpus), "ms", 300);
}
BENCHMARK(Demarrage)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--enfant") == 0)
        return Enfant(argc, argv);
    return ExecuteBancs<QCoreApplication>(argc, argv);
}
