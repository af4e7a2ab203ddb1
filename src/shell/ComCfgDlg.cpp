#include "shell/ComCfgDlg.h"

#include "base/Application.h"
#include "base/Controles.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <map>

namespace {

// "COM11 — /dev/ttyUSB0 — FT232R USB UART — FTDI": what the user recognises the adapter by.
QString TexteDuPort(int numero, const TPortSerie& port, bool present) {
    QStringList parties;
    if (numero > 0)
        parties << QStringLiteral("COM%1").arg(numero);
    if (port.Peripherique != QStringLiteral("\\\\.\\COM%1").arg(numero))
        parties << port.Peripherique;
    if (!port.Description.isEmpty())
        parties << port.Description;
    if (!port.Fabricant.isEmpty() && port.Fabricant != port.Description)
        parties << port.Fabricant;
    if (!present)
        parties << QStringLiteral("absent");
    return parties.join(QStringLiteral(" — "));
}

} // namespace

TComCfgDlg::TComCfgDlg(TApdComPort& voie, QWidget* parent, TEnumerationPorts enumeration)
    : QDialog(parent), voie_(voie), enumeration_(std::move(enumeration)),
      actualisation_(new QTimer(this)) {
    setObjectName(QStringLiteral("ComCfgDlg"));
    setWindowTitle(QStringLiteral("Configuration du port RS232"));

    // One column: an item names its device, which takes a line.
    Comports = new TRadioGroup(QStringLiteral("&COM"), 1);
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

    actualisation_->setInterval(kIntervalleActualisation);
    connect(actualisation_, &QTimer::timeout, this, &TComCfgDlg::Actualise);
    FormCreate();
}

void TComCfgDlg::FormCreate() {
    ports_ = enumeration_();
    Remplit(Spectro.Com);
}

// Each showing starts from the devices there now and from the port of the settings.
void TComCfgDlg::showEvent(QShowEvent* evenement) {
    QDialog::showEvent(evenement);
    FormCreate();
    actualisation_->start();
}

void TComCfgDlg::hideEvent(QHideEvent* evenement) {
    actualisation_->stop();
    QDialog::hideEvent(evenement);
}

// Rebuilt only when the devices changed, keeping the item the user chose.
void TComCfgDlg::Actualise() {
    QList<TPortSerie> ports = enumeration_();
    if (ports == ports_)
        return;
    ports_ = std::move(ports);
    const int choix = Comports->ItemIndex();
    Remplit(choix >= 0 ? NumerosPorts[choix] : Spectro.Com);
}

// Items in the order of their numbers, the devices without one after them. The port of the
// settings is listed even when its device is absent: OK then keeps it.
void TComCfgDlg::Remplit(int numeroAChoisir) {
    struct TItem {
        QString Texte;
        QString Aide;
    };
    std::map<int, TItem> numerotes;
    QList<TItem> sansNumero;
    for (const TPortSerie& port : ports_) {
        const int numero = NumeroPortCom(port.Peripherique);
        if (numero > 0)
            numerotes.emplace(numero, TItem{TexteDuPort(numero, port, true), {}});
        else
            sansNumero.append({TexteDuPort(0, port, true),
                               QStringLiteral("Aucun numéro de port ne désigne ce périphérique : "
                                              "donnez-lui-en un par la variable d'environnement "
                                              "JENWAY_COMn.")});
    }
    const int courant = Spectro.Com;
    if (courant > 0 && !numerotes.count(courant))
        numerotes.emplace(courant,
                          TItem{TexteDuPort(courant, {NomPeripheriqueCom(courant), {}, {}}, false),
                                QStringLiteral("Le port des réglages n'est pas branché : branchez "
                                               "l'appareil, la liste se met à jour.")});
    if (!numerotes.count(numeroAChoisir))
        numeroAChoisir = courant;

    QList<TItem> items;
    NumerosPorts.clear();
    for (const auto& [numero, item] : numerotes) {
        NumerosPorts << numero;
        items << item;
    }
    for (const TItem& item : sansNumero) {
        NumerosPorts << 0;
        items << item;
    }
    QStringList textes;
    for (const TItem& item : items)
        textes << item.Texte;
    Comports->FixeItems(textes);
    // Qt shows the tooltip of a disabled item too: there the user reads how to give its device a
    // number.
    for (int i = 0; i < items.size(); ++i) {
        Comports->Item(i)->setToolTip(items[i].Aide);
        Comports->Item(i)->setEnabled(NumerosPorts[i] > 0);
    }
    // A new item may be longer than the dialog that is already showing. Qt shows the new items
    // from the event loop: the size is taken once they are there.
    if (isVisible())
        QMetaObject::invokeMethod(
            this, [this] { resize(size().expandedTo(sizeHint())); }, Qt::QueuedConnection);
    Comports->SetItemIndex(
        numeroAChoisir > 0 ? static_cast<int>(NumerosPorts.indexOf(numeroAChoisir)) : -1);
}

void TComCfgDlg::OKBtnClick() {
    // Accepted first: a port that fails to reopen is reported, and the dialog still closes.
    accept();
    const int choix = Comports->ItemIndex();
    if (choix >= 0 && NumerosPorts[choix] > 0)
        AvecBoiteErreur([&] { voie_.SetComNumber(static_cast<quint16>(NumerosPorts[choix])); });
}
