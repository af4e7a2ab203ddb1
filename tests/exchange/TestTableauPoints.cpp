#include "BoitesScriptees.h"
#include "exchange/TableauPoints.h"
#include "graph/Graphe.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class TableauPointsTest : public ::testing::Test {
protected:
    TableauPointsTest() {
        graphe->MondeX.Nom = "\x88";
        graphe->MondeX.Unite = "nm";
        graphe->MondeY.Nom = "A";
        for (const auto& [x, y] : {std::pair{450.5, 0.125}, {451, 0.00005}, {451.5, -0.25}})
            Ajoute(x, y);
        tableau.Actualise();
    }
    void Ajoute(double x, double y) {
        Tcourbe& c = graphe->Courbe;
        c.X[c.NbPoints] = x;
        c.Y[c.NbPoints++] = y;
    }
    QString Titre(int colonne) const {
        return tableau.Grille->model()->headerData(colonne, Qt::Horizontal).toString();
    }
    void Selectionne(int ligne, int colonne) {
        tableau.Grille->selectionModel()->select(tableau.Grille->model()->index(ligne, colonne),
                                                 QItemSelectionModel::Select);
    }

    TRegionalTemporaire virgule{u','};
    std::unique_ptr<Tgraphe> graphe = std::make_unique<Tgraphe>();
    QWidget fenetre;
    TTableauPoints tableau{*graphe, QStringLiteral("Tableau des points"), &fenetre};
};

TEST_F(TableauPointsTest, LectureSeuleAvecLesUnitesDansLesTitres) {
    const QAbstractItemModel& modele = *tableau.Grille->model();
    EXPECT_EQ(modele.rowCount(), 3);
    EXPECT_EQ(Titre(0), QStringLiteral("λ (nm)"));
    EXPECT_EQ(Titre(1), QStringLiteral("A"));
    EXPECT_EQ(modele.index(0, 0).data().toString(), "450,5");
    EXPECT_EQ(modele.index(1, 1).data().toString(), "5E-05");
    EXPECT_FALSE(modele.flags(modele.index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_EQ(tableau.Grille->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_TRUE(tableau.isWindow());
    EXPECT_EQ(tableau.parent(), &fenetre);
}

// Ctrl+C on the selection gives what a spreadsheet pastes as cells: tabs, a line end per row,
// the system's decimal separator; an unselected cell inside the rows keeps its column.
// The table belongs to its mode: leaving the mode takes it away, coming back does not reopen it.
TEST_F(TableauPointsTest, SeCacheQuandSaFenetreSeCache) {
    fenetre.show();
    tableau.show();
    fenetre.hide();
    EXPECT_FALSE(tableau.isVisible());
    fenetre.show();
    EXPECT_FALSE(tableau.isVisible());
}

TEST_F(TableauPointsTest, CtrlCCopieLaSelectionPourUnTableur) {
    tableau.show();
    tableau.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&tableau));
    tableau.Grille->setFocus();
    const auto copie = [this] {
        QGuiApplication::clipboard()->clear();
        QTest::keySequence(tableau.Grille, QKeySequence::Copy);
        return QGuiApplication::clipboard()->text();
    };
    tableau.Grille->selectAll();
    EXPECT_EQ(copie(), "450,5\t0,125\n451\t5E-05\n451,5\t-0,25\n");
    tableau.Grille->clearSelection();
    Selectionne(0, 0);
    Selectionne(2, 0);
    Selectionne(2, 1);
    EXPECT_EQ(copie(), "450,5\t\n451,5\t-0,25\n");
    tableau.Grille->clearSelection();
    Selectionne(1, 1);
    EXPECT_EQ(copie(), "5E-05\n");
    {
        const TRegionalTemporaire point(u'.');
        EXPECT_EQ(copie(), "5E-05\n");
        Selectionne(0, 1);
        EXPECT_EQ(copie(), "0.125\n5E-05\n");
    }
}

// During a run the rows are appended, never rebuilt; a new run empties the table first.
TEST_F(TableauPointsTest, SuitLAcquisitionEnAjoutantLesLignes) {
    QAbstractItemModel& modele = *tableau.Grille->model();
    QSignalSpy ajouts(&modele, &QAbstractItemModel::rowsInserted);
    QSignalSpy retraits(&modele, &QAbstractItemModel::rowsRemoved);
    QSignalSpy refaits(&modele, &QAbstractItemModel::modelReset);
    Ajoute(452, 0.5);
    Ajoute(452.5, 0.75);
    tableau.Actualise();
    ASSERT_EQ(ajouts.size(), 1);
    EXPECT_EQ(ajouts[0][1].toInt(), 3);
    EXPECT_EQ(ajouts[0][2].toInt(), 4);
    EXPECT_EQ(modele.index(4, 1).data().toString(), "0,75");
    tableau.Actualise(); // nothing new: nothing inserted
    EXPECT_EQ(ajouts.size(), 1);

    graphe->Courbe.NbPoints = 0;
    tableau.Actualise();
    EXPECT_EQ(modele.rowCount(), 0);
    Ajoute(325, 1);
    tableau.Actualise();
    EXPECT_EQ(modele.rowCount(), 1);
    EXPECT_EQ(modele.index(0, 0).data().toString(), "325");
    EXPECT_EQ(retraits.size(), 1);
    EXPECT_EQ(refaits.size(), 0);

    // Another quantity on the axis (Beer-Lambert's mode dialog): the titles follow.
    graphe->MondeX.Nom = "c";
    graphe->MondeX.Unite = "mol/L";
    tableau.Actualise();
    EXPECT_EQ(Titre(0), QStringLiteral("c (mol/L)"));
}

} // namespace
