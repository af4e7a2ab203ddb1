#include "exchange/Transfert.h"

#include "exchange/ConstanteDlg.h"
#include "exchange/FormDDE.h"
#include "exchange/PageCourante.h"
#include "shell/Controles.h"
#include "shell/Encodage.h"
#include "shell/Fenetres.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {
constexpr int kNouvellePage = 1;
} // namespace

QString TexteTransfert(TModeDonnees mode, const Tgraphe& graphe) {
    return AnsiVersTexte(JoinsLignes(LignesTransfert(mode, DonneesPage(graphe))));
}

void TransfertDonnees(TModeDonnees mode, bool envoi, const Tgraphe& graphe) {
    QGuiApplication::clipboard()->setText(TexteTransfert(mode, graphe));
    const bool nouvellePage =
        ConstanteDlg != nullptr && ConstanteDlg->NewPageCB->ItemIndex() == kNouvellePage;
    if (envoi && FormDDE != nullptr)
        FormDDE->EnvoiMacro(nouvellePage ? QStringLiteral("CLIP|ADD()")
                                         : QStringLiteral("CLIP|LOAD()"));
    if (ConstanteDlg != nullptr)
        ConstanteDlg->NewPageCB->SetItemIndex(kNouvellePage);
}
