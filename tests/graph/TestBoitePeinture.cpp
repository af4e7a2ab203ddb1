#include "graph/BoitePeinture.h"
#include "graph/Graphe.h"

#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A paint box whose full drawing is the graph's, as a mode window wires it.
class BoitePeintureTest : public ::testing::Test {
protected:
    BoitePeintureTest() {
        boite.resize(400, 300);
        graphe.FixeMonde(0, 0, 10, 1);
        QObject::connect(&boite, &TBoitePeinture::Peinture, [this] {
            graphe.Canvas = &boite.Canevas();
            graphe.ZoneDessin = boite.ZoneClient();
            graphe.Dessine();
        });
    }
    void AjoutePoint(double x, double y) {
        graphe.Courbe.X[graphe.Courbe.NbPoints] = x;
        graphe.Courbe.Y[graphe.Courbe.NbPoints] = y;
        ++graphe.Courbe.NbPoints;
    }
    static int PixelsBleus(const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) == qRgb(0, 0, 255);
        return n;
    }

    TBoitePeinture boite;
    Tgraphe graphe;
};

// Counts the paint events of a widget.
class CompteurPeintures final : public QObject {
public:
    explicit CompteurPeintures(QWidget& widget) { widget.installEventFilter(this); }
    int Nombre = 0;

protected:
    bool eventFilter(QObject*, QEvent* evenement) override {
        Nombre += evenement->type() == QEvent::Paint;
        return false;
    }
};

// The graph's text takes the weight of the paint box's font, as a window sets it or passes it
// down: bold letters blacken more pixels than plain ones, the lines being the same.
TEST_F(BoitePeintureTest, LeTexteSuitLaGraisseDeLaPoliceDeLaBoite) {
    const auto pixelsNoirs = [this] {
        boite.RepeintMaintenant();
        const QImage& image = boite.Image();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += qGray(image.pixel(x, y)) < 128;
        return n;
    };
    const int maigres = pixelsNoirs();
    EXPECT_FALSE(boite.Canevas().Police.Gras);
    QWidget fenetre;
    QFont grasse = fenetre.font();
    grasse.setBold(true);
    fenetre.setFont(grasse);
    boite.setParent(&fenetre); // the window's font reaches the box
    EXPECT_TRUE(boite.Canevas().Police.Gras);
    EXPECT_GT(pixelsNoirs(), maigres + 50);
    boite.setParent(nullptr);
    boite.setFont(QFont());
    EXPECT_FALSE(boite.Canevas().Police.Gras);
    EXPECT_EQ(pixelsNoirs(), maigres);
}

TEST_F(BoitePeintureTest, ReticuleDessineDeuxFoisRendLImageIntacte) {
    AjoutePoint(0, 0.2);
    AjoutePoint(10, 0.9);
    boite.RepeintMaintenant();
    const QImage avant = boite.Image().copy();
    ASSERT_EQ(avant.size(), QSize(400, 300));
    graphe.ReticuleX = 150;
    graphe.ReticuleY = 100;
    graphe.Reticule();
    const QImage avecReticule = boite.Image().copy();
    EXPECT_NE(avecReticule, avant);
    EXPECT_EQ(avecReticule.pixel(150, 2), qRgb(0, 0, 0)); // white inverted
    EXPECT_EQ(avecReticule.pixel(398, 100), qRgb(0, 0, 0));
    graphe.Reticule();
    EXPECT_EQ(boite.Image(), avant);
}

TEST_F(BoitePeintureTest, LeDernierPointSeDessineSansRepeindreLeGraphe) {
    boite.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&boite));
    QTest::qWait(10);
    const int complets = boite.NbDessinsComplets();
    ASSERT_GE(complets, 1);
    EXPECT_EQ(PixelsBleus(boite.Image()), 0);

    AjoutePoint(1, 0.1);
    graphe.TracePoint(0);
    AjoutePoint(9, 0.9);
    const CompteurPeintures peintures(boite);
    graphe.TracePoint(1);
    // The box asks for its paint by itself, as a run's timer tick leaves nothing else to do.
    EXPECT_TRUE(QTest::qWaitFor([&] { return peintures.Nombre > 0; }, 1000));
    EXPECT_GT(PixelsBleus(boite.Image()), 200); // a diagonal across most of the plot
    QTest::qWait(10);
    EXPECT_EQ(boite.NbDessinsComplets(), complets);
    EXPECT_GT(PixelsBleus(boite.grab().toImage().convertToFormat(QImage::Format_RGB32)), 200);
}

TEST_F(BoitePeintureTest, LesDemandesDeRepeintureSontRegroupees) {
    boite.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&boite));
    boite.RepeintMaintenant();
    const int complets = boite.NbDessinsComplets();
    QElapsedTimer chrono;
    chrono.start();
    for (int i = 0; i < 20; ++i) {
        boite.Repeint();
        QCoreApplication::processEvents();
    }
    // A loaded machine may take more than an interval over the requests: one more drawing for
    // each interval they took.
    const int intervalles = static_cast<int>(chrono.elapsed() / TBoitePeinture::IntervalleMinimal);
    EXPECT_LE(boite.NbDessinsComplets(), complets + 1 + intervalles);
    EXPECT_TRUE(QTest::qWaitFor([&] { return boite.NbDessinsComplets() >= complets + 1; }, 5000));
    QTest::qWait(3 * TBoitePeinture::IntervalleMinimal);
    EXPECT_LE(boite.NbDessinsComplets(), complets + 2 + intervalles);

    boite.resize(500, 350); // a new size is drawn at once, at that size
    QTest::qWait(10);
    EXPECT_EQ(boite.Image().size(), QSize(500, 350));
    EXPECT_EQ(graphe.ZoneDessin, (TRectangle{0, 0, 500, 350}));
}

// On a high-density screen (the same test run with QT_SCALE_FACTOR=2, see CMakeLists.txt) the
// picture has the screen's pixels and the screen shows it pixel for pixel, not enlarged; what is
// drawn lands where the widget's coordinates say.
TEST_F(BoitePeintureTest, ImageALaDensiteDeLEcran) {
    boite.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&boite));
    const qreal echelle = boite.devicePixelRatio();
    EXPECT_EQ(echelle, qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
    AjoutePoint(0, 0.2);
    AjoutePoint(10, 0.9);
    boite.RepeintMaintenant();
    EXPECT_EQ(boite.Image().size(), boite.size() * echelle);
    EXPECT_EQ(boite.Image().devicePixelRatio(), echelle);
    EXPECT_EQ(graphe.ZoneDessin, (TRectangle{0, 0, 400, 300}));
    graphe.ReticuleX = 150;
    graphe.ReticuleY = 100;
    graphe.Reticule();
    const int x = qRound(150 * echelle);
    EXPECT_EQ(boite.Image().pixel(x, qRound(2 * echelle)), qRgb(0, 0, 0));
    EXPECT_EQ(boite.Image().pixel(qRound(398 * echelle), qRound(100 * echelle)), qRgb(0, 0, 0));
    QTest::qWait(10);
    EXPECT_EQ(boite.grab().toImage().convertToFormat(QImage::Format_RGB32), boite.Image());
}

TEST_F(BoitePeintureTest, LaSourisEstSuivieSansBouton) {
    boite.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&boite));
    QPoint vue(-1, -1);
    QObject::connect(&boite, &TBoitePeinture::SourisDeplacee,
                     [&vue](Qt::KeyboardModifiers, int x, int y) { vue = QPoint(x, y); });
    QTest::mouseMove(&boite, QPoint(120, 80));
    EXPECT_EQ(vue, QPoint(120, 80));
}

} // namespace
