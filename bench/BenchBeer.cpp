// One full Beer-Lambert run through the window against the simulated instrument: wavelength,
// zero, eight standards typed in and eight samples read, then the resident memory (at most
// 80 MB) and the time of one reading, from the Enter key to the point recorded and shown.
#include "Banc.h"
#include "Figures.h"
#include "SimulateurLance.h"
#include "base/Controles.h"
#include "instrument/SpectroJenway.h"
#include "modes/beer/BeerForm.h"
#include "modes/beer/ModeBeerDlg.h"
#include "shell/Fenetres.h"
#include "shell/FormMain.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

void Entree(QLineEdit& edit, const QString& texte) {
    edit.setText(texte);
    QKeyEvent touche(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&edit, &touche);
}

void RunBeer(benchmark::State& etat) {
    TSimulateurLance simulateur;
    simulateur.Controle("bruit 0");
    Spectro = TspectroJenway{};
    TBoitesBanc boites;
    boites.ReponseParDefaut = TReponseBoite::Oui; // the axis grows to each standard
    const TFenetres fenetres;
    TBeerForm& f = *BeerForm;
    FormMain->ChoixMode(3);
    std::vector<double> lectures;
    for (auto _ : etat) {
        boites.Dialogues.push_back([](QDialog& d) {
            auto& dialogue = dynamic_cast<TModeBeerDlg&>(d);
            dialogue.ModeAcqRG->SetItemIndex(1);
            dialogue.EditMaxBeer->setText(QStringLiteral("1"));
            dialogue.OKBtnClick();
            return dialogue.result();
        });
        f.ModeBtn->click();
        f.LambdaSE->SetValue(520);
        f.MajBtn->click();
        if (!AttendQue([&f] { return !f.AttenteLambda(); }, 5000)) {
            etat.SkipWithError("longueur d'onde jamais stable");
            return;
        }
        simulateur.Controle("cuve blanc");
        f.ZeroBtn->click();
        simulateur.AttendJournal(3);
        for (int i = 1; i <= 8; ++i) {
            const QString c = QString::number(0.1 * i);
            simulateur.Controle("cuve etalon " + c.toLatin1());
            const qint64 debut = NanosecondesMonotones();
            Entree(*f.ClavierEdit, c);
            QCoreApplication::processEvents(); // the point reaches the screen
            lectures.push_back(static_cast<double>(NanosecondesMonotones() - debut) / 1e6);
        }
        if (f.Graphe.Courbe.NbPoints != 8) {
            etat.SkipWithError("étalons non lus");
            return;
        }
        for (int i = 1; i <= 8; ++i) {
            simulateur.Controle("cuve inconnu " + QByteArray::number(0.05 + 0.1 * i));
            f.EnregistreBtn->click();
            QCoreApplication::processEvents();
        }
        if (f.Session.Inconnues.NbreInconnues != 8) {
            static std::string raison;
            raison =
                ("inconnues non lues : " + boites.Textes.join(QStringLiteral(" / "))).toStdString();
            etat.SkipWithError(raison.c_str());
            return;
        }
        // The tables cleared for the next run: "Sauvegarde" answered Non lets the run go.
        boites.Reponses.push_back(TReponseBoite::Non);
        f.ResetBtn->click();
    }
    ImprimeFigure("beer_lecture", Mediane(lectures), "ms", 100);
    ImprimeFigure("memoire_apres_beer", MemoireResidenteMo(), "Mo", 80);
    FormMain->ChoixMode(0);
    Spectro = TspectroJenway{};
}
BENCHMARK(RunBeer)->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return ExecuteBancs<QApplication>(argc, argv);
}
