#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QStackedWidget;
class TBeerForm;
class TRadioGroup;

// "Utilisation de la loi de Beer-Lambert": chooses the acquisition mode of the Beer-Lambert
// window and, for keyboard entry, the quantity typed. Created for one use; OK writes straight
// into the window's Mode and horizontal world, Cancel leaves them alone.
class TModeBeerDlg : public QDialog {
    Q_OBJECT
public:
    explicit TModeBeerDlg(TBeerForm& fenetre, QWidget* parent = nullptr);

    TRadioGroup* ModeAcqRG;
    QStackedWidget* NoteBook;
    QLineEdit* EditMaxBeer;
    QLineEdit* EditNom;
    QLineEdit* EditUnite;
    QLineEdit* EditMin;
    QLineEdit* EditMax;
    QLineEdit* EditSignif;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QPushButton* HelpBtn;

public slots:
    // Fills the controls from the window; runs once, when the dialog is created for its use.
    void FormActivate();
    void ModeAcqRGClick();
    void OKBtnClick();

private:
    QWidget* PageBarre();
    QWidget* PageBeer();
    QWidget* PageClavier();

    TBeerForm& fenetre_;
};
