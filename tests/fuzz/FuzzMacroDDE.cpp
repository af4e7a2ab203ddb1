// The DDE server's handling of an execute request: the bytes a client sent, cut into lines,
// then the macro handler. One message at most, whatever the text.
#include "SupportFuzz.h"

#include "exchange/FormDDE.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    static TFormDDE* const dde = new TFormDDE;
    const int avant = BoitesVues();
    dde->ExecuteMacro(LignesMacro(Octets(donnees, taille)));
    EXIGE(BoitesVues() - avant <= 1);
    return 0;
}
