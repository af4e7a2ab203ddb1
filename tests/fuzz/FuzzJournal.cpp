// A journal found at start, whatever its bytes: read, offered, restored in its window (every
// question answered Yes) and drawn. Never a crash nor undefined behaviour, never more points than
// a run holds, and the window's settings held together as its own controls keep them.
#include "SupportFuzz.h"

#include "base/Controles.h"
#include "exchange/ConstanteDlg.h"
#include "graph/BoitePeinture.h"
#include "modes/beer/BeerForm.h"
#include "modes/cinetique/CinetiqueForm.h"
#include "modes/journal/Journal.h"
#include "modes/spectre/TraceSpectre.h"
#include "shell/Fenetres.h"
#include "shell/Reprise.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>

namespace {

void ExigeCourbe(const Tcourbe& courbe) {
    EXIGE(courbe.NbPoints <= CapaciteCourbe);
    for (int i = 0; i < courbe.NbPoints; ++i)
        EXIGE(std::isfinite(courbe.X[i]) && std::isfinite(courbe.Y[i]));
}

void ExigeCinetique(const TCinetiqueForm& f) {
    ExigeCourbe(f.Graphe->Courbe);
    EXIGE(f.Plan.Nbre >= 15 && f.Plan.Nbre <= 4096);
    EXIGE((f.Plan.Nbre < 30 || f.Plan.Nbre % 10 == 0) &&
          (f.Plan.Nbre < 90 || f.Plan.Nbre % 30 == 0) &&
          (f.Plan.Nbre < 300 || f.Plan.Nbre % 60 == 0));
    EXIGE(f.Plan.Dt >= 2 && f.Plan.Dt == f.Plan.Duree / f.Plan.Nbre);
    EXIGE(f.LambdaSE->Value() >= f.LambdaSE->MinValue() &&
          f.LambdaSE->Value() <= f.LambdaSE->MaxValue());
}

// Each input leaves empty windows and an empty folder (and no journal writer running, which
// would look like a leak).
void Vide(const QString& dossier) {
    if (CinetiqueForm->Etat() == TCinetiqueForm::EtatFini)
        CinetiqueForm->ResetBtnClick();
    CinetiqueForm->Journal.Supprime();
    BeerForm->Graphe.Courbe.NbPoints = 0;
    BeerForm->Journal.Supprime();
    TraceSpectre->Graphe.Courbe.NbPoints = 0;
    TraceSpectre->Journal.Supprime();
    QDir repertoire(dossier);
    for (const QString& nom : repertoire.entryList(QDir::Files))
        repertoire.remove(nom);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    // In memory, so that the journal's syncs cost nothing; created before the windows, which
    // read it once.
    static const QTemporaryDir dossier(QFileInfo(QStringLiteral("/dev/shm")).isDir()
                                           ? QStringLiteral("/dev/shm/fuzz-journal-XXXXXX")
                                           : QDir::tempPath() +
                                                 QStringLiteral("/fuzz-journal-XXXXXX"));
    static const bool fenetres = [] {
        qputenv("JENWAY_JOURNAUX", QFile::encodeName(dossier.path()));
        ConstanteDlg = new TConstanteDlg;
        CinetiqueForm = new TCinetiqueForm;
        BeerForm = new TBeerForm;
        TraceSpectre = new TTraceSpectre;
        return true;
    }();
    Q_UNUSED(fenetres);
    const QString chemin = QDir(dossier.path()).filePath(QStringLiteral("essai.journal"));
    {
        QFile fichier(chemin);
        EXIGE(fichier.open(QIODevice::WriteOnly));
        fichier.write(Octets(donnees, taille));
    }

    if (const auto lu = LitJournal(chemin)) {
        EXIGE(lu->X.size() == lu->Y.size() && lu->X.size() <= CapaciteCourbe);
        EXIGE(!lu->Tronque || lu->X.size() == CapaciteCourbe);
        DescriptionJournal(*lu);
    }
    ProposeReprises(dossier.path(), RestaurationsDesFenetres());

    ExigeCinetique(*CinetiqueForm);
    CinetiqueForm->Oscillo->RepeintMaintenant();
    ExigeCourbe(BeerForm->Graphe.Courbe);
    EXIGE(BeerForm->Session.Mode <= 2);
    BeerForm->Oscillo->RepeintMaintenant();
    ExigeCourbe(TraceSpectre->Graphe.Courbe);
    TraceSpectre->PaintBox->RepeintMaintenant();
    Vide(dossier.path());
    return 0;
}
