// The controls of the Beer-Lambert window and their layout; the window wires them.
#include "base/Controles.h"
#include "graph/BoitePeinture.h"
#include "modes/beer/BeerForm.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The hint's long part always reaches the status bar; its short part is a tooltip only where
// the window wants one.
void Prepare(QWidget& controle, const QString& nom, const QString& aide, bool bulle = false) {
    FixeAide(controle, aide);
    Nomme(controle, nom);
    if (!bulle)
        controle.setToolTip(QString());
}

// A small picture button never takes the focus, so the space bar that records a point cannot
// press it.
QToolButton* BoutonImage(QStyle::StandardPixmap image, const QString& nom, const QString& aide,
                         bool bulle = false) {
    auto* bouton = new QToolButton;
    bouton->setIcon(QApplication::style()->standardIcon(image));
    bouton->setFixedSize(26, 26);
    bouton->setFocusPolicy(Qt::NoFocus);
    Prepare(*bouton, nom, aide, bulle);
    return bouton;
}

QTableWidget* Grille(const QString& nom, int lignes) {
    auto* grille = new QTableWidget(lignes, 2);
    grille->setObjectName(nom);
    grille->horizontalHeader()->hide();
    grille->verticalHeader()->hide();
    grille->verticalHeader()->setDefaultSectionSize(18);
    grille->horizontalHeader()->setDefaultSectionSize(64);
    grille->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grille->setSelectionBehavior(QAbstractItemView::SelectRows);
    grille->setSelectionMode(QAbstractItemView::SingleSelection);
    return grille;
}

} // namespace

// The buttons above, the graph and the tables beside it, the status bar below.
void TBeerForm::CreeControles() {
    CreeBoutons();
    CreePanneauDroit();
    Oscillo = new TBoitePeinture;
    Oscillo->setObjectName(QStringLiteral("Oscillo"));
    auto* milieu = new QHBoxLayout;
    milieu->setContentsMargins(0, 0, 0, 0);
    milieu->setSpacing(0);
    milieu->addWidget(Oscillo, 1);
    milieu->addWidget(Panel1);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    page->addWidget(BoutonsPanel);
    page->addLayout(milieu, 1);
    page->addWidget(StatusBar);
}

void TBeerForm::CreeBoutons() {
    BoutonsPanel = new QWidget;
    BoutonsPanel->setObjectName(QStringLiteral("BoutonsPanel"));
    BoutonsPanel->setFixedHeight(57);
    QLayout* ligne1 = CreeLigneAppareil();
    QLayout* ligne2 = CreeLigneSaisie();
    auto* lignes = new QVBoxLayout(BoutonsPanel);
    lignes->setContentsMargins(4, 2, 4, 2);
    lignes->setSpacing(2);
    lignes->addLayout(ligne1);
    lignes->addLayout(ligne2);

    // What shows and hides keeps its place: nothing moves under the mouse.
    for (QWidget* w : std::initializer_list<QWidget*>{ClipSaveBtn, RegSaveBtn, FileSaveBtn,
                                                      ResetBtn, UndoBtn, MajBtn}) {
        QSizePolicy place = w->sizePolicy();
        place.setRetainSizeWhenHidden(true);
        w->setSizePolicy(place);
    }
    for (QToolButton* b : {ClipSaveBtn, RegSaveBtn, FileSaveBtn, ResetBtn, UndoBtn})
        b->hide();
}

// The table's buttons, the wavelength and the instrument's.
QLayout* TBeerForm::CreeLigneAppareil() {
    ClipSaveBtn = BoutonImage(QStyle::SP_FileDialogContentsView, QStringLiteral("ClipSaveBtn"),
                              QStringLiteral("Presse-papiers|Sauvegarde de l'acquisition dans le "
                                             "presse-papiers"));
    RegSaveBtn = BoutonImage(QStyle::SP_ArrowRight, QStringLiteral("RegSaveBtn"),
                             QStringLiteral("Tablarix|Envoi des données courantes vers Tablarix"));
    FileSaveBtn = BoutonImage(QStyle::SP_DialogSaveButton, QStringLiteral("FileSaveBtn"),
                              QStringLiteral("Fichier|Sauvegarde de l'acquisition"));
    ModeBtn = BoutonImage(QStyle::SP_FileDialogListView, QStringLiteral("ModeBtn"),
                          QStringLiteral("Mode|Choix du mode : Beer, A(x), A seul"));
    ResetBtn = BoutonImage(QStyle::SP_DialogResetButton, QStringLiteral("ResetBtn"),
                           QStringLiteral("RàZ|Remise à zéro de l'acquisition"), true);
    UndoBtn = BoutonImage(QStyle::SP_ArrowBack, QStringLiteral("UndoBtn"),
                          QStringLiteral("Défaire|Suppression de la dernière acquisition"), true);
    LabelLambda = new QLabel(QStringLiteral("Lambda (nm)"));
    LambdaSE = new TSpinEdit;
    LambdaSE->setFixedWidth(64);
    Prepare(*LambdaSE, QStringLiteral("LambdaSE"),
            QStringLiteral("Longueur d'onde|Indiquer la longueur d'onde en nm"));
    LabelLambda->setBuddy(&LambdaSE->Edit());
    MajBtn = new QPushButton(QStringLiteral("Mise à jour"));
    Prepare(*MajBtn, QStringLiteral("MajBtn"),
            QStringLiteral("|Si clignotant, cliquer pour régler la longueur d'onde du spectro"));
    ZeroBtn = new QPushButton(QStringLiteral("Zéro"));
    Prepare(*ZeroBtn, QStringLiteral("ZeroBtn"),
            QStringLiteral("Zéro/Blanc|Mettre la cuve avec le solvant puis cliquer ici"));
    PrintBtn = BoutonImage(QStyle::SP_FileIcon, QStringLiteral("PrintBtn"),
                           QStringLiteral("Impression du graphe"));
    ExitBtn = BoutonImage(QStyle::SP_DialogCloseButton, QStringLiteral("ExitBtn"),
                          QStringLiteral("Quitter"));
    auto* ligne = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{ClipSaveBtn, RegSaveBtn, FileSaveBtn, ModeBtn,
                                                      ResetBtn, UndoBtn, LabelLambda, LambdaSE,
                                                      MajBtn, ZeroBtn, PrintBtn, ExitBtn})
        ligne->addWidget(w);
    ligne->addStretch();
    return ligne;
}

// Where the points are taken: the typed value, the record button and the space bar.
QLayout* TBeerForm::CreeLigneSaisie() {
    LabelClavier = new QLabel;
    LabelClavier->setObjectName(QStringLiteral("LabelClavier"));
    ClavierEdit = new QLineEdit;
    ClavierEdit->setFixedWidth(100);
    Nomme(*ClavierEdit, QStringLiteral("ClavierEdit"), LabelClavier);
    FixeChampNumerique(*ClavierEdit);
    LabelClavier->setBuddy(ClavierEdit);
    EnregistreBtn = new QPushButton(QStringLiteral("Enregistrer"));
    Nomme(*EnregistreBtn, QStringLiteral("EnregistreBtn"));
    EnregistreEdit = new QLineEdit;
    EnregistreEdit->setObjectName(QStringLiteral("EnregistreEdit"));
    EnregistreEdit->setAccessibleName(QStringLiteral("Enregistrer"));
    EnregistreEdit->setFixedWidth(0);
    EnregistreEdit->setFrame(false);
    // The first line is full at the window's width: the table's button ends this one.
    TableauBtn =
        BoutonImage(QStyle::SP_FileDialogDetailedView, QStringLiteral("TableauBtn"),
                    QStringLiteral("Tableau|Tableau des points, à copier vers un tableur"));
    auto* ligne = new QHBoxLayout;
    for (QWidget* w :
         std::initializer_list<QWidget*>{LabelClavier, ClavierEdit, EnregistreBtn, EnregistreEdit})
        ligne->addWidget(w);
    ligne->addStretch();
    ligne->addWidget(TableauBtn);
    return ligne;
}

void TBeerForm::CreePanneauDroit() {
    Panel1 = new QWidget;
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedWidth(151);
    QFont police(QStringLiteral("Tablarix"));
    police.setPixelSize(13);
    Panel1->setFont(police);
    BeerMesureGrid = Grille(QStringLiteral("BeerMesureGrid"), 8);
    for (int ligne : {0, 1})
        for (int colonne : {0, 1}) {
            Cellule(*BeerMesureGrid, ligne, colonne, QString());
            BeerMesureGrid->item(ligne, colonne)->setBackground(palette().button());
            BeerMesureGrid->item(ligne, colonne)->setFlags(Qt::ItemIsEnabled);
        }
    beerCalcGrid = Grille(QStringLiteral("beerCalcGrid"), 4);
    beerCalcGrid->setFixedHeight(120);
    Prepare(*beerCalcGrid, QStringLiteral("beerCalcGrid"),
            QStringLiteral("|Valeurs déterminées à partir de la loi de Beer-Lambert"));
    // Its columns are named: the grid of the standards names them in its first rows.
    beerCalcGrid->horizontalHeader()->show();
    beerCalcGrid->horizontalHeader()->setFixedHeight(18);
    QPalette rouge = beerCalcGrid->palette(); // the unknown samples are in red
    rouge.setColor(QPalette::Text, QColor(255, 0, 0));
    beerCalcGrid->setPalette(rouge);
    LoiLabel = new QLabel;
    LoiLabel->setObjectName(QStringLiteral("LoiLabel"));
    DeterminationLabel = new QLabel;
    DeterminationLabel->setObjectName(QStringLiteral("DeterminationLabel"));
    EcartLabel = new QLabel;
    EcartLabel->setObjectName(QStringLiteral("EcartLabel"));
    EcartLabel->setWordWrap(true);
    auto* colonne = new QVBoxLayout(Panel1);
    colonne->setContentsMargins(0, 0, 0, 0);
    colonne->setSpacing(2);
    colonne->addWidget(BeerMesureGrid, 1);
    colonne->addWidget(beerCalcGrid);
    colonne->addWidget(LoiLabel);
    colonne->addWidget(DeterminationLabel);
    colonne->addWidget(EcartLabel);
}
