#include "exchange/ConstanteDlg.h"

#include "base/Controles.h"
#include "base/Regional.h"
#include "base/Utilitaires.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TConstanteDlg* ConstanteDlg = nullptr;

namespace {

QFont PoliceTablarix(int hauteurPixels) {
    QFont police(QStringLiteral("Tablarix"));
    police.setPixelSize(hauteurPixels);
    return police;
}

QLineEdit* EditParametre(QFormLayout& formulaire, const QString& nom, const QString& libelle,
                         int longueurMaxi) {
    auto* edit = new QLineEdit;
    edit->setFont(PoliceTablarix(13));
    if (longueurMaxi > 0)
        edit->setMaxLength(longueurMaxi);
    auto* etiquette = new QLabel(libelle);
    etiquette->setBuddy(edit);
    formulaire.addRow(etiquette, edit);
    Nomme(*edit, nom, etiquette);
    return edit;
}

} // namespace

TConstanteDlg::TConstanteDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ConstanteDlg"));
    setWindowTitle(QStringLiteral("Renseignements sur la page courante"));
    setFont(PoliceTablarix(11));

    auto* parametre = new QGroupBox(QStringLiteral("Paramètre"));
    auto* formulaire = new QFormLayout(parametre);
    NomConstEdit =
        EditParametre(*formulaire, QStringLiteral("NomConstEdit"), QStringLiteral("Symbole"), 8);
    UniteConstEdit =
        EditParametre(*formulaire, QStringLiteral("UniteConstEdit"), QStringLiteral("Unité"), 20);
    SignifConstEdit = EditParametre(*formulaire, QStringLiteral("SignifConstEdit"),
                                    QStringLiteral("Signification"), 0);
    ValeurConstEdit =
        EditParametre(*formulaire, QStringLiteral("ValeurConstEdit"), QStringLiteral("Valeur"), 0);
    FixeChampNumerique(*ValeurConstEdit);

    auto* commentaire = new QGroupBox(QStringLiteral("Commentaire"));
    EditComm = new QLineEdit;
    (new QVBoxLayout(commentaire))->addWidget(EditComm);
    Nomme(*EditComm, QStringLiteral("EditComm"));
    EditComm->setAccessibleName(QStringLiteral("Commentaire"));

    NewPageCB = new TRadioGroup(QStringLiteral("Données vers Tablarix"), 2);
    NewPageCB->FixeItems({QStringLiteral("Nouveau fichier"), QStringLiteral("Nouvelle page")});
    Nomme(*NewPageCB, QStringLiteral("NewPageCB"));
    NewPageCB->SetItemIndex(0);

    OKBtn = new QPushButton(QStringLiteral("OK"));
    CancelBtn = new QPushButton(QStringLiteral("Annuler"));
    HelpBtn = new QPushButton(QStringLiteral("&Aide"));
    Nomme(*OKBtn, QStringLiteral("OKBtn"));
    Nomme(*CancelBtn, QStringLiteral("CancelBtn"));
    Nomme(*HelpBtn, QStringLiteral("HelpBtn"));
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &TConstanteDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TConstanteDlg::CancelBtnClick);

    auto* boutons = new QVBoxLayout;
    for (QPushButton* b : {OKBtn, CancelBtn, HelpBtn})
        boutons->addWidget(b);
    boutons->addStretch();
    auto* haut = new QHBoxLayout;
    haut->addWidget(parametre, 1);
    haut->addLayout(boutons);
    auto* page = new QVBoxLayout(this);
    page->addLayout(haut);
    page->addWidget(commentaire);
    page->addWidget(NewPageCB);
    resize(348, 198);
}

void TConstanteDlg::ValideConstante() {
    double valeur = 0;
    ConstanteValide = LitReel(ValeurConstEdit->text(), Regional().SeparateurDecimal, valeur) &&
                      !NomConstEdit->text().isEmpty();
}

void TConstanteDlg::OKBtnClick() {
    ValideConstante();
    accept();
}

void TConstanteDlg::CancelBtnClick() {
    reject();
}

void TConstanteDlg::reject() {
    ValideConstante();
    QDialog::reject();
}

void TConstanteDlg::showEvent(QShowEvent* evenement) {
    QDialog::showEvent(evenement);
    OKBtn->setFocus();
}
