#include "graph/BoitePeinture.h"

#include <QMouseEvent>
#include <QPaintEvent>

TBoitePeinture::TBoitePeinture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    differe_.setSingleShot(true);
    connect(&differe_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    canevas_.SurDessin = [this] {
        Modifiee();
    };
    canevas_.Police.Gras = font().bold();
}

void TBoitePeinture::changeEvent(QEvent* evenement) {
    if (evenement->type() == QEvent::FontChange)
        canevas_.Police.Gras = font().bold();
    QWidget::changeEvent(evenement);
}

TRectangle TBoitePeinture::ZoneClient() const {
    return {0, 0, width(), height()};
}

void TBoitePeinture::Modifiee() {
    if (enDessin_ || modifiee_)
        return;
    modifiee_ = true;
    update();
}

QSize TBoitePeinture::TaillePixels() const {
    return (QSizeF(size()) * devicePixelRatio()).toSize();
}

bool TBoitePeinture::ImageALaTaille() const {
    return image_.size() == TaillePixels() && image_.devicePixelRatio() == devicePixelRatio();
}

// The image has the screen's pixels (twice the widget's size at a scale of 2, as a 4K screen
// has): the drawing stays in the widget's coordinates and Qt scales it, so text and lines are
// sharp rather than an enlarged low-resolution picture.
void TBoitePeinture::MetImageALaTaille() {
    if (ImageALaTaille())
        return;
    canevas_.ChangeSurface(nullptr);
    image_ = size().isEmpty() ? QImage() : QImage(TaillePixels(), QImage::Format_RGB32);
    if (!image_.isNull()) {
        image_.setDevicePixelRatio(devicePixelRatio());
        image_.fill(Qt::white);
    }
    canevas_.ChangeSurface(image_.isNull() ? nullptr : &image_);
    aRedessiner_ = true;
}

void TBoitePeinture::DessinComplet() {
    MetImageALaTaille();
    aRedessiner_ = false;
    enDessin_ = true;
    emit Peinture();
    canevas_.Termine();
    enDessin_ = false;
    ++dessinsComplets_;
    depuisDessin_.start();
}

void TBoitePeinture::Repeint() {
    aRedessiner_ = true;
    update();
}

void TBoitePeinture::RepeintMaintenant() {
    DessinComplet();
    update();
}

const QImage& TBoitePeinture::Image() {
    canevas_.Termine();
    return image_;
}

void TBoitePeinture::paintEvent(QPaintEvent* evenement) {
    const bool nouvelleTaille = !ImageALaTaille(); // resized, or moved to another screen
    if (nouvelleTaille || (aRedessiner_ && !differe_.isActive())) {
        const qint64 ecoule = depuisDessin_.isValid() ? depuisDessin_.elapsed() : IntervalleMinimal;
        if (nouvelleTaille || ecoule >= IntervalleMinimal)
            DessinComplet();
        else
            differe_.start(static_cast<int>(IntervalleMinimal - ecoule));
    }
    canevas_.Termine();
    modifiee_ = false;
    QPainter ecran(this);
    const QRect zone = evenement->rect();
    if (image_.isNull()) {
        ecran.fillRect(zone, Qt::white);
        return;
    }
    const qreal echelle = image_.devicePixelRatio();
    ecran.drawImage(zone, image_,
                    QRectF(QPointF(zone.topLeft()) * echelle, QSizeF(zone.size()) * echelle));
}

void TBoitePeinture::mouseMoveEvent(QMouseEvent* evenement) {
    const QPoint position = evenement->position().toPoint();
    emit SourisDeplacee(evenement->modifiers(), position.x(), position.y());
    QWidget::mouseMoveEvent(evenement);
}
