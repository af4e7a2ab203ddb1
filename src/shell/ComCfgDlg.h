#pragma once

#include <QDialog>
#include <QList>

class QCheckBox;
class QPushButton;
class TApdComPort;
class TRadioGroup;

// "Configuration du port RS232": the COM ports present at start, one to choose, and the check
// box of the trace and log files.
class TComCfgDlg : public QDialog {
    Q_OBJECT
public:
    TComCfgDlg(TApdComPort& voie, QWidget* parent = nullptr);

    TRadioGroup* Comports;
    QCheckBox* TraceCB;
    QList<qint32> NumerosPorts; // entry i: the port number of item i

public slots:
    void OKBtnClick();

private:
    void FormCreate();

    TApdComPort& voie_;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
};
