#include "exchange/FormDDE.h"

TFormDDE::TFormDDE(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FormDDE"));
    setWindowTitle(QStringLiteral("DDE"));
}
