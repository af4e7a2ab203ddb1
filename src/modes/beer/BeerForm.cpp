#include "modes/beer/BeerForm.h"

#include <QStatusBar>
#include <QVBoxLayout>

TBeerForm::TBeerForm(QWidget* parent)
    : QWidget(parent, Qt::Window), StatusBar(new QStatusBar(this)) {
    setObjectName(QStringLiteral("BeerForm"));
    setWindowTitle(QStringLiteral("Loi de Beer-Lambert"));
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    auto* page = new QVBoxLayout(this);
    page->addStretch();
    page->addWidget(StatusBar);
}

void TBeerForm::AfficheAide(const QString& texte) {
    StatusBar->showMessage(texte);
}
