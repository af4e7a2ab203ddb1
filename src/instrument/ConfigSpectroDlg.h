#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class TRadioGroup;
class TSpinEdit;

// "Configuration de spectrophotomètre à sortie RS232": every setting of `Spectro` that the user
// may change, created for each use. OK stores the controls into `Spectro` without validation.
class TConfigSpectroDlg : public QDialog {
    Q_OBJECT
public:
    explicit TConfigSpectroDlg(QWidget* parent = nullptr);

    // Tens of bits per second of the items of BaudsRG.
    static constexpr int kVitesses[] = {30, 60, 120, 240, 480, 960, 1920, 3840, 5760, 11520};
    // Com1 to Com8 are always listed.
    static constexpr int kPortsListes = 8;

    QTabWidget* Notebook;
    TRadioGroup* Comports;
    TRadioGroup* BaudsRG;
    TRadioGroup* ParityRG;
    TRadioGroup* DatabitsRG;
    TRadioGroup* StopbitsRG;
    QCheckBox* RTSCTSbox;
    QCheckBox* XonXoffBox;
    QLineEdit* EditNomAppareil;
    QLineEdit* StartRemoteEdit;
    QLineEdit* StopRemoteEdit;
    QLineEdit* EditDemandeAbs;
    QLineEdit* EditEnvoiLambda;
    QLineEdit* SetDebutLambdaEdit;
    QLineEdit* SetFinLambdaEdit;
    QLineEdit* LigneDeBaseEdit;
    QLineEdit* GetSpectreEdit;
    TSpinEdit* FinCommandeSE;
    TSpinEdit* MiniSE;
    TSpinEdit* MaxiSE;
    QLineEdit* EditMinAbs;
    QLineEdit* EditMaxAbs;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QPushButton* ClearBtn;

public slots:
    void FormActivate();
    void OKBtnClick();

protected:
    void showEvent(QShowEvent* evenement) override;

private:
    void StockeControles();
    void AfficheLesPorts();
    QWidget* PageVoieSerie();
    QWidget* PageCommande();
    void AjusteALEcran();

    quint16 comHorsListe_ = 0; // the port of the ninth item, 0 without one
};
