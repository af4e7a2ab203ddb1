#include "graph/CanevasPeintre.h"

#include <QFontMetrics>
#include <QPaintDevice>

#include <cmath>

namespace {

QColor CouleurQt(TCouleur c) {
    return QColor(Rouge(c), Vert(c), Bleu(c));
}

QRect RectangleQt(const TRectangle& r) {
    return QRect(r.Left, r.Top, r.Largeur(), r.Hauteur());
}

// The Tablarix faces come with the analysis program; where they are missing, a face with the
// Greek letters stands in: DejaVu Sans for "Tablarix", an Arial-like face for "Arial Tablarix".
QStringList FamillesPour(const QString& nom) {
    if (nom == QLatin1String("Arial Tablarix"))
        return {nom, QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")};
    return {nom, QStringLiteral("DejaVu Sans")};
}

} // namespace

TCanevasPeintre::TCanevasPeintre(QPaintDevice* surface) : surface_(surface) {}

TCanevasPeintre::~TCanevasPeintre() {
    Termine();
}

void TCanevasPeintre::ChangeSurface(QPaintDevice* surface) {
    Termine();
    surface_ = surface;
}

bool TCanevasPeintre::Commence() {
    return Peintre() != nullptr;
}

void TCanevasPeintre::Termine() {
    VideTrace();
    if (peintre_.isActive())
        peintre_.end();
}

QPainter* TCanevasPeintre::Peintre() {
    if (peintre_.isActive())
        return &peintre_;
    if (!surface_ || surface_->width() <= 0 || surface_->height() <= 0 || !peintre_.begin(surface_))
        return nullptr;
    peintre_.setRenderHint(QPainter::Antialiasing, false);
    return &peintre_;
}

void TCanevasPeintre::AppliquePlume(const TPlume& plume) {
    QPen stylo(CouleurQt(plume.Couleur));
    // On screen one pixel wide, also on a high-density screen: a wider pen goes through Qt's
    // stroker, a hundred times slower on a 4097-point curve.
    stylo.setWidthF(largeurPlume_);
    stylo.setStyle(plume.Style == TStylePlume::Pointille ? Qt::DotLine : Qt::SolidLine);
    // Square caps would lengthen each dot by the pen's width: a wide pen's dots would run into
    // each other.
    stylo.setCapStyle(Qt::FlatCap);
    peintre_.setPen(stylo);
    peintre_.setCompositionMode(plume.Mode == TModePlume::NonOuExclusif
                                    ? QPainter::RasterOp_NotSourceXorDestination
                                    : QPainter::CompositionMode_SourceOver);
}

void TCanevasPeintre::VideTrace() {
    if (trace_.size() < 2 || !peintre_.isActive()) {
        trace_.clear();
        return;
    }
    AppliquePlume(plumeTrace_);
    peintre_.drawPolyline(trace_);
    trace_.clear();
    Signale();
}

void TCanevasPeintre::Signale() {
    if (SurDessin)
        SurDessin();
}

void TCanevasPeintre::DeplaceVers(int x, int y) {
    VideTrace();
    position_ = QPoint(x, y);
}

void TCanevasPeintre::LigneVers(int x, int y) {
    if (!trace_.isEmpty() && !(Plume == plumeTrace_))
        VideTrace();
    if (trace_.isEmpty()) {
        if (!Peintre())
            return;
        plumeTrace_ = Plume;
        trace_ << position_;
    }
    position_ = QPoint(x, y);
    trace_ << position_;
    // The line waits in the polyline until the next paint: the screen must ask for that paint
    // now, or a curve's newest segment shows only when the next one comes.
    Signale();
}

void TCanevasPeintre::RemplitRectangle(const TRectangle& r) {
    VideTrace();
    if (!Brosse.Pleine || !Peintre())
        return;
    peintre_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    peintre_.fillRect(RectangleQt(r), CouleurQt(Brosse.Couleur));
    Signale();
}

void TCanevasPeintre::Rectangle(const TRectangle& r) {
    VideTrace();
    if (!Peintre() || r.Largeur() <= 0 || r.Hauteur() <= 0)
        return;
    AppliquePlume(Plume);
    peintre_.setBrush(Brosse.Pleine ? QBrush(CouleurQt(Brosse.Couleur)) : QBrush());
    peintre_.drawRect(QRect(r.Left, r.Top, r.Largeur() - 1, r.Hauteur() - 1));
    Signale();
}

const QFont& TCanevasPeintre::Fonte() {
    if (Police.Nom == nomFonte_ && Police.Hauteur == hauteurFonte_ && Police.Gras == grasFonte_ &&
        surface_ == surfaceFonte_)
        return fonte_;
    nomFonte_ = Police.Nom;
    hauteurFonte_ = Police.Hauteur;
    grasFonte_ = Police.Gras;
    surfaceFonte_ = surface_;
    fonte_ = QFont();
    fonte_.setFamilies(FamillesPour(Police.Nom));
    fonte_.setBold(Police.Gras);
    const int hauteur = std::max(1, Police.Hauteur);
    fonte_.setPixelSize(hauteur);
    // Qt sizes the em, the platform sized the whole cell: scale so that the cell fits.
    const int cellule =
        surface_ ? QFontMetrics(fonte_, surface_).height() : QFontMetrics(fonte_).height();
    if (cellule > 0 && cellule != hauteur)
        fonte_.setPixelSize(std::max(
            1, static_cast<int>(std::lround(static_cast<double>(hauteur) * hauteur / cellule))));
    return fonte_;
}

void TCanevasPeintre::EcritTexte(int x, int y, const QString& texte) {
    VideTrace();
    if (texte.isEmpty() || !Peintre())
        return;
    const QFont& fonte = Fonte();
    const QFontMetrics mesures(fonte, surface_);
    peintre_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (Brosse.Pleine)
        peintre_.fillRect(QRect(x, y, mesures.horizontalAdvance(texte), mesures.height()),
                          CouleurQt(Brosse.Couleur));
    peintre_.setFont(fonte);
    peintre_.setPen(CouleurQt(Police.Couleur));
    peintre_.drawText(QPoint(x, y + mesures.ascent()), texte);
    Signale();
}

int TCanevasPeintre::LargeurTexte(const QString& texte) {
    return surface_ ? QFontMetrics(Fonte(), surface_).horizontalAdvance(texte)
                    : QFontMetrics(Fonte()).horizontalAdvance(texte);
}

// In drawing coordinates: an image of a high-density screen has more pixels than that.
TRectangle TCanevasPeintre::Decoupage() const {
    if (!surface_)
        return {};
    const qreal echelle = surface_->devicePixelRatio();
    return {0, 0, qRound(surface_->width() / echelle), qRound(surface_->height() / echelle)};
}
