// The controls of the spectrum window: its tool bar, with the two read-out panels at its right
// end, and its status bar; the range fields, kept within the instrument's limits.
#include "base/Controles.h"
#include "base/Utilitaires.h"
#include "exchange/TableauPoints.h"
#include "graph/BoitePeinture.h"
#include "instrument/SpectroJenway.h"
#include "modes/spectre/TraceSpectre.h"

#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>

namespace {

constexpr int kEcartMinimal = 50; // nm: the shortest scan

QToolButton* Bouton(const QString& nom, const QString& aide, const QString& legende,
                    const QIcon& icone = {}) {
    auto* bouton = new QToolButton;
    FixeAide(*bouton, aide);
    if (icone.isNull()) {
        bouton->setText(legende);
        bouton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    } else {
        bouton->setIcon(icone);
        bouton->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    Nomme(*bouton, nom);
    return bouton;
}

QLabel* PanneauBarre(const QString& nom, const QString& police) {
    auto* panneau = new QLabel;
    panneau->setObjectName(nom);
    panneau->setFixedWidth(100);
    panneau->setAlignment(Qt::AlignCenter);
    panneau->setStyleSheet(QStringLiteral("QLabel { background-color: #0a246a; color: white; "
                                          "font-family: \"%1\"; font-weight: bold; "
                                          "font-size: 16px; }")
                               .arg(police));
    return panneau;
}

TSpinEdit* EditionPlage(const QString& nom, const QString& aide, qint32 mini, qint32 maxi,
                        qint32 valeur) {
    auto* edition = new TSpinEdit;
    edition->FixeIncrement(10);
    edition->FixeBornes(mini, maxi);
    edition->SetValue(valeur);
    edition->setFixedWidth(70);
    FixeAide(*edition, aide);
    FixeAide(edition->Edit(), aide);
    Nomme(*edition, nom);
    return edition;
}

// A group of controls, then a separator.
void AjouteGroupe(QToolBar& barre, std::initializer_list<QWidget*> controles) {
    for (QWidget* w : controles)
        barre.addWidget(w);
    barre.addSeparator();
}

} // namespace

// The tool bar over the graph over the status bar, the graph taking what room there is.
void TTraceSpectre::ConstruitPage() {
    setObjectName(QStringLiteral("TraceSpectre"));
    setWindowTitle(QStringLiteral("Tracé de spectre avec le spectrophotomètre JENWAY 6400"));
    resize(638, 303);
    setWindowState(Qt::WindowMaximized);
    ConstruitBarre();

    PaintBox->setObjectName(QStringLiteral("PaintBox"));
    QFont police(QStringLiteral("Tablarix"));
    police.setBold(true);
    PaintBox->setFont(police);

    ConstruitBarreEtat();
    Tableau = new TTableauPoints(Graphe, QStringLiteral("Tableau des points du spectre"), this);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    page->addWidget(ToolBar);
    page->addWidget(PaintBox, 1);
    page->addWidget(StatusBar);
}

void TTraceSpectre::ConstruitBarre() {
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setMovable(false);
    const QStyle& s = *style();
    FileSaveBtn =
        Bouton(QStringLiteral("FileSaveBtn"), QStringLiteral("|Sauvegarde de l'acquisition"), {},
               s.standardIcon(QStyle::SP_DialogSaveButton));
    ClipSaveBtn = Bouton(QStringLiteral("ClipSaveBtn"),
                         QStringLiteral("|Sauvegarde de l'acquisition dans le presse-papier"), {},
                         QIcon::fromTheme(QStringLiteral("edit-copy"),
                                          s.standardIcon(QStyle::SP_FileDialogContentsView)));
    RegSaveBtn = Bouton(QStringLiteral("RegSaveBtn"),
                        QStringLiteral("|Appel de Tablarix avec les données courantes"), {},
                        s.standardIcon(QStyle::SP_ArrowRight));
    SpectreBtn =
        Bouton(QStringLiteral("SpectreBtn"), QStringLiteral("Spectre|Acquisition d'un spectre"),
               QStringLiteral("Spectre"));
    BlancBtn = Bouton(QStringLiteral("BlancBtn"), QStringLiteral("Ligne de base"),
                      QStringLiteral("Ligne de base"));
    ReticuleBtn = Bouton(QStringLiteral("ReticuleBtn"), QStringLiteral("Réticule"),
                         QStringLiteral("Réticule"));
    ReticuleBtn->setCheckable(true);
    AjusteBtn = Bouton(QStringLiteral("AjusteBtn"),
                       QStringLiteral("Ajuster|Ajuste les axes aux points du spectre"),
                       QStringLiteral("Ajuster"));
    VueCompleteBtn = Bouton(QStringLiteral("VueCompleteBtn"),
                            QStringLiteral("Vue complète|Toute la plage de l'appareil"),
                            QStringLiteral("Vue complète"));
    TableauBtn =
        Bouton(QStringLiteral("TableauBtn"),
               QStringLiteral("Tableau|Tableau des points du spectre"), QStringLiteral("Tableau"));
    DebutSE =
        EditionPlage(QStringLiteral("DebutSE"),
                     QStringLiteral("Début|Début de balayage du spectre en nm"), 325, 800, 500);
    PasCB = new QComboBox;
    PasCB->addItems({QStringLiteral("0.2 nm"), QStringLiteral("1.0 nm"), QStringLiteral("5.0 nm")});
    PasCB->setCurrentIndex(1);
    FixeAide(*PasCB, QStringLiteral("Pas|Pas de balayage du spectre en nm"));
    Nomme(*PasCB, QStringLiteral("PasCB"));
    FinSE = EditionPlage(QStringLiteral("FinSE"),
                         QStringLiteral("Fin|Fin de balayage du spectre en nm"), 500, 999, 800);
    PrintBtn =
        Bouton(QStringLiteral("PrintBtn"), QStringLiteral("Impression"),
               QStringLiteral("Impression"), QIcon::fromTheme(QStringLiteral("document-print")));
    ExitBtn = Bouton(QStringLiteral("ExitBtn"), QStringLiteral("Quitter"),
                     QStringLiteral("Quitter"), s.standardIcon(QStyle::SP_DialogCloseButton));
    PanelLambda = PanneauBarre(QStringLiteral("PanelLambda"), QStringLiteral("Tablarix"));
    PanelAbs = PanneauBarre(QStringLiteral("PanelAbs"), QStringLiteral("MS Sans Serif"));

    AjouteGroupe(*ToolBar, {FileSaveBtn, ClipSaveBtn, RegSaveBtn});
    AjouteGroupe(*ToolBar, {SpectreBtn, BlancBtn, ReticuleBtn});
    AjouteGroupe(*ToolBar, {DebutSE, PasCB, FinSE});
    AjouteGroupe(*ToolBar, {AjusteBtn, VueCompleteBtn, TableauBtn});
    AjouteGroupe(*ToolBar, {PrintBtn, ExitBtn});
    auto* ressort = new QWidget; // pushes the panels to the right
    ressort->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    ToolBar->addWidget(ressort);
    ToolBar->addWidget(PanelLambda);
    ToolBar->addWidget(PanelAbs);
    ConnecteBarre();
}

void TTraceSpectre::ConnecteBarre() {
    connect(FileSaveBtn, &QToolButton::clicked, this, &TTraceSpectre::SauveSpectreClick);
    connect(ClipSaveBtn, &QToolButton::clicked, this, &TTraceSpectre::ClipSaveBtnClick);
    connect(RegSaveBtn, &QToolButton::clicked, this, &TTraceSpectre::RegSaveBtnClick);
    connect(SpectreBtn, &QToolButton::clicked, this, &TTraceSpectre::SpectreBtnClick);
    connect(BlancBtn, &QToolButton::clicked, this, &TTraceSpectre::BlancBtnClick);
    connect(ReticuleBtn, &QToolButton::clicked, this, &TTraceSpectre::ReticuleBtnClick);
    connect(AjusteBtn, &QToolButton::clicked, this, &TTraceSpectre::AjusteBtnClick);
    connect(VueCompleteBtn, &QToolButton::clicked, this, &TTraceSpectre::VueCompleteBtnClick);
    connect(TableauBtn, &QToolButton::clicked, this, &TTraceSpectre::TableauBtnClick);
    connect(PrintBtn, &QToolButton::clicked, this, &TTraceSpectre::PrintBtnClick);
    connect(ExitBtn, &QToolButton::clicked, this, &TTraceSpectre::ExitItemClick);
    connect(DebutSE, &TSpinEdit::Change, this, &TTraceSpectre::DebutSEChange);
    connect(FinSE, &TSpinEdit::Change, this, &TTraceSpectre::DebutSEChange);
}

// Panel 0 and 1 read the reticle out, panel 2 shows the hints; at the right end, the maxima of
// the last scan, and the baseline while it runs.
void TTraceSpectre::ConstruitBarreEtat() {
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    const int largeurs[] = {100, 100, 50};
    for (int i = 0; i < 3; ++i) {
        Panels[i] = new QLabel;
        Panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i));
        Panels[i]->setMinimumWidth(largeurs[i]);
        if (i < 2)
            Panels[i]->setFixedWidth(largeurs[i]);
        StatusBar->addWidget(Panels[i], i == 2 ? 1 : 0);
    }
    PanelMaxima = new QLabel;
    PanelMaxima->setObjectName(QStringLiteral("PanelMaxima"));
    StatusBar->addPermanentWidget(PanelMaxima);
    PanelBlanc = new QLabel;
    PanelBlanc->setObjectName(QStringLiteral("PanelBlanc"));
    AttenteBlanc = new QProgressBar;
    AttenteBlanc->setObjectName(QStringLiteral("AttenteBlanc"));
    AttenteBlanc->setRange(0, 0); // busy: the instrument tells nothing of its progress
    AttenteBlanc->setFixedWidth(120);
    AttenteBlanc->setMaximumHeight(14);
    for (QWidget* w : std::initializer_list<QWidget*>{PanelBlanc, AttenteBlanc}) {
        StatusBar->addPermanentWidget(w);
        w->hide();
    }
}

// Each field's range follows the other field's value taken within the instrument's limits, not
// as typed: a start typed past the end of the instrument would otherwise give the end a range
// above its maximum.
void TTraceSpectre::DebutSEChange() {
    const qint32 mini = Spectro.MiniL;
    const qint32 maxi = Spectro.MaxiL;
    const qint32 fin = Borne(FinSE->Value(), mini + kEcartMinimal, maxi);
    const qint32 debut = Borne(DebutSE->Value(), mini, maxi - kEcartMinimal);
    DebutSE->FixeBornes(mini, fin - kEcartMinimal);
    FinSE->FixeBornes(debut + kEcartMinimal, maxi);
}

bool TTraceSpectre::PlagePossible() const {
    return Spectro.MaxiL - Spectro.MiniL >= kEcartMinimal;
}

void TTraceSpectre::MontreReglages() {
    DebutSEChange();
    FinSE->SetValue(Spectro.FinL);
    DebutSE->SetValue(Spectro.DebutL);
    Spectro.FinL = FinSE->Value();
    Spectro.DebutL = DebutSE->Value();
}

// The end is read first: a start typed last keeps its value when it can, and the end makes
// room for the 50 nm. Each field then shows what the instrument will receive.
bool TTraceSpectre::LitReglages() {
    if (!PlagePossible()) {
        AfficheErreur(QStringLiteral("Les longueurs d'onde minimum (%1 nm) et maximum (%2 nm) de "
                                     "l'appareil ne laissent pas les %3 nm d'un spectre : "
                                     "corrigez-les dans « Configuration complète ».")
                          .arg(Spectro.MiniL)
                          .arg(Spectro.MaxiL)
                          .arg(kEcartMinimal));
        return false;
    }
    Spectro.FinL = FinSE->ValeurBornee();
    Spectro.DebutL = DebutSE->ValeurBornee();
    Spectro.PasL = std::max(0, PasCB->currentIndex());
    return true;
}
