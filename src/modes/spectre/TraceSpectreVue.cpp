// What the spectrum window shows of its graph: the frame, fitted or whole, the maxima of the last
// scan, the reticle on the curve, the table of points and the baseline under way.
#include "base/Encodage.h"
#include "base/Utilitaires.h"
#include "exchange/TableauPoints.h"
#include "graph/BoitePeinture.h"
#include "graph/Cadre.h"
#include "graph/PointProche.h"
#include "instrument/SpectroJenway.h"
#include "modes/spectre/TraceSpectre.h"

#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

namespace {

constexpr qsizetype kLongueurLecture = 25;

// A read-out of the reticle: blank, symbol, "=", the value and two blanks.
QString Lecture(const QByteArray& symbole, double valeur) {
    const QByteArray texte = ' ' + symbole + '=' + TexteVersAnsi(FloatToStr3(valeur)) + "  ";
    return AnsiVersEcran(texte.left(kLongueurLecture));
}

} // namespace

void TTraceSpectre::PaintBoxPaint() {
    Graphe.Canvas = &PaintBox->Canevas();
    Graphe.ZoneDessin = PaintBox->ZoneClient();
    Graphe.Dessine();
    if (ReticuleBtn->isChecked())
        Graphe.Reticule();
}

void TTraceSpectre::ReticuleBtnClick() {
    Graphe.Canvas = &PaintBox->Canevas();
    Graphe.Reticule();
}

// The reticle sits on the stored point nearest the pointer's wavelength and reads that point;
// without one it reads the pointer's place.
void TTraceSpectre::PaintBoxMouseMove(Qt::KeyboardModifiers, int x, int y) {
    if (!ReticuleBtn->isChecked())
        return;
    Graphe.Canvas = &PaintBox->Canevas();
    Graphe.Reticule();
    double lambda = 0;
    double absorbance = 0;
    Graphe.EcranVersMonde(x, y, lambda, absorbance);
    const Tcourbe& courbe = Graphe.Courbe;
    if (const int i = PointLePlusProche(courbe, lambda); i >= 0) {
        lambda = courbe.X[i];
        absorbance = courbe.Y[i];
        int px = -1, py = -1;
        Graphe.MondeVersEcran(lambda, absorbance, px, py);
        if (px != -1 && py != -1) {
            x = px;
            y = py;
        }
    }
    reticuleLu_ = {lambda, absorbance};
    Panels[0]->setText(Lecture("\x88", lambda));
    Panels[1]->setText(Lecture("A", absorbance));
    Graphe.ReticuleX = x;
    Graphe.ReticuleY = y;
    Graphe.Reticule();
}

void TTraceSpectre::AjusteBtnClick() {
    const std::optional<TCadre> cadre = CadreAjuste(Graphe.Courbe);
    if (!cadre)
        return;
    ChangeCadre([this, &cadre] {
        Graphe.FixeMonde(cadre->XMin, cadre->YMin, cadre->XMax, cadre->YMax);
        ajuste_ = true;
    });
}

void TTraceSpectre::VueCompleteBtnClick() {
    ChangeCadre([this] { CadreComplet(); });
}

// The reticle stays on the point it reads: its place on screen follows the new frame.
void TTraceSpectre::ChangeCadre(const std::function<void()>& change) {
    change();
    MajControles();
    const bool reticule = ReticuleBtn->isChecked();
    ReticuleBtn->setChecked(false); // the picture is drawn without it, then it goes on again
    PaintBox->RepeintMaintenant();
    if (!reticule)
        return;
    ReticuleBtn->setChecked(true);
    int x = -1, y = -1;
    Graphe.MondeVersEcran(reticuleLu_.X, reticuleLu_.Y, x, y);
    if (x != -1 && y != -1) {
        Graphe.ReticuleX = x;
        Graphe.ReticuleY = y;
    }
    Graphe.Reticule();
    PaintBox->update();
}

void TTraceSpectre::CadreComplet() {
    Graphe.FixeMonde(Spectro.MiniL, 0, Spectro.MaxiL, Spectro.MaxiA);
    ajuste_ = false;
}

void TTraceSpectre::TableauBtnClick() {
    Tableau->show();
    Tableau->raise();
    Tableau->activateWindow();
}

void TTraceSpectre::MontreMaxima() {
    maxima_ = MaximaAbsorption(Graphe.Courbe);
    Graphe.Reperes.clear();
    for (const TMaximum& m : maxima_)
        Graphe.Reperes.push_back({m.Lambda, m.Absorbance});
    PanelMaxima->setText(TexteMaxima(maxima_));
}

void TTraceSpectre::SuitLigneDeBase() {
    const bool enCours = Recepteur.Etat() == TEtatSpectre::LigneDeBaseEnCours;
    if (enCours == attenteBlanc_.isActive())
        return;
    if (enCours) {
        debutBlanc_.start();
        attenteBlanc_.start();
        AfficheAttenteBlanc();
    } else {
        attenteBlanc_.stop();
    }
    PanelBlanc->setVisible(enCours);
    AttenteBlanc->setVisible(enCours);
}

void TTraceSpectre::AfficheAttenteBlanc() {
    PanelBlanc->setText(QStringLiteral("Ligne de base… %1 s").arg(debutBlanc_.elapsed() / 1000));
}
