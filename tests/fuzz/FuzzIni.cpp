// The INI reader on any bytes: the settings read are those a written file gives back.
#include "SupportFuzz.h"

#include "instrument/FichierIni.h"
#include "instrument/SpectroJenway.h"

#include <cmath>

namespace {

bool MemesReglages(const TspectroJenway& a, const TspectroJenway& b) {
    // Reals go through 15 significant digits.
    const auto proche = [](double x, double y) {
        return x == y || std::fabs(x - y) <= 1e-14 * std::fabs(x);
    };
    return proche(a.MiniA, b.MiniA) && proche(a.MaxiA, b.MaxiA) && a.MiniL == b.MiniL &&
           a.MaxiL == b.MaxiL && a.DebutL == b.DebutL && a.FinL == b.FinL && a.PasL == b.PasL &&
           a.Com == b.Com && a.Baud == b.Baud && a.DataBits == b.DataBits && a.Parity == b.Parity &&
           a.StopBits == b.StopBits && a.Tracing == b.Tracing && a.RTS == b.RTS &&
           a.XonXoff == b.XonXoff && a.AckCommande == b.AckCommande &&
           a.FinMessage == b.FinMessage && a.TimeOut == b.TimeOut;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    const QString chemin = QStringLiteral("fuzz.INI");
    TFichierIni ini = TFichierIni::DepuisOctets(chemin, Octets(donnees, taille));
    TspectroJenway lu;
    lu.LitConfig("Spectro", ini);
    EXIGE(std::isfinite(lu.MiniA) && std::isfinite(lu.MaxiA));

    lu.EcritConfig(ini);
    TspectroJenway relu;
    relu.LitConfig("Spectro", TFichierIni::DepuisOctets(chemin, ini.Contenu()));
    EXIGE(MemesReglages(lu, relu));
    return 0;
}
