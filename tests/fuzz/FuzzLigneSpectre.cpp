// The scan-line receiver fed the instrument's bytes as TriggerAvail hands them over, in each
// state of the window: never a crash, never more points than the curve holds.
#include "SupportFuzz.h"

#include "graph/BoitePeinture.h"
#include "instrument/SpectroJenway.h"
#include "modes/spectre/TraceSpectre.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    static TTraceSpectre* const fenetre = [] {
        auto* f = new TTraceSpectre;
        f->show();
        return f;
    }();
    if (taille == 0)
        return 0;
    // The first byte: the window's state and whether the scan ends at the usual 800 nm or
    // runs on.
    Spectro.FinL = donnees[0] & 4 ? 800 : 100000;
    TTraceSpectre& f = *fenetre;
    f.Etat = donnees[0] % 3;
    f.Graphe.Canvas = &f.PaintBox->Canevas();
    f.Graphe.ZoneDessin = f.PaintBox->ZoneClient();
    f.Graphe.Courbe.NbPoints = 0;
    f.Graphe.Courbe.NbTraces = 0;
    f.Ligne.Vide();

    f.RecoitOctets(QByteArrayView(donnees + 1, static_cast<qsizetype>(taille - 1)));

    const Tcourbe& courbe = f.Graphe.Courbe;
    EXIGE(courbe.NbPoints <= CapaciteCourbe);
    EXIGE(f.Ligne.Longueur() <= TLigneRecue::Capacite);
    for (int i = 0; i < courbe.NbPoints; ++i)
        EXIGE(std::isfinite(courbe.X[i]) && std::isfinite(courbe.Y[i]));
    return 0;
}
