#pragma once

#include "graph/CanevasPeintre.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

// A paint box: a widget that keeps its picture in a backing image. The owner does its full
// drawing on Canevas() when Peinture is emitted; between full drawings it may draw on Canevas()
// at any time (newest point, squares, reticle), and the change reaches the screen at Qt's next
// coalesced update. Uncovering the widget only copies the image. The canvas's font takes its
// style from the widget's font, set on the box or passed down by its window; the graph chooses
// the face and the height.
class TBoitePeinture : public QWidget {
    Q_OBJECT
public:
    explicit TBoitePeinture(QWidget* parent = nullptr);

    // The canvas of the image, to hand to a graph.
    TCanevas& Canevas() { return canevas_; }
    // The client rectangle, the drawing rectangle of a full drawing.
    TRectangle ZoneClient() const;

    // Asks for a full drawing. Requests are coalesced to at most one full drawing every
    // IntervalleMinimal milliseconds, so a burst of data cannot flood the screen.
    void Repeint();
    // A full drawing now, shown at the next update.
    void RepeintMaintenant();
    // The picture as drawn so far, in the screen's pixels: its device pixel ratio is the
    // widget's.
    const QImage& Image();
    int NbDessinsComplets() const { return dessinsComplets_; }
    // A full drawing was asked for and has not been done yet.
    bool DessinCompletEnAttente() const { return aRedessiner_; }

    static constexpr int IntervalleMinimal = 33;

signals:
    // The owner's full drawing: set the graph's canvas and rectangle, then draw.
    void Peinture();
    void SourisDeplacee(Qt::KeyboardModifiers touches, int x, int y);

protected:
    void changeEvent(QEvent* evenement) override;
    void paintEvent(QPaintEvent* evenement) override;
    void mouseMoveEvent(QMouseEvent* evenement) override;

private:
    void DessinComplet();
    QSize TaillePixels() const;
    bool ImageALaTaille() const;
    void MetImageALaTaille();
    void Modifiee();

    QImage image_;
    TCanevasPeintre canevas_;
    bool aRedessiner_ = true;
    bool enDessin_ = false;
    bool modifiee_ = false;
    int dessinsComplets_ = 0;
    QElapsedTimer depuisDessin_;
    QTimer differe_;
};
