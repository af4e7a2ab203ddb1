#pragma once

#include <QGroupBox>
#include <QLineEdit>
#include <QString>
#include <QWidget>

class QButtonGroup;
class QGridLayout;
class QLabel;
class QRadioButton;
class QToolButton;

// A hint holds a short part (the tooltip) and a long part (the status bar of the active mode
// window), separated by '|'. Without '|', both parts are the whole hint.
QString PartieCourte(const QString& aide);
QString PartieLongue(const QString& aide);
void FixeAide(QWidget& controle, const QString& aide);

// Gives a control its component name and the accessible name that screen readers and UI
// automation find it by: its caption, else the short part of its hint, else the long part,
// else the text of its label.
void Nomme(QWidget& controle, const QString& nom, const QLabel* etiquette = nullptr);

// Activates a window and gives the keyboard back to the control of it that held it (an edit, the
// kinetics space bar), not to the window itself, where no key would do anything.
void ActiveFenetre(QWidget& fenetre);

// A field where only a number is typed. The Ctrl+letter table of Greek letters does not reach
// it (a Greek letter is never a valid number there): Ctrl+C, Ctrl+V, Ctrl+X and Ctrl+Z keep their
// usual meaning. The edit of a spin edit is one.
void FixeChampNumerique(QLineEdit& edit);
bool EstChampNumerique(const QObject& controle);

// The value of mini…maxi nearest to `valeur`. A range whose bounds cross holds mini only.
qint32 Borne(qint32 valeur, qint32 mini, qint32 maxi);

// An integer edit with up and down arrows that behaves like the classic spin edit: the text
// is free (a value out of range can be typed and is read as typed), setting the value shows
// the nearest bound, and the arrows step within the range.
class TSpinEdit : public QWidget {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    // Bounds that cross leave the minimum as the only value.
    void FixeBornes(qint32 mini, qint32 maxi);
    void FixeIncrement(qint32 increment) { increment_ = increment; }
    qint32 MinValue() const { return mini_; }
    qint32 MaxValue() const { return maxi_; }

    // The text read as an integer; a text that is not one gives the minimum.
    qint32 Value() const;
    void SetValue(qint32 valeur);
    // The value within the range, shown in place of a text that said otherwise: what the
    // program then uses is what the user sees.
    qint32 ValeurBornee();

    QLineEdit& Edit() { return *edit_; }
    QString Text() const { return edit_->text(); }

signals:
    void Change();

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    void Pas(qint32 sens);

    QLineEdit* edit_;
    QToolButton* haut_;
    QToolButton* bas_;
    qint32 mini_ = 0;
    qint32 maxi_ = 100;
    qint32 increment_ = 1;
};

// A titled group of radio buttons laid out in columns, filled column by column, with the index
// of the chosen item (-1 for none).
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& titre, int colonnes, QWidget* parent = nullptr);

    void FixeItems(const QStringList& items);
    int Nombre() const;
    QRadioButton* Item(int index) const;

    int ItemIndex() const;
    void SetItemIndex(int index);

signals:
    void Click();

private:
    void Dispose();

    int colonnes_;
    QButtonGroup* groupe_;
    QGridLayout* grille_;
};
