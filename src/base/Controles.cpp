#include "base/Controles.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

QString PartieCourte(const QString& aide) {
    return aide.section(u'|', 0, 0);
}

QString PartieLongue(const QString& aide) {
    const qsizetype barre = aide.indexOf(u'|');
    return barre < 0 ? aide : aide.mid(barre + 1);
}

void FixeAide(QWidget& controle, const QString& aide) {
    controle.setToolTip(PartieCourte(aide));
    controle.setStatusTip(PartieLongue(aide));
}

namespace {

QString SansEsperluette(QString texte) {
    texte.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    texte.remove(u'&');
    return texte.replace(u'\x01', u'&');
}

QString Legende(const QWidget& controle) {
    if (const auto* bouton = qobject_cast<const QAbstractButton*>(&controle))
        return SansEsperluette(bouton->text());
    if (const auto* groupe = qobject_cast<const QGroupBox*>(&controle))
        return SansEsperluette(groupe->title());
    if (const auto* label = qobject_cast<const QLabel*>(&controle))
        return SansEsperluette(label->text());
    return QString();
}

} // namespace

void ActiveFenetre(QWidget& fenetre) {
    fenetre.activateWindow();
    if (QWidget* controle = fenetre.focusWidget(); controle && controle != &fenetre)
        controle->setFocus(Qt::ActiveWindowFocusReason);
}

void Nomme(QWidget& controle, const QString& nom, const QLabel* etiquette) {
    controle.setObjectName(nom);
    QString accessible = Legende(controle);
    if (accessible.isEmpty())
        accessible = controle.toolTip();
    if (accessible.isEmpty())
        accessible = controle.statusTip();
    if (accessible.isEmpty() && etiquette)
        accessible = SansEsperluette(etiquette->text());
    controle.setAccessibleName(accessible);
}

namespace {
constexpr char kChampNumerique[] = "champNumerique";
}

void FixeChampNumerique(QLineEdit& edit) {
    edit.setProperty(kChampNumerique, true);
}

bool EstChampNumerique(const QObject& controle) {
    return controle.property(kChampNumerique).toBool();
}

qint32 Borne(qint32 valeur, qint32 mini, qint32 maxi) {
    return std::clamp(valeur, mini, std::max(mini, maxi));
}

TSpinEdit::TSpinEdit(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), haut_(new QToolButton(this)),
      bas_(new QToolButton(this)) {
    auto* ligne = new QHBoxLayout(this);
    ligne->setContentsMargins(0, 0, 0, 0);
    ligne->setSpacing(0);
    ligne->addWidget(edit_, 1);
    FixeChampNumerique(*edit_);
    auto* fleches = new QVBoxLayout;
    fleches->setSpacing(0);
    for (QToolButton* b : {haut_, bas_}) {
        b->setArrowType(b == haut_ ? Qt::UpArrow : Qt::DownArrow);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(16, 11);
        fleches->addWidget(b);
    }
    ligne->addLayout(fleches);
    setFocusProxy(edit_);
    edit_->installEventFilter(this);
    connect(haut_, &QToolButton::clicked, this, [this] { Pas(+1); });
    connect(bas_, &QToolButton::clicked, this, [this] { Pas(-1); });
    connect(edit_, &QLineEdit::textChanged, this, &TSpinEdit::Change);
    SetValue(0);
}

void TSpinEdit::FixeBornes(qint32 mini, qint32 maxi) {
    mini_ = mini;
    maxi_ = maxi;
}

qint32 TSpinEdit::Value() const {
    bool ok = false;
    const qint32 valeur = edit_->text().trimmed().toInt(&ok);
    return ok ? valeur : mini_;
}

void TSpinEdit::SetValue(qint32 valeur) {
    edit_->setText(QString::number(Borne(valeur, mini_, maxi_)));
}

qint32 TSpinEdit::ValeurBornee() {
    const qint32 valeur = Borne(Value(), mini_, maxi_);
    if (edit_->text() != QString::number(valeur))
        SetValue(valeur);
    return Value(); // a change handler may have moved the bounds and the value with them
}

void TSpinEdit::Pas(qint32 sens) {
    SetValue(Value() + sens * increment_);
}

bool TSpinEdit::eventFilter(QObject* objet, QEvent* evenement) {
    if (objet == edit_ && evenement->type() == QEvent::KeyPress) {
        const int touche = static_cast<QKeyEvent*>(evenement)->key();
        if (touche == Qt::Key_Up || touche == Qt::Key_Down) {
            Pas(touche == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(objet, evenement);
}

TRadioGroup::TRadioGroup(const QString& titre, int colonnes, QWidget* parent)
    : QGroupBox(titre, parent), colonnes_(std::max(1, colonnes)), groupe_(new QButtonGroup(this)),
      grille_(new QGridLayout(this)) {
    connect(groupe_, &QButtonGroup::idClicked, this, &TRadioGroup::Click);
}

void TRadioGroup::FixeItems(const QStringList& items) {
    for (QAbstractButton* b : groupe_->buttons()) {
        groupe_->removeButton(b);
        delete b;
    }
    for (const QString& texte : items) {
        auto* bouton = new QRadioButton(texte, this);
        bouton->setObjectName(SansEsperluette(texte));
        bouton->setAccessibleName(SansEsperluette(texte));
        groupe_->addButton(bouton, groupe_->buttons().size());
    }
    Dispose();
}

void TRadioGroup::Dispose() {
    const int nombre = Nombre();
    const int parColonne = std::max(1, (nombre + colonnes_ - 1) / colonnes_);
    for (int i = 0; i < nombre; ++i)
        grille_->addWidget(Item(i), i % parColonne, i / parColonne);
}

int TRadioGroup::Nombre() const {
    return static_cast<int>(groupe_->buttons().size());
}

QRadioButton* TRadioGroup::Item(int index) const {
    return qobject_cast<QRadioButton*>(groupe_->button(index));
}

int TRadioGroup::ItemIndex() const {
    return groupe_->checkedId();
}

void TRadioGroup::SetItemIndex(int index) {
    if (QRadioButton* choisi = Item(index)) {
        choisi->setChecked(true);
        return;
    }
    if (QAbstractButton* coche = groupe_->checkedButton()) {
        groupe_->setExclusive(false); // an exclusive group cannot be left with nothing checked
        coche->setChecked(false);
        groupe_->setExclusive(true);
    }
}
