#pragma once

#include "instrument/PeripheriqueCom.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QPushButton;
class QTimer;
class TApdComPort;
class TRadioGroup;

// "Configuration du port RS232": the serial devices of the system, one to choose, and the check
// box of the trace and log files. The list follows the devices while the dialog is open (an
// adapter plugged in shows up), and the port of the settings is preselected.
class TComCfgDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kIntervalleActualisation = 1000; // ms

    explicit TComCfgDlg(TApdComPort& voie, QWidget* parent = nullptr,
                        TEnumerationPorts enumeration = PortsDuSysteme);

    TRadioGroup* Comports;
    QCheckBox* TraceCB;
    // Entry i: the port number of item i; 0 for a device that no port number names, whose item
    // cannot be chosen.
    QList<qint32> NumerosPorts;

public slots:
    void OKBtnClick();

protected:
    void showEvent(QShowEvent* evenement) override;
    void hideEvent(QHideEvent* evenement) override;

private:
    void FormCreate();
    void Actualise();
    void Remplit(int numeroAChoisir);

    TApdComPort& voie_;
    TEnumerationPorts enumeration_;
    QList<TPortSerie> ports_; // as last listed
    QTimer* actualisation_;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
};
