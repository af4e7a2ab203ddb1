#pragma once

#include "graph/Canevas.h"

#include <QFont>
#include <QPainter>
#include <QPolygon>

#include <functional>

class QPaintDevice;

// The canvas over QPainter, for an image or a printer. Painting starts with the first primitive
// (or Commence) and lasts until Termine; consecutive lines with the same pen are drawn as one
// polyline, which keeps a 4097-point curve fast.
class TCanevasPeintre final : public TCanevas {
public:
    explicit TCanevasPeintre(QPaintDevice* surface = nullptr);
    ~TCanevasPeintre() override;
    TCanevasPeintre(const TCanevasPeintre&) = delete;
    TCanevasPeintre& operator=(const TCanevasPeintre&) = delete;

    // Ends the painting on the old surface first.
    void ChangeSurface(QPaintDevice* surface);
    // False when the surface refuses to be painted (a printer that cannot start its job).
    bool Commence();
    // Everything drawn so far reaches the surface.
    void Termine();

    // Pen width in pixels of the surface; 0, the default, is one pixel whatever the surface.
    void FixeLargeurPlume(qreal largeur) { largeurPlume_ = largeur; }

    // Told after every primitive that changed the surface.
    std::function<void()> SurDessin;

    void DeplaceVers(int x, int y) override;
    void LigneVers(int x, int y) override;
    void RemplitRectangle(const TRectangle& r) override;
    void Rectangle(const TRectangle& r) override;
    void EcritTexte(int x, int y, const QString& texte) override;
    int LargeurTexte(const QString& texte) override;
    TRectangle Decoupage() const override;

private:
    QPainter* Peintre();
    void AppliquePlume(const TPlume& plume);
    const QFont& Fonte();
    void VideTrace();
    void Signale();

    QPaintDevice* surface_ = nullptr;
    QPainter peintre_;
    QPoint position_;
    QPolygon trace_; // lines not yet drawn, all with plumeTrace_
    TPlume plumeTrace_;
    qreal largeurPlume_ = 0;

    // The font of the last TPolice, resolved to an installed face and a pixel size.
    QFont fonte_;
    QString nomFonte_;
    int hauteurFonte_ = -1;
    bool grasFonte_ = false;
    QPaintDevice* surfaceFonte_ = nullptr;
};
