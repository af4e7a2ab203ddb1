#include "exchange/TableauPoints.h"

#include "base/Regional.h"
#include "base/Utilitaires.h"
#include "exchange/Csv.h"
#include "graph/Graphe.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <map>

TModelePoints::TModelePoints(const Tgraphe& graphe, QObject* parent)
    : QAbstractTableModel(parent), graphe_(graphe) {
    lignes_ = graphe_.Courbe.NbValides();
    titres_[0] = TitreColonne(graphe_.MondeX);
    titres_[1] = TitreColonne(graphe_.MondeY);
}

int TModelePoints::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : lignes_;
}

int TModelePoints::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QString TModelePoints::Texte(int ligne, int colonne) const {
    if (ligne < 0 || ligne >= lignes_ || !graphe_.Courbe.PointLisible(ligne))
        return QString();
    const double valeur = colonne == 0 ? graphe_.Courbe.X[ligne] : graphe_.Courbe.Y[ligne];
    return FormatGeneral(valeur, 7, 2, Regional().SeparateurDecimal);
}

QVariant TModelePoints::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return Texte(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant TModelePoints::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return section >= 0 && section < 2 ? titres_[section] : QString();
}

Qt::ItemFlags TModelePoints::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

void TModelePoints::Actualise() {
    const int n = graphe_.Courbe.NbValides();
    if (n > lignes_) {
        beginInsertRows({}, lignes_, n - 1);
        lignes_ = n;
        endInsertRows();
    } else {
        if (n < lignes_) {
            beginRemoveRows({}, n, lignes_ - 1);
            lignes_ = n;
            endRemoveRows();
        }
        // A new run of as many points, or an undone point replaced: the values may have changed.
        if (n > 0)
            emit dataChanged(index(0, 0), index(n - 1, 1));
    }
    const QString titres[2] = {TitreColonne(graphe_.MondeX), TitreColonne(graphe_.MondeY)};
    if (titres[0] != titres_[0] || titres[1] != titres_[1]) {
        titres_[0] = titres[0];
        titres_[1] = titres[1];
        emit headerDataChanged(Qt::Horizontal, 0, 1);
    }
}

TTableauPoints::TTableauPoints(const Tgraphe& graphe, const QString& titre, QWidget* parent)
    : QWidget(parent, Qt::Window), modele_(graphe) {
    setObjectName(QStringLiteral("TableauPoints"));
    setWindowTitle(titre);
    Grille = new QTableView(this);
    Grille->setObjectName(QStringLiteral("GrillePoints"));
    Grille->setAccessibleName(QStringLiteral("Tableau des points"));
    Grille->setModel(&modele_);
    Grille->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grille->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Grille->setSelectionBehavior(QAbstractItemView::SelectItems);
    Grille->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    auto* const copie = new QAction(QStringLiteral("Copier"), Grille);
    copie->setShortcut(QKeySequence::Copy);
    copie->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copie, &QAction::triggered, this, &TTableauPoints::Copie);
    Grille->addAction(copie);
    Grille->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* const disposition = new QVBoxLayout(this);
    disposition->setContentsMargins(0, 0, 0, 0);
    disposition->addWidget(Grille);
    resize(340, 480);
    if (parent != nullptr)
        parent->installEventFilter(this);
}

bool TTableauPoints::eventFilter(QObject* objet, QEvent* evenement) {
    if (objet == parentWidget() && evenement->type() == QEvent::Hide && !evenement->spontaneous())
        hide();
    return QWidget::eventFilter(objet, evenement);
}

void TTableauPoints::Actualise() {
    const QScrollBar* const defilement = Grille->verticalScrollBar();
    const bool enBas = defilement->value() == defilement->maximum();
    modele_.Actualise();
    if (enBas)
        Grille->scrollToBottom();
}

void TTableauPoints::showEvent(QShowEvent* evenement) {
    Actualise();
    QWidget::showEvent(evenement);
}

QString TTableauPoints::TexteSelection() const {
    // Row by row, each from the first to the last selected column; a cell left out of the
    // selection inside that span stays an empty cell, so that the columns keep their place.
    std::map<int, std::map<int, QString>> cellules;
    int premiere = modele_.columnCount(), derniere = -1;
    for (const QModelIndex& index : Grille->selectionModel()->selectedIndexes()) {
        cellules[index.row()][index.column()] = modele_.Texte(index.row(), index.column());
        premiere = std::min(premiere, index.column());
        derniere = std::max(derniere, index.column());
    }
    QString texte;
    for (const auto& [ligne, colonnes] : cellules) {
        QStringList valeurs;
        for (int colonne = premiere; colonne <= derniere; ++colonne) {
            const auto cellule = colonnes.find(colonne);
            valeurs << (cellule == colonnes.end() ? QString() : cellule->second);
        }
        texte += valeurs.join(u'\t') + u'\n';
    }
    return texte;
}

void TTableauPoints::Copie() const {
    const QString texte = TexteSelection();
    if (!texte.isEmpty())
        QGuiApplication::clipboard()->setText(texte);
}
