#include "instrument/ConfigSpectroDlg.h"

#include "base/Application.h"
#include "base/Controles.h"
#include "base/Regional.h"
#include "base/Utilitaires.h"
#include "instrument/PeripheriqueCom.h"
#include "instrument/SpectroJenway.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// A group box holding one control, as the command page lays its fields out.
QGroupBox* Groupe(const QString& titre, QWidget* controle, const QString& etiquette = {}) {
    auto* groupe = new QGroupBox(titre);
    auto* ligne = new QHBoxLayout(groupe);
    if (!etiquette.isEmpty())
        ligne->addWidget(new QLabel(etiquette));
    ligne->addWidget(controle);
    return groupe;
}

QLineEdit* EditCommande(const QString& nom, const QString& accessible) {
    auto* edit = new QLineEdit;
    edit->setObjectName(nom);
    edit->setAccessibleName(accessible);
    return edit;
}

TSpinEdit* Spin(const QString& nom, const QString& accessible, qint32 mini, qint32 maxi,
                qint32 pas) {
    auto* spin = new TSpinEdit;
    spin->FixeBornes(mini, maxi);
    spin->FixeIncrement(pas);
    spin->setObjectName(nom);
    spin->setAccessibleName(accessible);
    return spin;
}

// A page that scrolls only where the screen is too small for it (a 1080-line screen at a scale
// of 2): it asks for the page's whole size, where a scroll area would ask for a fixed few lines.
class TPageDefilante : public QScrollArea {
public:
    explicit TPageDefilante(QWidget* page) {
        setWidget(page);
        setWidgetResizable(true);
        setFrameShape(QFrame::NoFrame);
    }
    QSize sizeHint() const override {
        return widget()->sizeHint() + QSize(2 * frameWidth(), 2 * frameWidth());
    }
};

// A number typed in an absorbance field; the error names the text as typed.
double LitAbsorbance(const QLineEdit& edit) {
    double valeur = 0;
    if (!LitReel(edit.text(), Regional().SeparateurDecimal, valeur))
        throw std::invalid_argument(
            QStringLiteral("'%1' n'est pas une valeur à virgule flottante correcte")
                .arg(edit.text())
                .toStdString());
    return valeur;
}

} // namespace

TConfigSpectroDlg::TConfigSpectroDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ConfigSpectroDlg"));
    setWindowTitle(QStringLiteral("Configuration de spectrophotomètre à sortie RS232"));

    Notebook = new QTabWidget;
    Notebook->setObjectName(QStringLiteral("Notebook"));
    Notebook->addTab(new TPageDefilante(PageVoieSerie()), QStringLiteral("Voie série"));
    Notebook->addTab(new TPageDefilante(PageCommande()), QStringLiteral("Commande"));

    OKBtn = new QPushButton(QStringLiteral("OK"));
    CancelBtn = new QPushButton(QStringLiteral("Abandon"));
    ClearBtn = new QPushButton(QStringLiteral("RàZ"));
    auto* panelBoutons = new QVBoxLayout;
    for (QPushButton* b : {OKBtn, CancelBtn, ClearBtn})
        panelBoutons->addWidget(b);
    panelBoutons->addStretch();
    Nomme(*OKBtn, QStringLiteral("OKBtn"));
    Nomme(*CancelBtn, QStringLiteral("CancelBtn"));
    Nomme(*ClearBtn, QStringLiteral("ClearBtn"));
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &TConfigSpectroDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* page = new QHBoxLayout(this);
    page->addWidget(Notebook, 1);
    page->addLayout(panelBoutons);
    AjusteALEcran();
}

// The whole dialog where the screen has room, else the screen's room, less a tenth for the
// title bar and the desktop's panels: the pages scroll.
void TConfigSpectroDlg::AjusteALEcran() {
    const QSize voulue = sizeHint().expandedTo(QSize(504, 417));
    const QScreen* ecran = screen();
    if (!ecran) {
        resize(voulue);
        return;
    }
    resize(voulue.boundedTo(ecran->availableGeometry().size() * 9 / 10));
}

QWidget* TConfigSpectroDlg::PageVoieSerie() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabComi"));
    Comports = new TRadioGroup(QStringLiteral("&Com:"), 2);
    Comports->FixeItems({"Com1", "Com2", "Com3", "Com4", "Com5", "Com6", "Com7", "Com8"});
    BaudsRG = new TRadioGroup(QStringLiteral("&Vitesse:"), 2);
    BaudsRG->FixeItems(
        {"300", "600", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"});
    ParityRG = new TRadioGroup(QStringLiteral("&Parité:"), 2);
    ParityRG->FixeItems({"None", "Odd", "Even", "Mark", "Space"});
    DatabitsRG = new TRadioGroup(QStringLiteral("&Data bits:"), 2);
    DatabitsRG->FixeItems({"8", "7", "6", "5"});
    StopbitsRG = new TRadioGroup(QStringLiteral("&Stop bits:"), 2);
    StopbitsRG->FixeItems({"1", "2"});
    Nomme(*Comports, QStringLiteral("Comports"));
    Nomme(*BaudsRG, QStringLiteral("BaudsRG"));
    Nomme(*ParityRG, QStringLiteral("ParityRG"));
    Nomme(*DatabitsRG, QStringLiteral("DatabitsRG"));
    Nomme(*StopbitsRG, QStringLiteral("StopbitsRG"));

    auto* controle = new QGroupBox(QStringLiteral("&Contrôle:"));
    controle->setObjectName(QStringLiteral("FlowControlBox"));
    RTSCTSbox = new QCheckBox(QStringLiteral("RTS/CTS"));
    XonXoffBox = new QCheckBox(QStringLiteral("Protocole Xon Xoff"));
    Nomme(*RTSCTSbox, QStringLiteral("RTSCTSbox"));
    Nomme(*XonXoffBox, QStringLiteral("XonXoffBox"));
    auto* flux = new QVBoxLayout(controle);
    flux->addWidget(RTSCTSbox);
    flux->addWidget(XonXoffBox);

    EditNomAppareil =
        EditCommande(QStringLiteral("EditNomAppareil"), QStringLiteral("Nom appareil"));
    EditNomAppareil->setMaxLength(80);
    StartRemoteEdit = EditCommande(QStringLiteral("StartRemoteEdit"), QStringLiteral("Début"));
    StopRemoteEdit = EditCommande(QStringLiteral("StopRemoteEdit"), QStringLiteral("Fin"));
    auto* remote = new QGroupBox(QStringLiteral("Commande par l'ordinateur"));
    auto* lignes = new QGridLayout(remote);
    lignes->addWidget(new QLabel(QStringLiteral("Début")), 0, 0);
    lignes->addWidget(StartRemoteEdit, 0, 1);
    lignes->addWidget(new QLabel(QStringLiteral("Fin")), 1, 0);
    lignes->addWidget(StopRemoteEdit, 1, 1);

    auto* grille = new QGridLayout(page);
    grille->addWidget(Comports, 0, 0);
    grille->addWidget(BaudsRG, 0, 1);
    grille->addWidget(ParityRG, 1, 0);
    grille->addWidget(DatabitsRG, 1, 1);
    grille->addWidget(StopbitsRG, 2, 0);
    grille->addWidget(controle, 2, 1);
    grille->addWidget(Groupe(QStringLiteral("Nom appareil"), EditNomAppareil), 3, 0);
    grille->addWidget(remote, 3, 1);
    return page;
}

QWidget* TConfigSpectroDlg::PageCommande() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabCommande"));
    EditDemandeAbs =
        EditCommande(QStringLiteral("EditDemandeAbs"), QStringLiteral("Demande d'absorbance"));
    EditEnvoiLambda =
        EditCommande(QStringLiteral("EditEnvoiLambda"), QStringLiteral("Positionnement Lambda"));
    SetDebutLambdaEdit =
        EditCommande(QStringLiteral("SetDebutLambdaEdit"), QStringLiteral("Début spectre"));
    SetFinLambdaEdit =
        EditCommande(QStringLiteral("SetFinLambdaEdit"), QStringLiteral("Fin spectre"));
    LigneDeBaseEdit =
        EditCommande(QStringLiteral("LigneDeBaseEdit"), QStringLiteral("Ligne de base"));
    GetSpectreEdit = EditCommande(QStringLiteral("GetSpectreEdit"), QStringLiteral("Spectre"));
    FinCommandeSE = Spin(QStringLiteral("FinCommandeSE"), QStringLiteral("Code ASCII"), 0, 255, 1);
    MiniSE =
        Spin(QStringLiteral("MiniSE"), QStringLiteral("Longueur d'onde minimum"), 100, 400, 10);
    MaxiSE =
        Spin(QStringLiteral("MaxiSE"), QStringLiteral("Longueur d'onde maximum"), 800, 1000, 10);
    EditMinAbs = EditCommande(QStringLiteral("EditMinAbs"), QStringLiteral("Minimum absorbance"));
    EditMaxAbs = EditCommande(QStringLiteral("EditMaxAbs"), QStringLiteral("Maximum absorbance"));
    for (QLineEdit* nombre : {EditMinAbs, EditMaxAbs})
        FixeChampNumerique(*nombre);

    auto* grille = new QGridLayout(page);
    const std::pair<QWidget*, QString> champs[] = {
        {EditDemandeAbs, EditDemandeAbs->accessibleName()},
        {EditEnvoiLambda, EditEnvoiLambda->accessibleName()},
        {SetDebutLambdaEdit, SetDebutLambdaEdit->accessibleName()},
        {SetFinLambdaEdit, SetFinLambdaEdit->accessibleName()},
        {LigneDeBaseEdit, LigneDeBaseEdit->accessibleName()},
        {GetSpectreEdit, GetSpectreEdit->accessibleName()},
        {MiniSE, MiniSE->accessibleName()},
        {MaxiSE, MaxiSE->accessibleName()},
        {EditMinAbs, EditMinAbs->accessibleName()},
        {EditMaxAbs, EditMaxAbs->accessibleName()},
    };
    int rang = 0;
    for (const auto& [controle, titre] : champs) {
        grille->addWidget(Groupe(titre, controle), rang / 2, rang % 2);
        ++rang;
    }
    grille->addWidget(
        Groupe(QStringLiteral("Fin de commande"), FinCommandeSE, QStringLiteral("Code ASCII")),
        rang / 2, rang % 2);
    return page;
}

void TConfigSpectroDlg::showEvent(QShowEvent* evenement) {
    QDialog::showEvent(evenement);
    FormActivate();
}

void TConfigSpectroDlg::FormActivate() {
    const QChar separateur = Regional().SeparateurDecimal;
    EditNomAppareil->setText(Spectro.NomAppareil.Texte());
    EditMinAbs->setText(FormatGeneral(Spectro.MiniA, 15, 1, separateur));
    EditMaxAbs->setText(FormatGeneral(Spectro.MaxiA, 15, 1, separateur));
    MaxiSE->SetValue(Spectro.MaxiL);
    MiniSE->SetValue(Spectro.MiniL);
    AfficheLesPorts();
    BaudsRG->SetItemIndex(6);
    for (int i = 0; i < BaudsRG->Nombre(); ++i)
        if (kVitesses[i] == Spectro.Baud / 10) {
            BaudsRG->SetItemIndex(i);
            break;
        }
    const auto dernierSiAuDela = [](const TRadioGroup& groupe, int index) {
        return std::min(index, groupe.Nombre() - 1);
    };
    ParityRG->SetItemIndex(dernierSiAuDela(*ParityRG, static_cast<int>(Spectro.Parity)));
    DatabitsRG->SetItemIndex(dernierSiAuDela(*DatabitsRG, 8 - Spectro.DataBits));
    StopbitsRG->SetItemIndex(dernierSiAuDela(*StopbitsRG, Spectro.StopBits - 1));
    RTSCTSbox->setChecked(Spectro.RTS);
    XonXoffBox->setChecked(Spectro.XonXoff);
    EditDemandeAbs->setText(Spectro.CmdDemandeAbs.Texte());
    EditEnvoiLambda->setText(Spectro.CmdLambda.Texte());
    StopRemoteEdit->setText(Spectro.CmdFinRemote.Texte());
    StartRemoteEdit->setText(Spectro.CmdDebutRemote.Texte());
    SetDebutLambdaEdit->setText(Spectro.CmdDebutSpectre.Texte());
    SetFinLambdaEdit->setText(Spectro.CmdFinSpectre.Texte());
    GetSpectreEdit->setText(Spectro.CmdSpectre.Texte());
    LigneDeBaseEdit->setText(Spectro.CmdLigneDeBase.Texte());
    FinCommandeSE->SetValue(Spectro.FinMessage);
}

// Com1 to Com8, and the port of the settings when it is beyond them (an USB-serial adapter):
// shown as a ninth item, it is kept unless the user chooses another.
void TConfigSpectroDlg::AfficheLesPorts() {
    QStringList items;
    for (int numero = 1; numero <= kPortsListes; ++numero)
        items << QStringLiteral("Com%1").arg(numero);
    comHorsListe_ = Spectro.Com > kPortsListes ? Spectro.Com : 0;
    if (comHorsListe_ > 0)
        items << QStringLiteral("Com%1").arg(comHorsListe_);
    Comports->FixeItems(items);
    for (int i = 0; i < Comports->Nombre(); ++i)
        Comports->Item(i)->setToolTip(NomPeripheriqueCom(i < kPortsListes ? i + 1 : comHorsListe_));
    Comports->SetItemIndex(std::min<int>(Spectro.Com, Comports->Nombre()) - 1);
}

void TConfigSpectroDlg::OKBtnClick() {
    // The result is OK from the moment the button is pressed, even when a field stops the
    // storing below.
    accept();
    AvecBoiteErreur([this] { StockeControles(); });
}

void TConfigSpectroDlg::StockeControles() {
    Spectro.NomAppareil = TChaine80::DepuisTexte(EditNomAppareil->text());
    Spectro.MiniA = LitAbsorbance(*EditMinAbs);
    Spectro.MaxiA = LitAbsorbance(*EditMaxAbs);
    // Within the fields' ranges: the windows send wavelengths up to these limits.
    Spectro.MiniL = MiniSE->ValeurBornee();
    Spectro.MaxiL = MaxiSE->ValeurBornee();
    Spectro.CmdDemandeAbs = TChaine20::DepuisTexte(EditDemandeAbs->text());
    Spectro.CmdDebutRemote = TChaine20::DepuisTexte(StartRemoteEdit->text());
    Spectro.CmdFinRemote = TChaine20::DepuisTexte(StopRemoteEdit->text());
    Spectro.CmdLambda = TChaine20::DepuisTexte(EditEnvoiLambda->text());
    Spectro.CmdDebutSpectre = TChaine20::DepuisTexte(SetDebutLambdaEdit->text());
    Spectro.CmdFinSpectre = TChaine20::DepuisTexte(SetFinLambdaEdit->text());
    Spectro.CmdSpectre = TChaine20::DepuisTexte(GetSpectreEdit->text());
    Spectro.CmdLigneDeBase = TChaine20::DepuisTexte(LigneDeBaseEdit->text());
    Spectro.FinMessage = static_cast<quint8>(FinCommandeSE->ValeurBornee());
    Spectro.Com = static_cast<quint16>(Comports->ItemIndex() + 1);
    if (Comports->ItemIndex() == kPortsListes)
        Spectro.Com = comHorsListe_;
    Spectro.Baud = 10 * kVitesses[std::max(0, BaudsRG->ItemIndex())];
    Spectro.Parity = static_cast<TParite>(ParityRG->ItemIndex());
    Spectro.DataBits = static_cast<quint16>(8 - DatabitsRG->ItemIndex());
    Spectro.StopBits = static_cast<quint16>(StopbitsRG->ItemIndex() + 1);
    Spectro.RTS = RTSCTSbox->isChecked();
    Spectro.XonXoff = XonXoffBox->isChecked();
}
