// The scan-line receiver fed the instrument's bytes as TriggerAvail hands them over. One window
// lives through every input, and each input is a sequence of segments: a new scan over one of a
// few ranges (its input just purged, the purge cutting a line or not), a baseline, or more bytes
// of whatever was under way. Never a crash, never more points than the curve holds, and every
// point stored lies in the range its scan asked for, each beyond the one before.
#include "SupportFuzz.h"

#include "graph/BoitePeinture.h"
#include "instrument/SpectroJenway.h"
#include "modes/spectre/TraceSpectre.h"

#include <cmath>

namespace {

constexpr TPlageBalayage kPlages[] = {
    {400, 800, 0.2}, {400, 800, 1}, {325, 950, 5}, {100, 1000, 0.2}, {600, 650, 1}, {500, 550, 5},
};

void VerifieCourbe(const TTraceSpectre& f) {
    const Tcourbe& courbe = f.Graphe.Courbe;
    EXIGE(courbe.NbPoints <= CapaciteCourbe);
    EXIGE(f.Recepteur.Ligne().Longueur() <= TLigneRecue::Capacite);
    for (int i = 0; i < courbe.NbPoints; ++i) {
        EXIGE(std::isfinite(courbe.X[i]) && std::isfinite(courbe.Y[i]));
        EXIGE(f.Recepteur.Plage().Contient(courbe.X[i]));
        if (i > 0)
            EXIGE(courbe.X[i] > courbe.X[i - 1]);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    static TTraceSpectre* const fenetre = [] {
        auto* f = new TTraceSpectre;
        f->show();
        return f;
    }();
    TTraceSpectre& f = *fenetre;
    f.Graphe.Canvas = &f.PaintBox->Canevas();
    f.Graphe.ZoneDessin = f.PaintBox->ZoneClient();

    // Segments: a control byte, a length byte, then that many bytes of the line.
    std::size_t i = 0;
    while (i < taille) {
        const std::uint8_t controle = donnees[i++];
        const std::size_t longueur = i < taille ? donnees[i++] : 0;
        switch (controle % 3) {
        case 0:
            f.CommenceBalayage(kPlages[(controle >> 2) % std::size(kPlages)], controle & 0x80);
            break;
        case 1:
            f.Recepteur.CommenceLigneDeBase();
            break;
        default:
            break; // the bytes go on with what is under way
        }
        const std::size_t n = std::min(longueur, taille - i);
        f.RecoitOctets(QByteArrayView(donnees + i, static_cast<qsizetype>(n)));
        i += n;
        VerifieCourbe(f);
    }
    return 0;
}
