// What the spectrum window shows of a scan beyond its curve: the fitted frame, on screen and on
// paper, the printed page's header, the maxima, the table of points and the baseline under way.
#include "FenetreSpectre.h"
#include "LigneBrute.h"
#include "OutilsTests.h"
#include "SimulateurLance.h"
#include "exchange/ConstanteDlg.h"
#include "exchange/TableauPoints.h"
#include "graph/BoitePeinture.h"
#include "graph/Cadre.h"
#include "modes/journal/Journal.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The words of a page, each on its own.
QStringList Mots(const QStringList& lignes) {
    return lignes.join(u' ').split(u' ', Qt::SkipEmptyParts);
}

TCadre CadreDuGraphe(const Tgraphe& g) {
    return {g.MondeX.Mini, g.MondeY.Mini, g.MondeX.Maxi, g.MondeY.Maxi};
}

// Red pixels in the square of half-side `r` around (x, y), anti-aliasing allowed.
int PixelsRouges(const QImage& image, int x, int y, int r) {
    int n = 0;
    for (int j = std::max(0, y - r); j < std::min(image.height(), y + r); ++j)
        for (int i = std::max(0, x - r); i < std::min(image.width(), x + r); ++i) {
            const QColor c = image.pixelColor(i, j);
            n += c.red() > 200 && c.green() < 90 && c.blue() < 90;
        }
    return n;
}

class VueLigneBrute : public FenetreLigneBrute {
protected:
    void Balaye(const QByteArray& lignes) {
        F->SpectreBtn->click();
        ASSERT_TRUE(ligne.AttendRecu("SS\r", ++spectres));
        ligne.Envoie(lignes);
    }
    QString Imprime(const QString& nom) {
        const QString pdf = dossier.filePath(nom);
        boites.Destinations = {TDestinationImpression{{}, pdf}};
        F->PrintBtn->click();
        return pdf;
    }

    QTemporaryDir dossier;
};

// "Ajuster" fits the frame to the points on round graduations, and the page printed then shows
// that frame; "Vue complète" and a new scan bring the settings' frame back.
TEST_F(VueLigneBrute, AjusterPuisVueCompleteALEcranEtSurLaPage) {
    const TCadre complet{325, 0, 950, 3};
    EXPECT_FALSE(F->AjusteBtn->isEnabled()); // no point yet
    Balaye("400.0,0.012\r500.0,0.35\r600.0,0.821\r700.0,0.1\r800.0,-0.004\r");
    ASSERT_TRUE(Attend([this] { return F->Recepteur.Etat() == TEtatSpectre::Repos; }));
    EXPECT_EQ(CadreDuGraphe(F->Graphe), complet);
    EXPECT_FALSE(F->VueCompleteBtn->isEnabled());

    F->ReticuleBtn->click();
    int x = -1, y = -1;
    F->Graphe.MondeVersEcran(600, 2, x, y);
    QTest::mouseMove(F->PaintBox, {x, y});
    ASSERT_TRUE(Attend([this] { return F->Panels[0]->text() == " λ=600  "; }, 1000));

    F->AjusteBtn->click();
    const TCadre ajuste{400, -0.1, 800, 0.9};
    EXPECT_EQ(CadreDuGraphe(F->Graphe), ajuste);
    // The reticle follows its point into the new frame.
    F->Graphe.MondeVersEcran(600, 0.821, x, y);
    EXPECT_EQ(F->Graphe.ReticuleX, x);
    EXPECT_EQ(F->Graphe.ReticuleY, y);
    EXPECT_EQ(F->PaintBox->Image().pixel(x, 1), qRgb(0, 0, 0));
    F->ReticuleBtn->click();
    EXPECT_TRUE(F->Ajuste());
    EXPECT_TRUE(F->VueCompleteBtn->isEnabled());
    // The page's axis goes to 800 nm: no label of the whole range beyond it.
    const QStringList motsAjuste = Mots(TexteDuPdf(Imprime("ajuste.pdf")));
    EXPECT_TRUE(motsAjuste.contains("800")) << motsAjuste.join(u' ').toStdString();
    EXPECT_FALSE(motsAjuste.contains("900"));
    EXPECT_EQ(CadreDuGraphe(F->Graphe), ajuste);

    F->VueCompleteBtn->click();
    EXPECT_EQ(CadreDuGraphe(F->Graphe), complet);
    EXPECT_FALSE(F->VueCompleteBtn->isEnabled());
    EXPECT_TRUE(Mots(TexteDuPdf(Imprime("complet.pdf"))).contains("900"));

    F->AjusteBtn->click();
    Balaye("450.0,0.2\r");
    EXPECT_FALSE(F->Ajuste());
    EXPECT_EQ(CadreDuGraphe(F->Graphe), complet);
    EXPECT_FALSE(F->AjusteBtn->isEnabled()); // not during a scan
    ligne.Envoie("800.0,0.1\r");
    ASSERT_TRUE(Attend([this] { return F->AjusteBtn->isEnabled(); }));
}

// The printed page tells the mode, when, the range and step of the spectrum printed (not the
// fields changed since) and the page information, the parameter only once complete.
TEST_F(VueLigneBrute, EnTeteDeLaPageImprimee) {
    const TRegionalTemporaire virgule(u',');
    Balaye("400.0,0.1\r800.0,0.2\r");
    ASSERT_TRUE(Attend([this] { return F->Recepteur.Etat() == TEtatSpectre::Repos; }));
    Plage(500, 700, 2);
    ConstanteDlg->NomConstEdit->setText(QStringLiteral("T"));
    ConstanteDlg->UniteConstEdit->setText(QStringLiteral("°C"));
    ConstanteDlg->EditComm->setText(QStringLiteral("groupe 3, permanganate"));
    const struct {
        const char* valeur;
        bool valide;
        QStringList entete; // after the title line
    } cas[] = {
        {"25", true, {"λ de 400 à 800 nm, pas de 0,2 nm", "T = 25 °C", "groupe 3, permanganate"}},
        {"", false, {"λ de 400 à 800 nm, pas de 0,2 nm", "groupe 3, permanganate"}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.valeur);
        ConstanteDlg->ValeurConstEdit->setText(QString::fromUtf8(c.valeur));
        ConstanteDlg->ConstanteValide = c.valide;
        const QStringList texte = TexteDuPdf(Imprime(QStringLiteral("entete.pdf")));
        ASSERT_GT(texte.size(), c.entete.size()) << texte.join(u'\n').toStdString();
        EXPECT_TRUE(texte[0].startsWith("Tracé de spectre — ")) << texte[0].toStdString();
        EXPECT_EQ(texte.mid(1, c.entete.size()), c.entete) << texte.join(u'\n').toStdString();
    }
}

// The table follows the scan point by point once open, empties with a new scan, and a table
// opened later catches up.
TEST_F(VueLigneBrute, TableauSuitLeBalayage) {
    const TRegionalTemporaire virgule(u',');
    F->TableauBtn->click();
    ASSERT_TRUE(F->Tableau->isVisible());
    const QAbstractItemModel& modele = *F->Tableau->Grille->model();
    EXPECT_EQ(modele.rowCount(), 0);
    Balaye("400.0,0.1\r400.2,0.25\r");
    ASSERT_TRUE(Attend([&] { return modele.rowCount() == 2; }));
    EXPECT_EQ(modele.index(1, 0).data().toString(), "400,2");
    EXPECT_EQ(modele.index(1, 1).data().toString(), "0,25");
    ligne.Envoie("400.4,0.3\r800.0,0.2\r");
    ASSERT_TRUE(Attend([&] { return modele.rowCount() == 4; }));

    Balaye("");
    EXPECT_EQ(modele.rowCount(), 0);
    F->Tableau->hide();
    ligne.Envoie("500.0,0.5\r800.0,0.2\r");
    ASSERT_TRUE(Attend([this] { return F->Recepteur.Etat() == TEtatSpectre::Repos; }));
    F->TableauBtn->click();
    EXPECT_EQ(modele.rowCount(), 2);
}

// While the instrument makes its baseline the status bar counts the seconds beside a busy bar;
// both go when it answers or when it is given up.
TEST_F(VueLigneBrute, LigneDeBaseEnCoursPuisFinie) {
    EXPECT_FALSE(F->PanelBlanc->isVisible());
    EXPECT_FALSE(F->AttenteBlanc->isVisible());
    const std::pair<const char*, QByteArray> fins[] = {{"réponse", "0.000\r"}, {"silence", ""}};
    for (const auto& [nom, reponse] : fins) {
        SCOPED_TRACE(nom);
        F->Recepteur.DelaiLigneDeBase = 2500;
        F->BlancBtn->click();
        EXPECT_TRUE(F->PanelBlanc->isVisible());
        EXPECT_TRUE(F->AttenteBlanc->isVisible());
        EXPECT_EQ(F->AttenteBlanc->maximum(), 0); // busy
        EXPECT_EQ(F->PanelBlanc->text(), "Ligne de base… 0 s");
        ASSERT_TRUE(
            Attend([this] { return F->PanelBlanc->text() == "Ligne de base… 1 s"; }, 2400, 20));
        ligne.Envoie(reponse);
        ASSERT_TRUE(Attend([this] { return !F->PanelBlanc->isVisible(); }, 4000, 20));
        EXPECT_FALSE(F->AttenteBlanc->isVisible());
        EXPECT_EQ(F->Recepteur.BlancFait(), !reponse.isEmpty());
    }
    EXPECT_TRUE(F->Panels[2]->text().startsWith("Ligne de base sans réponse"));
}

class VueSimulee : public FenetreSpectre {
protected:
    void SetUp() override { Ouvre(); }

    TSimulateurLance simulateur;
};

// The maxima of the three-band solution, found at the end of the scan: in the status bar and
// marked in red under the curve, on screen after any full drawing and on the printed page; a
// new scan takes them away.
TEST_F(VueSimulee, MaximaDuDernierSpectreAfficheesEtMarquees) {
    Plage(400, 800, 1);
    LigneDeBase();
    ASSERT_TRUE(simulateur.Controle("cuve solution"));
    F->SpectreBtn->click();
    ASSERT_TRUE(Attend([this] { return F->Recepteur.Etat() == TEtatSpectre::Repos; }, 15000));
    const std::vector<TMaximum> maxima = F->Maxima();
    ASSERT_EQ(maxima.size(), 2u);
    EXPECT_NEAR(maxima[0].Lambda, 435.5, 2.5);
    EXPECT_NEAR(maxima[1].Lambda, 521.8, 2.5);
    EXPECT_EQ(F->PanelMaxima->text(), TexteMaxima(maxima));
    EXPECT_TRUE(F->PanelMaxima->text().startsWith("λmax : "));

    F->AjusteBtn->click(); // the marks follow the frame
    F->PaintBox->RepeintMaintenant();
    const QImage ecran = F->PaintBox->Image();
    const int r = F->Graphe.TailleMarque * 6 + 6;
    int rougesSousLesMaxima = 0;
    for (const TMaximum& m : maxima) {
        int x = -1, y = -1;
        F->Graphe.MondeVersEcran(m.Lambda, m.Absorbance, x, y);
        const int rouges = PixelsRouges(ecran, x, y + r / 2, r);
        EXPECT_GT(rouges, 3) << m.Lambda;
        rougesSousLesMaxima += rouges;
    }
    // Red nowhere else.
    EXPECT_EQ(PixelsRouges(ecran, 0, 0, 2 * std::max(ecran.width(), ecran.height())),
              rougesSousLesMaxima);

    QTemporaryDir dossier;
    const QString pdf = dossier.filePath("maxima.pdf");
    boites.Destinations = {TDestinationImpression{{}, pdf}};
    F->PrintBtn->click();
    QProcess pdftoppm;
    pdftoppm.start(QStandardPaths::findExecutable(QStringLiteral("pdftoppm")),
                   {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"), pdf,
                    dossier.filePath("page")});
    ASSERT_TRUE(pdftoppm.waitForFinished(30000));
    const QImage page(dossier.filePath("page-1.png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(PixelsRouges(page, page.width() / 2, page.height() / 2, page.height()), 4);

    F->SpectreBtn->click();
    EXPECT_TRUE(F->Maxima().empty());
    EXPECT_TRUE(F->PanelMaxima->text().isEmpty());
    EXPECT_TRUE(F->Graphe.Reperes.empty());
    ASSERT_TRUE(Attend([this] { return F->Recepteur.Etat() == TEtatSpectre::Repos; }, 15000));
    EXPECT_EQ(F->Maxima().size(), 2u);
}

// A spectrum taken back from its journal comes with its table, its maxima and, on paper, the range
// it was scanned over, whatever the fields say now.
TEST_F(VueSimulee, SpectreRestaureAvecSonTableauSesMaximaEtSaPlage) {
    Plage(400, 800, 2);
    LigneDeBase();
    ASSERT_TRUE(simulateur.Controle("cuve solution"));
    F->SpectreBtn->click();
    ASSERT_TRUE(Attend([this] { return F->Recepteur.Etat() == TEtatSpectre::Repos; }, 15000));
    F->Journal.Synchronise();
    const std::optional<TJournalLu> lu = LitJournal(F->Journal.Chemin());
    ASSERT_TRUE(lu.has_value());
    const std::vector<TMaximum> maxima = F->Maxima();

    Plage(500, 700, 1);
    F->Graphe.Courbe.NbPoints = 0; // as in a program just started
    F->TableauBtn->click();
    EXPECT_EQ(F->Tableau->Grille->model()->rowCount(), 0);
    F->Restaure(*lu);
    EXPECT_EQ(F->Tableau->Grille->model()->rowCount(), 81);
    EXPECT_EQ(F->Maxima(), maxima);
    EXPECT_EQ(F->PanelMaxima->text(), TexteMaxima(maxima));
    const TRegionalTemporaire virgule(u',');
    QTemporaryDir dossier;
    const QString pdf = dossier.filePath("restaure.pdf");
    boites.Destinations = {TDestinationImpression{{}, pdf}};
    F->PrintBtn->click();
    const QStringList texte = TexteDuPdf(pdf);
    ASSERT_GE(texte.size(), 2);
    EXPECT_EQ(texte[1], "λ de 400 à 800 nm, pas de 5 nm");
    F->Sauve = true;
}

} // namespace
