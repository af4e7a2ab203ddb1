#include "base/Controles.h"
#include "instrument/ApdComPort.h"
#include "instrument/PeripheriqueCom.h"
#include "instrument/SpectroJenway.h"
#include "shell/ComCfgDlg.h"

#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kPortsNommes = 50;

// The port choice over a set of devices that the test changes as adapters come and go.
class ChoixDuPort : public ::testing::Test {
protected:
    void SetUp() override {
        Spectro = TspectroJenway{};
        for (int n = 1; n <= kPortsNommes; ++n)
            qunsetenv("JENWAY_COM" + QByteArray::number(n));
    }
    void TearDown() override {
        dialogue_.reset();
        qunsetenv("JENWAY_COM2");
        Spectro = TspectroJenway{};
    }

    TComCfgDlg& Dialogue() {
        dialogue_ = std::make_unique<TComCfgDlg>(voie_, nullptr, [this] { return ports_; });
        return *dialogue_;
    }
    QStringList Items() const {
        QStringList textes;
        for (int i = 0; i < dialogue_->Comports->Nombre(); ++i)
            textes << dialogue_->Comports->Item(i)->text();
        return textes;
    }
    QString Choisi() const {
        const int choix = dialogue_->Comports->ItemIndex();
        return choix < 0 ? QString() : dialogue_->Comports->Item(choix)->text();
    }

    QList<TPortSerie> ports_;
    TApdComPort voie_;
    std::unique_ptr<TComCfgDlg> dialogue_;
};

// Every device is listed with what it says of itself, by port number, the current port chosen.
// A device that no number names (past the table, or whose number a variable gave to another
// device) is shown and cannot be chosen.
TEST_F(ChoixDuPort, ChaquePeripheriqueAvecSonNumeroSaDescriptionEtSonFabricant) {
    qputenv("JENWAY_COM2", "/tmp/simulateur");
    ports_ = {
        {"/dev/ttyUSB1", "CP2102 USB to UART Bridge Controller", "Silicon Labs"},
        {"/dev/ttyS0", {}, {}},
        {"/dev/ttyUSB0", "FT232R USB UART", "FTDI"},
        {"/dev/ttyAMA0", {}, {}},
        {"/dev/ttyS1", {}, {}},
        {"/tmp/simulateur", {}, {}},
        {"/dev/ttyACM0", "Jenway 6500", "Jenway 6500"},
    };
    Spectro.Com = 11;
    TComCfgDlg& d = Dialogue();
    EXPECT_EQ(Items(), QStringList({
                           "COM1 — /dev/ttyS0",
                           "COM2 — /tmp/simulateur",
                           "COM11 — /dev/ttyUSB0 — FT232R USB UART — FTDI",
                           "COM12 — /dev/ttyUSB1 — CP2102 USB to UART Bridge Controller — Silicon "
                           "Labs",
                           "COM31 — /dev/ttyACM0 — Jenway 6500",
                           "/dev/ttyAMA0",
                           "/dev/ttyS1",
                       }));
    EXPECT_EQ(d.NumerosPorts, QList<qint32>({1, 2, 11, 12, 31, 0, 0}));
    EXPECT_EQ(Choisi(), "COM11 — /dev/ttyUSB0 — FT232R USB UART — FTDI");
    EXPECT_TRUE(d.Comports->Item(4)->isEnabled());
    EXPECT_FALSE(d.Comports->Item(5)->isEnabled());
    EXPECT_TRUE(d.Comports->Item(6)->toolTip().contains("JENWAY_COMn"));

    d.Comports->SetItemIndex(3);
    d.OKBtnClick();
    EXPECT_EQ(voie_.ComNumber(), 12);
}

// The port of the settings is listed even while its adapter is out, and OK keeps it; the list
// follows the adapters plugged in while the dialog is open, keeping the user's choice.
TEST_F(ChoixDuPort, LaListeSuitLesAdaptateursBranchesPendantQuElleEstOuverte) {
    ports_ = {{"/dev/ttyS0", {}, {}}};
    Spectro.Com = 11;
    TComCfgDlg& d = Dialogue();
    d.show();
    EXPECT_EQ(Items(), QStringList({"COM1 — /dev/ttyS0", "COM11 — /dev/ttyUSB0 — absent"}));
    EXPECT_EQ(Choisi(), "COM11 — /dev/ttyUSB0 — absent");

    ports_.append({"/dev/ttyUSB0", "FT232R USB UART", "FTDI"});
    const auto tient = [this](const QStringList& attendus) {
        return QTest::qWaitFor([&] { return Items() == attendus; },
                               20 * TComCfgDlg::kIntervalleActualisation);
    };
    ASSERT_TRUE(tient({"COM1 — /dev/ttyS0", "COM11 — /dev/ttyUSB0 — FT232R USB UART — FTDI"}))
        << Items().join('\n').toStdString();
    EXPECT_EQ(Choisi(), "COM11 — /dev/ttyUSB0 — FT232R USB UART — FTDI");
    QTest::qWait(50);                              // the layout settles
    for (int i = 0; i < d.Comports->Nombre(); ++i) // the longer item is read whole
        EXPECT_GE(d.Comports->Item(i)->width(), d.Comports->Item(i)->sizeHint().width()) << i;

    d.Comports->SetItemIndex(0); // chosen, not yet confirmed, when another adapter comes
    ports_.append({"/dev/ttyACM0", {}, {}});
    ASSERT_TRUE(tient({"COM1 — /dev/ttyS0", "COM11 — /dev/ttyUSB0 — FT232R USB UART — FTDI",
                       "COM31 — /dev/ttyACM0"}));
    EXPECT_EQ(Choisi(), "COM1 — /dev/ttyS0");

    d.hide(); // the next showing starts again from the port of the settings
    d.show();
    EXPECT_EQ(Choisi(), "COM11 — /dev/ttyUSB0 — FT232R USB UART — FTDI");

    ports_.removeLast();
    ports_.removeLast();
    ASSERT_TRUE(tient({"COM1 — /dev/ttyS0", "COM11 — /dev/ttyUSB0 — absent"}));
    voie_.SetComNumber(1);
    d.OKBtnClick();
    EXPECT_EQ(voie_.ComNumber(), 11);
}

} // namespace
