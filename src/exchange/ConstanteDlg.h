#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class TRadioGroup;

// "Renseignements sur la page courante": one parameter of the experiment, a comment and the
// destination of the next transfer to Tablarix. Created once; what was typed accompanies every
// later transfer and kinetics file.
class TConstanteDlg : public QDialog {
    Q_OBJECT
public:
    explicit TConstanteDlg(QWidget* parent = nullptr);

    // The parameter is complete: a symbol and a value that reads as a number. Changes only when
    // the dialog closes.
    bool ConstanteValide = false;

    QLineEdit* NomConstEdit;
    QLineEdit* UniteConstEdit;
    QLineEdit* SignifConstEdit;
    QLineEdit* ValeurConstEdit;
    QLineEdit* EditComm;
    TRadioGroup* NewPageCB; // "Nouveau fichier" (0), "Nouvelle page" (1)

public slots:
    void OKBtnClick();
    void CancelBtnClick();
    // Escape and the close box cancel too, and validate like the Cancel button.
    void reject() override;

protected:
    void showEvent(QShowEvent* evenement) override;

private:
    void ValideConstante();

    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QPushButton* HelpBtn;
};

// The one dialog of the program, created at start with the other windows (null before and after).
extern TConstanteDlg* ConstanteDlg;
