#include "shell/ComCfgDlg.h"

#include "instrument/ApdComPort.h"
#include "instrument/PeripheriqueCom.h"
#include "shell/Application.h"
#include "shell/Controles.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int kPortsSondes = 50;
}

TComCfgDlg::TComCfgDlg(TApdComPort& voie, QWidget* parent) : QDialog(parent), voie_(voie) {
    setObjectName(QStringLiteral("ComCfgDlg"));
    setWindowTitle(QStringLiteral("Configuration du port RS232"));

    Comports = new TRadioGroup(QStringLiteral("&COM"), 2);
    Nomme(*Comports, QStringLiteral("Comports"));
    TraceCB = new QCheckBox(QStringLiteral("Génére des fichiers jenway.trc et jenway.log"));
    Nomme(*TraceCB, QStringLiteral("TraceCB"));

    OKBtn = new QPushButton(QStringLiteral("OK"));
    CancelBtn = new QPushButton(QStringLiteral("Abandon"));
    Nomme(*OKBtn, QStringLiteral("OKBtn"));
    Nomme(*CancelBtn, QStringLiteral("CancelBtn"));
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &TComCfgDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* panel1 = new QVBoxLayout;
    panel1->addWidget(Comports, 1);
    panel1->addWidget(TraceCB);
    auto* panel2 = new QVBoxLayout;
    panel2->addWidget(OKBtn);
    panel2->addWidget(CancelBtn);
    panel2->addStretch();
    auto* page = new QHBoxLayout(this);
    page->addLayout(panel1, 1);
    page->addLayout(panel2);
    setMinimumSize(344, 118);

    FormCreate();
}

void TComCfgDlg::FormCreate() {
    QStringList items;
    NumerosPorts.clear();
    int selection = -1;
    for (int n = 1; n <= kPortsSondes; ++n) {
        if (!PortComPresent(n))
            continue;
        if (n == voie_.ComNumber())
            selection = static_cast<int>(NumerosPorts.size());
        NumerosPorts.append(n);
        items << QStringLiteral("COM%1").arg(n);
    }
    Comports->FixeItems(items);
    // Off Windows a port number says nothing of the device behind it: show it.
    for (int i = 0; i < NumerosPorts.size(); ++i)
        Comports->Item(i)->setToolTip(NomPeripheriqueCom(NumerosPorts[i]));
    Comports->SetItemIndex(selection);
}

void TComCfgDlg::OKBtnClick() {
    // Accepted first: a port that fails to reopen is reported, and the dialog still closes.
    accept();
    const int choix = Comports->ItemIndex();
    if (choix >= 0)
        AvecBoiteErreur([&] { voie_.SetComNumber(static_cast<quint16>(NumerosPorts[choix])); });
}
