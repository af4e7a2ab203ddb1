// One measured figure of a benchmark, printed on a line of its own that scripts/bench gathers and
// checks against its target:
//   FIGURE <name>: <value> <unit> (cible <comparison> <target> <unit>)
// for example "FIGURE balayage_temps_fil: 1.012 ratio (cible <= 1.05 ratio)".
#pragma once

#include <cstdio>
#include <string>

// comparaison is "<=" (the figure must stay at most at the target) or ">=" (at least).
inline void ImprimeFigure(const std::string& nom, double valeur, const std::string& unite,
                          double cible, const std::string& comparaison = "<=") {
    std::printf("FIGURE %s: %.3f %s (cible %s %g %s)\n", nom.c_str(), valeur, unite.c_str(),
                comparaison.c_str(), cible, unite.c_str());
    std::fflush(stdout); // Google Benchmark writes its own table to the same stream
}
