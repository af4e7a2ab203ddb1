#include "modes/cinetique/CinetiqueControles.h"

#include "modes/cinetique/CinetiqueForm.h"

#include "base/Controles.h"
#include "graph/BoitePeinture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* BoutonOutil(QWidget* parent, const QString& nom, const QString& aide,
                         const QIcon& icone) {
    auto* bouton = new QToolButton(parent);
    bouton->setIcon(icone);
    bouton->setAutoRaise(true);
    bouton->setFocusPolicy(Qt::NoFocus);
    bouton->setFixedSize(25, 25);
    FixeAide(*bouton, aide);
    Nomme(*bouton, nom);
    return bouton;
}

QIcon Icone(const char* theme, QStyle::StandardPixmap remplacant) {
    return QIcon::fromTheme(QString::fromLatin1(theme),
                            QApplication::style()->standardIcon(remplacant));
}

QLabel* PanneauBlanc(QWidget* parent, const QString& nom) {
    auto* panneau = new QLabel(QStringLiteral("00:00:00"), parent);
    panneau->setAlignment(Qt::AlignCenter);
    panneau->setStyleSheet(QStringLiteral("background-color: palette(highlight); color: white; "
                                          "font-weight: bold; border: 1px inset gray;"));
    Nomme(*panneau, nom);
    panneau->setAccessibleName(nom);
    return panneau;
}

} // namespace

TGrandBouton::TGrandBouton(const QString& legende, QWidget* parent) : QPushButton(legende, parent) {
    setFocusPolicy(Qt::NoFocus);
}

// The caption is word-wrapped over the bevel drawn by the style.
void TGrandBouton::paintEvent(QPaintEvent*) {
    QPainter peintre(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    style()->drawControl(QStyle::CE_PushButton, &option, &peintre, this);
    peintre.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    const int shift = isDown() ? 1 : 0;
    peintre.drawText(rect().adjusted(6 + shift, 3 + shift, -6 + shift, -3 + shift),
                     Qt::AlignCenter | Qt::TextWordWrap, text());
}

TBoutonsHautBas::TBoutonsHautBas(QWidget* parent)
    : QWidget(parent), Haut(new QToolButton(this)), Bas(new QToolButton(this)) {
    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(0, 0, 0, 0);
    colonne->setSpacing(0);
    for (QToolButton* b : {Haut, Bas}) {
        b->setArrowType(b == Haut ? Qt::UpArrow : Qt::DownArrow);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(16, 11);
        colonne->addWidget(b);
    }
}

void TCinetiqueForm::CreeControles() {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    page->addWidget(CreePanneauOutils());
    Oscillo = new TBoitePeinture(this);
    Oscillo->setObjectName(QStringLiteral("Oscillo"));
    Oscillo->setAccessibleName(QStringLiteral("Graphe"));
    QFont police(QStringLiteral("Tablarix"));
    Oscillo->setFont(police);
    page->addWidget(Oscillo, 1);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(true);
    page->addWidget(StatusBar);

    Timer->setObjectName(QStringLiteral("Timer"));
    // A coarse timer fires up to 5 % early, and from 20 s on at whole seconds: every point would
    // be stamped a second early.
    Timer->setTimerType(Qt::PreciseTimer);
    resize(607, 313);
    setMinimumSize(550, 120);
}

QWidget* TCinetiqueForm::CreePanneauOutils() {
    auto* panneau = new QWidget(this);
    panneau->setObjectName(QStringLiteral("ToolPanel"));
    panneau->setFixedHeight(57);
    CreeBoutonsEtapes(panneau);
    CreeBoutonsOutils(panneau);
    CreeReglages(panneau);
    CreeAffichages(panneau);
    return panneau;
}

void TCinetiqueForm::CreeBoutonsEtapes(QWidget* panneau) {
    LambdaSE = new TSpinEdit(panneau);
    LambdaSE->setGeometry(4, 4, 62, 22);
    LambdaSE->setAccessibleName(QStringLiteral("Longueur d'onde (nm)"));
    LambdaSE->setObjectName(QStringLiteral("LambdaSE"));
    ZeroBtnBis = new QPushButton(QStringLiteral("0"), panneau);
    ZeroBtnBis->setGeometry(4, 30, 29, 23);
    FixeAide(*ZeroBtnBis, QStringLiteral("Blanc|Mettre la cuve avec le solvant puis cliquer ici"));
    Nomme(*ZeroBtnBis, QStringLiteral("ZeroBtnBis"));
    ZeroBtnBis->setAccessibleName(QStringLiteral("Blanc")); // "0" only draws the zero
    ZeroBtnBis->setFocusPolicy(Qt::NoFocus);
    ExitBtn = new QPushButton(panneau);
    ExitBtn->setIcon(Icone("application-exit", QStyle::SP_DialogCloseButton));
    ExitBtn->setGeometry(37, 30, 29, 23);
    FixeAide(*ExitBtn, QStringLiteral("Quitter|"));
    Nomme(*ExitBtn, QStringLiteral("ExitBtn"));
    ExitBtn->setFocusPolicy(Qt::NoFocus);

    LambdaBtn =
        new TGrandBouton(QStringLiteral("Choisir la longueur d'onde puis cliquer ici"), panneau);
    FixeAide(*LambdaBtn, QStringLiteral("|Validation de la longueur d'onde"));
    Nomme(*LambdaBtn, QStringLiteral("LambdaBtn"));
    ZeroBtn = new TGrandBouton(QStringLiteral("Mettre la cuve avec le solvant puis cliquer ici"),
                               panneau);
    Nomme(*ZeroBtn, QStringLiteral("ZeroBtn"));
    StartBtn = new TGrandBouton(QStringLiteral("Mettre la cuve avec la solution puis cliquer ici"),
                                panneau);
    FixeAide(*StartBtn, QStringLiteral("START|Lance l'acquisition"));
    Nomme(*StartBtn, QStringLiteral("StartBtn"));
    for (TGrandBouton* b : {LambdaBtn, ZeroBtn, StartBtn})
        b->setGeometry(70, 4, 172, 49);
}

void TCinetiqueForm::CreeBoutonsOutils(QWidget* panneau) {
    StopBtn = BoutonOutil(panneau, QStringLiteral("StopBtn"),
                          QStringLiteral("STOP|Arrêt de l'acquisition"),
                          Icone("media-playback-stop", QStyle::SP_MediaStop));
    RepereBtn = BoutonOutil(panneau, QStringLiteral("RepereBtn"),
                            QStringLiteral("|Placer un repère temporel"),
                            Icone("flag", QStyle::SP_FileDialogInfoView));
    ResetBtn = BoutonOutil(panneau, QStringLiteral("ResetBtn"),
                           QStringLiteral("|Remise à zéro de l'acquisition"),
                           Icone("edit-clear", QStyle::SP_BrowserReload));
    FileSaveBtn = BoutonOutil(panneau, QStringLiteral("FileSaveBtn"),
                              QStringLiteral("|Sauvegarde de l'acquisition"),
                              Icone("document-save", QStyle::SP_DialogSaveButton));
    ClipSaveBtn = BoutonOutil(panneau, QStringLiteral("ClipSaveBtn"),
                              QStringLiteral("|Sauvegarde de l'acquisition dans le presse-papier"),
                              Icone("edit-copy", QStyle::SP_FileDialogContentsView));
    RegSaveBtn = BoutonOutil(panneau, QStringLiteral("RegSaveBtn"),
                             QStringLiteral("|Envoi des données courantes vers Tablarix"),
                             Icone("document-send", QStyle::SP_ArrowForward));
    PrintBtn =
        BoutonOutil(panneau, QStringLiteral("PrintBtn"), QStringLiteral("Impression du graphe|"),
                    Icone("document-print", QStyle::SP_FileDialogDetailedView));
    TableauBtn = BoutonOutil(panneau, QStringLiteral("TableauBtn"),
                             QStringLiteral("Tableau|Tableau des points, à copier vers un tableur"),
                             Icone("x-office-spreadsheet", QStyle::SP_FileDialogListView));
    // The buttons of a run and those of a finished run are never shown together: they share
    // their places.
    // RepereBtn has no action: it is shown greyed while acquiring.
    RepereBtn->setEnabled(false);
    StopBtn->move(246, 2);
    RepereBtn->move(272, 2);
    ResetBtn->move(246, 2);
    FileSaveBtn->move(272, 2);
    ClipSaveBtn->move(298, 2);
    RegSaveBtn->move(324, 2);
    PrintBtn->move(356, 2);
    // Named in words: a student looks for the table by its name.
    TableauBtn->setText(QStringLiteral("Tableau"));
    TableauBtn->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    TableauBtn->setFixedSize(80, 25);
    TableauBtn->move(382, 2);
}

void TCinetiqueForm::CreeReglages(QWidget* panneau) {
    // The period, its button, the count and the duration read as a product: Δt=2 s *Nbre 60 = …
    LabelDeltat = new QLabel(QStringLiteral("Dt"), panneau);
    LabelDeltat->setGeometry(246, 33, 50, 18);
    LabelDeltat->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Nomme(*LabelDeltat, QStringLiteral("LabelDeltat"));
    DureeSB = new TBoutonsHautBas(panneau);
    DureeSB->setGeometry(298, 31, 16, 22);
    Nomme(*DureeSB, QStringLiteral("DureeSB"));
    DureeSB->setAccessibleName(QStringLiteral("Durée"));
    auto* labelNbre = new QLabel(QStringLiteral("*Nbre"), panneau);
    labelNbre->setGeometry(318, 33, 34, 18);
    NbreEdit = new QLineEdit(panneau);
    NbreEdit->setGeometry(354, 31, 40, 22);
    Nomme(*NbreEdit, QStringLiteral("NbreEdit"), labelNbre);
    FixeChampNumerique(*NbreEdit);
    NbreSpin = new TBoutonsHautBas(panneau);
    NbreSpin->setGeometry(394, 31, 16, 22);
    Nomme(*NbreSpin, QStringLiteral("NbreSpin"), labelNbre);
    auto* labelEgal = new QLabel(QStringLiteral("="), panneau);
    labelEgal->setGeometry(414, 33, 10, 18);
    DureeEdit = new QLineEdit(panneau);
    DureeEdit->setReadOnly(true);
    DureeEdit->setFocusPolicy(Qt::NoFocus);
    DureeEdit->setGeometry(426, 31, 64, 22);
    Nomme(*DureeEdit, QStringLiteral("DureeEdit"), labelEgal);
    DureeEdit->setAccessibleName(QStringLiteral("Durée"));
}

void TCinetiqueForm::CreeAffichages(QWidget* panneau) {
    PanelDuree = PanneauBlanc(panneau, QStringLiteral("PanelDuree"));
    PanelDuree->setGeometry(498, 4, 80, 22);
    PanelAbs = PanneauBlanc(panneau, QStringLiteral("PanelAbs"));
    PanelAbs->setGeometry(498, 31, 80, 22);
    LectureS = new QLabel(panneau);
    LectureS->setGeometry(584, 9, 14, 12);
    LectureS->setStyleSheet(QStringLiteral("background-color: red; border-radius: 4px;"));
    Nomme(*LectureS, QStringLiteral("LectureS"));
    LectureS->setAccessibleName(QStringLiteral("Lecture en cours"));
    LectureS->hide();

    // Holds the keyboard focus so that the space bar works the visible step button.
    EditBidon = new QLineEdit(panneau);
    EditBidon->setGeometry(0, 0, 0, 0);
    Nomme(*EditBidon, QStringLiteral("EditBidon"));
    EditBidon->setAccessibleName(QStringLiteral("Barre d'espace : étape suivante"));
}
