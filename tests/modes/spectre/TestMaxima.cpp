#include "BoitesScriptees.h"
#include "SimulateurLance.h"
#include "graph/Courbe.h"
#include "modes/spectre/Maxima.h"

#include <QDeadlineTimer>
#include <QSerialPort>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<Tcourbe> Courbe(const std::vector<double>& x, const std::vector<double>& y) {
    auto courbe = std::make_unique<Tcourbe>();
    courbe->NbPoints = static_cast<quint16>(x.size());
    std::copy(x.begin(), x.end(), courbe->X.begin());
    std::copy(y.begin(), y.end(), courbe->Y.begin());
    return courbe;
}

// Gaussian bands (centre, height, width) sampled from 400 nm by `pas`.
std::unique_ptr<Tcourbe> Bandes(const std::vector<std::array<double, 3>>& bandes, double pas,
                                int nombre) {
    std::vector<double> x, y;
    for (int i = 0; i < nombre; ++i) {
        x.push_back(400 + i * pas);
        double a = 0;
        for (const auto& [centre, hauteur, largeur] : bandes)
            a += hauteur * std::exp(-0.5 * std::pow((x.back() - centre) / largeur, 2));
        y.push_back(a);
    }
    return Courbe(x, y);
}

TEST(Maxima, SommetsEntreLesBordsLesPlusMarquesDAbord) {
    // A range that only climbs has its highest point at the end: no band there.
    EXPECT_TRUE(MaximaAbsorption(*Courbe({400, 401, 402, 403}, {0.1, 0.2, 0.3, 0.4})).empty());
    EXPECT_TRUE(MaximaAbsorption(*Courbe({400, 401}, {0.1, 0.5})).empty());
    EXPECT_TRUE(MaximaAbsorption(Tcourbe{}).empty());
    // A flat top: its middle; the absorbance is that of the stored point there.
    std::vector<double> x(41), y(41, 0.0);
    for (int i = 0; i < 41; ++i)
        x[i] = 400 + 5 * i;
    y[19] = 0.1;
    y[20] = y[21] = 0.5;
    y[22] = 0.1;
    EXPECT_EQ(MaximaAbsorption(*Courbe(x, y)), (std::vector<TMaximum>{{502.5, 0.5}}));
    // Five bands: the three that stand out most, in the order of the wavelengths.
    const auto cinq = Bandes(
        {{450, 0.3, 8}, {500, 0.9, 8}, {550, 0.05, 8}, {600, 0.6, 8}, {650, 0.4, 8}}, 1, 300);
    const std::vector<TMaximum> trois = MaximaAbsorption(*cinq);
    ASSERT_EQ(trois.size(), 3u);
    EXPECT_NEAR(trois[0].Lambda, 500, 0.05);
    EXPECT_NEAR(trois[1].Lambda, 600, 0.05);
    EXPECT_NEAR(trois[2].Lambda, 650, 0.05);
    EXPECT_NEAR(trois[0].Absorbance, 0.9, 1e-3);
    EXPECT_EQ(MaximaAbsorption(*cinq, 5).size(), 5u);
    // Between two samples: the parabola through the top finds the band's centre; the
    // absorbance is the one stored at 510 nm.
    const auto echantillons = Bandes({{512.3, 0.8, 30}}, 5, 41);
    const std::vector<TMaximum> entre = MaximaAbsorption(*echantillons);
    ASSERT_EQ(entre.size(), 1u);
    EXPECT_NEAR(entre[0].Lambda, 512.3, 0.5);
    EXPECT_EQ(entre[0].Absorbance, echantillons->Y[22]);
}

TEST(Maxima, TexteDeLaBarreDEtat) {
    const std::vector<TMaximum> maxima = {{435.93, 0.385}, {522.04, 0.8213}};
    EXPECT_EQ(TexteMaxima(maxima),
              QStringLiteral("λmax : 435.9 nm (A = 0.385) ; 522 nm (A = 0.821)"));
    const TRegionalTemporaire virgule(u',');
    EXPECT_EQ(TexteMaxima(maxima),
              QStringLiteral("λmax : 435,9 nm (A = 0,385) ; 522 nm (A = 0,821)"));
    EXPECT_EQ(TexteMaxima({}), QString());
}

// A scan of 400 to 800 nm from the simulated instrument, with its noise, over its
// pseudo-terminal: the baseline on the blank, then `cuve` in the cell and the scan.
class MaximaDuSimulateur : public ::testing::Test {
protected:
    std::unique_ptr<Tcourbe> Balaye(const char* pas, const QByteArray& cuve) {
        auto courbe = std::make_unique<Tcourbe>();
        QSerialPort port(simulateur.Peripherique());
        if (!port.open(QIODevice::ReadWrite)) {
            ADD_FAILURE() << "port " << simulateur.Peripherique().toStdString();
            return courbe;
        }
        EXPECT_TRUE(simulateur.Controle("cuve blanc"));
        Envoie(port, QByteArray("R\rSMA\rSB400.0\rSE800.0\rSI") + pas + "\rPB\r");
        EXPECT_EQ(Ligne(port), "0.000");
        EXPECT_TRUE(simulateur.Controle(cuve));
        Envoie(port, "SS\r");
        for (;;) {
            const QList<QByteArray> champs = Ligne(port).split(',');
            if (champs.size() != 2)
                break;
            courbe->X[courbe->NbPoints] = champs[0].toDouble();
            courbe->Y[courbe->NbPoints] = champs[1].toDouble();
            if (courbe->X[courbe->NbPoints++] >= 800)
                break;
        }
        return courbe;
    }

    static void Envoie(QSerialPort& port, const QByteArray& octets) {
        port.write(octets);
        port.waitForBytesWritten(1000);
    }
    // The next line ended by CR; empty after 5 s without one.
    QByteArray Ligne(QSerialPort& port) {
        const QDeadlineTimer limite(5000);
        qsizetype fin = -1;
        while ((fin = recu_.indexOf('\r')) < 0 && !limite.hasExpired())
            if (port.waitForReadyRead(100))
                recu_ += port.readAll();
        if (fin < 0)
            return QByteArray();
        const QByteArray ligne = recu_.left(fin);
        recu_.remove(0, fin + 1);
        return ligne;
    }

    TSimulateurLance simulateur;
    QByteArray recu_;
};

// The three bands of the simulated solution (430, 520 and 610 nm) add up to two maxima: the
// first is pushed to 435.5 nm by the flank of the second, which peaks at 521.8 nm, and the band
// at 610 nm only makes a shoulder on that flank. The noise (0.002) raises no maximum of its own,
// but it moves the flat top of such a band by up to 2 nm whatever the step: within one step at
// 5 nm, within 2.5 nm at 1 nm.
TEST_F(MaximaDuSimulateur, DeuxMaximaAUnPasPresSurLeSpectreATroisBandes) {
    const std::pair<const char*, double> pas[] = {{"1.0", 1}, {"5.0", 5}};
    for (const auto& [texte, valeur] : pas) {
        SCOPED_TRACE(texte);
        const auto spectre = Balaye(texte, "cuve solution");
        ASSERT_EQ(spectre->NbPoints, static_cast<int>(400 / valeur) + 1);
        const std::vector<TMaximum> maxima = MaximaAbsorption(*spectre);
        ASSERT_EQ(maxima.size(), 2u) << TexteMaxima(maxima).toStdString();
        EXPECT_NEAR(maxima[0].Lambda, 435.5, std::max(valeur, 2.5));
        EXPECT_NEAR(maxima[1].Lambda, 521.8, std::max(valeur, 2.5));
        EXPECT_NEAR(maxima[0].Absorbance, 0.385, 0.01);
        EXPECT_NEAR(maxima[1].Absorbance, 0.821, 0.01);
    }
}

TEST_F(MaximaDuSimulateur, LeBlancSeulNaAucunMaximum) {
    const auto blanc = Balaye("1.0", "cuve blanc");
    ASSERT_EQ(blanc->NbPoints, 401);
    EXPECT_TRUE(MaximaAbsorption(*blanc).empty())
        << TexteMaxima(MaximaAbsorption(*blanc)).toStdString();
}

} // namespace
