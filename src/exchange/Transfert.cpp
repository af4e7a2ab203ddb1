#include "exchange/Transfert.h"

#include "base/Controles.h"
#include "base/Encodage.h"
#include "exchange/ConstanteDlg.h"
#include "exchange/FormDDE.h"
#include "exchange/PageCourante.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {
constexpr int kNouvellePage = 1;
} // namespace

QString TexteTransfert(TModeDonnees mode, const Tgraphe& graphe) {
    return AnsiVersTexte(JoinsLignes(LignesTransfert(mode, DonneesPage(graphe))));
}

bool TransfertDonnees(TModeDonnees mode, bool envoi, const Tgraphe& graphe) {
    QGuiApplication::clipboard()->setText(TexteTransfert(mode, graphe));
    const bool nouvellePage =
        ConstanteDlg != nullptr && ConstanteDlg->NewPageCB->ItemIndex() == kNouvellePage;
    bool fait = !envoi;
    if (envoi && FormDDE != nullptr)
        fait = FormDDE->EnvoiMacro(nouvellePage ? QStringLiteral("CLIP|ADD()")
                                                : QStringLiteral("CLIP|LOAD()"));
    if (ConstanteDlg != nullptr)
        ConstanteDlg->NewPageCB->SetItemIndex(kNouvellePage);
    return fait;
}

QString TexteDonneesEnvoyees() {
    return QStringLiteral("Données envoyées à Tablarix");
}
