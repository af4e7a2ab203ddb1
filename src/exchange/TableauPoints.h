#pragma once

#include <QAbstractTableModel>
#include <QWidget>

class QTableView;
class Tgraphe;

// The stored points of a graph as table rows, read from its curve as they are: a row per point,
// the axes' symbols and units as column titles. Read only.
class TModelePoints final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TModelePoints(const Tgraphe& graphe, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Catches up with the curve: the new points are appended as rows, the rest stay as they are;
    // a curve that holds fewer points (a new run, an undo) loses its last rows.
    void Actualise();
    // The value of a cell with the system's decimal separator; empty for an unreadable one.
    QString Texte(int ligne, int colonne) const;

private:
    const Tgraphe& graphe_;
    int lignes_ = 0;
    QString titres_[2];
};

// "Tableau": the window of the points of a mode, which follows its run. Its cells can be
// selected; Ctrl+C puts them on the clipboard as a spreadsheet takes them: a tab between the
// columns, a line end after each row, the system's decimal separator.
class TTableauPoints final : public QWidget {
    Q_OBJECT
public:
    // A window of its own, owned by `parent` (the mode window), hidden when the mode is left
    // (not when its window is minimised).
    TTableauPoints(const Tgraphe& graphe, const QString& titre, QWidget* parent);

    // To call after every point stored, and after a reset: the table follows, scrolled to the
    // newest row when it showed the last one.
    void Actualise();
    // The selected cells as Ctrl+C copies them.
    QString TexteSelection() const;
    void Copie() const;

    QTableView* Grille;

protected:
    void showEvent(QShowEvent* evenement) override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    TModelePoints modele_;
};
