#pragma once

#include <QWidget>

class QKeyEvent;
class QLabel;
class QPushButton;
class TApdComPort;

// The mode launcher: three mode buttons, the full configuration, and the top bar. It owns the
// one serial port of the program and is the only place where modes change.
class TFormMain : public QWidget {
    Q_OBJECT
public:
    explicit TFormMain(QWidget* parent = nullptr);
    ~TFormMain() override;

    // 0 none, 1 spectrum, 2 kinetics, 3 Beer-Lambert.
    void ChoixMode(quint8 mode);

    TApdComPort* VoieSerie;
    quint8 ModeCourant = 0;

    QLabel* Label1;
    QWidget* BoutonPanel;
    QPushButton* AboutBtn;
    QPushButton* BitBtn1;
    QPushButton* ExitBtn;
    QPushButton* CinetiqueBtn;
    QPushButton* SpectreMinMaxBtn;
    QPushButton* BeerBtn;
    QPushButton* ConfigBtn;

public slots:
    void CinetiqueBtnClick();
    void SpectreMinMaxBtnClick();
    void BeerBtnClick();
    void ComBtnClick();
    void BitBtn1Click();
    void AboutItemClick();
    void ExitItemClick();

protected:
    void closeEvent(QCloseEvent* evenement) override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    void FormCreate();
    void FormClose();
    bool FinDesAcquisitions();
    bool OuvreVoieSerie();
    void RegleVoieSerie();
    void AppActivate();
    void AppHint(const QString& texte);
    bool AppMessage(QObject* destinataire, QKeyEvent& touche);
    QWidget* FenetreDuMode() const;
    QPushButton* BoutonDuMode() const;
};
