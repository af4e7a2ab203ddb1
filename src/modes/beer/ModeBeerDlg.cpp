#include "modes/beer/ModeBeerDlg.h"

#include "base/Controles.h"
#include "base/Regional.h"
#include "base/Utilitaires.h"
#include "modes/beer/BeerForm.h"

#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

// Up to 15 significant digits with the system's separator: the dialog shows what is stored.
QString TexteNombre(double x) {
    return QString::number(x, 'g', 15).replace(u'.', Regional().SeparateurDecimal);
}

double NombreOu(const QLineEdit& edit, double parDefaut) {
    double valeur = 0;
    return LitReel(edit.text(), Regional().SeparateurDecimal, valeur) ? valeur : parDefaut;
}

QPlainTextEdit* Memo(const QStringList& lignes) {
    auto* memo = new QPlainTextEdit(lignes.join(u'\n'));
    memo->setReadOnly(true);
    return memo;
}

QLineEdit* EditEtiquete(QFormLayout& formulaire, const QString& nom, const QString& libelle,
                        int longueurMaxi, bool policeTablarix) {
    auto* edit = new QLineEdit;
    if (longueurMaxi > 0)
        edit->setMaxLength(longueurMaxi);
    if (policeTablarix) {
        QFont police(QStringLiteral("Tablarix"));
        police.setPixelSize(11);
        edit->setFont(police);
    }
    auto* etiquette = new QLabel(libelle);
    etiquette->setBuddy(edit);
    formulaire.addRow(etiquette, edit);
    Nomme(*edit, nom, etiquette);
    return edit;
}

} // namespace

TModeBeerDlg::TModeBeerDlg(TBeerForm& fenetre, QWidget* parent)
    : QDialog(parent), fenetre_(fenetre) {
    setObjectName(QStringLiteral("ModeBeerDlg"));
    setWindowTitle(QStringLiteral("Utilisation de la loi de Beer-Lambert"));

    ModeAcqRG = new TRadioGroup(QStringLiteral("Mode d'acquisition"), 1);
    ModeAcqRG->FixeItems({QStringLiteral("à chaque frappe de la barre d'espace"),
                          QStringLiteral("Loi de Beer-Lambert"), QStringLiteral("Entrée clavier")});
    Nomme(*ModeAcqRG, QStringLiteral("ModeAcqRG"));
    NoteBook = new QStackedWidget;
    NoteBook->setObjectName(QStringLiteral("NoteBook"));
    NoteBook->addWidget(PageBarre());
    NoteBook->addWidget(PageBeer());
    NoteBook->addWidget(PageClavier());

    OKBtn = new QPushButton(QStringLiteral("OK"));
    CancelBtn = new QPushButton(QStringLiteral("Annuler"));
    HelpBtn = new QPushButton(QStringLiteral("&Aide"));
    Nomme(*OKBtn, QStringLiteral("OKBtn"));
    Nomme(*CancelBtn, QStringLiteral("CancelBtn"));
    Nomme(*HelpBtn, QStringLiteral("HelpBtn"));
    HelpBtn->setEnabled(false); // no help is written for this dialog
    OKBtn->setDefault(true);
    auto* biseau = new QFrame;
    biseau->setFrameShape(QFrame::Panel);
    biseau->setFrameShadow(QFrame::Raised);
    auto* boutons = new QVBoxLayout(biseau);
    for (QPushButton* b : {OKBtn, CancelBtn, HelpBtn})
        boutons->addWidget(b);
    boutons->addStretch();

    auto* gauche = new QVBoxLayout;
    gauche->addWidget(ModeAcqRG);
    gauche->addWidget(NoteBook, 1);
    auto* page = new QHBoxLayout(this);
    page->addLayout(gauche, 1);
    page->addWidget(biseau);
    resize(330, 185);

    connect(ModeAcqRG, &TRadioGroup::Click, this, &TModeBeerDlg::ModeAcqRGClick);
    connect(OKBtn, &QPushButton::clicked, this, &TModeBeerDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    FormActivate();
}

QWidget* TModeBeerDlg::PageBarre() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("Barre"));
    (new QVBoxLayout(page))
        ->addWidget(Memo({QString(), QStringLiteral("Vous pouvez aussi cliquer sur le bouton "),
                          QStringLiteral("\"Enregistre\"")}));
    return page;
}

QWidget* TModeBeerDlg::PageBeer() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("Loi de Beer-Lambert"));
    QPlainTextEdit* memo = Memo({QStringLiteral("Lecture d'absorbance en réponse à "),
                                 QStringLiteral("1-entrée de valeur de c au clavier"),
                                 QStringLiteral("2-frappe de la barre d'espace pour c inconnu")});
    memo->setEnabled(false);
    auto* formulaire = new QFormLayout;
    // Shows the axis maximum; the window sets the concentration axis from the standards itself.
    EditMaxBeer = EditEtiquete(*formulaire, QStringLiteral("EditMaxBeer"),
                               QStringLiteral("Concentration maxi"), 0, false);
    EditMaxBeer->setReadOnly(true);
    FixeChampNumerique(*EditMaxBeer);
    auto* colonne = new QVBoxLayout(page);
    colonne->addWidget(memo);
    colonne->addLayout(formulaire);
    return page;
}

QWidget* TModeBeerDlg::PageClavier() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("Clavier"));
    auto* grandeur = new QGroupBox(QStringLiteral("Grandeur  entrée au clavier"));
    grandeur->setObjectName(QStringLiteral("GrandeurGB"));
    auto* formulaire = new QFormLayout(grandeur);
    EditNom =
        EditEtiquete(*formulaire, QStringLiteral("EditNom"), QStringLiteral("&Symbole"), 8, true);
    EditUnite =
        EditEtiquete(*formulaire, QStringLiteral("EditUnite"), QStringLiteral("&Unité"), 20, true);
    EditMin =
        EditEtiquete(*formulaire, QStringLiteral("EditMin"), QStringLiteral("Mini"), 0, false);
    EditMax =
        EditEtiquete(*formulaire, QStringLiteral("EditMax"), QStringLiteral("Maxi"), 0, false);
    for (QLineEdit* nombre : {EditMin, EditMax})
        FixeChampNumerique(*nombre);
    EditSignif = EditEtiquete(*formulaire, QStringLiteral("EditSignif"),
                              QStringLiteral("&Signification"), 0, true);
    (new QVBoxLayout(page))->addWidget(grandeur);
    return page;
}

void TModeBeerDlg::FormActivate() {
    const Tmonde& x = fenetre_.Graphe.MondeX;
    if (x.Nom == TChaine20("n")) {
        EditNom->setText(QStringLiteral("c"));
        EditUnite->setText(QStringLiteral("mol/L"));
        EditSignif->setText(QStringLiteral("Concentration"));
        EditMax->setText(QStringLiteral("0.01"));
    } else {
        EditNom->setText(x.Nom.TexteEcran());
        EditUnite->setText(x.Unite.TexteEcran());
        EditSignif->setText(x.Signification.TexteEcran());
        EditMax->setText(TexteNombre(x.Maxi));
    }
    EditMin->setText(TexteNombre(x.Mini));
    EditMaxBeer->setText(TexteNombre(x.Maxi));
    ModeAcqRG->SetItemIndex(fenetre_.Session.Mode);
    ModeAcqRGClick();
}

void TModeBeerDlg::ModeAcqRGClick() {
    NoteBook->setCurrentIndex(std::max(0, ModeAcqRG->ItemIndex()));
}

void TModeBeerDlg::OKBtnClick() {
    Tmonde& x = fenetre_.Graphe.MondeX;
    fenetre_.Session.Mode = static_cast<quint8>(std::max(0, ModeAcqRG->ItemIndex()));
    if (fenetre_.Session.Mode == 2) {
        x.Nom = TChaine20(EcranVersAnsi(EditNom->text()));
        x.Unite = TChaine20(EcranVersAnsi(EditUnite->text()));
        x.Signification = TChaine255(EcranVersAnsi(EditSignif->text()));
        x.Mini = NombreOu(*EditMin, 0);
        x.Maxi = NombreOu(*EditMax, 5);
        Ordonne(x.Mini, x.Maxi);
    } else if (fenetre_.Session.Mode == 1) {
        x.Nom = "c";
        x.Unite = "mol/L";
        x.Signification = "Concentration";
        x.Mini = 0;
    }
    accept();
}
