#pragma once

#include <QDialog>

class QPushButton;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    static const QString AdresseMiseAJour;

public slots:
    void BitBtn1Click();

private:
    QPushButton* OKButton;
    QPushButton* BitBtn1;
};
