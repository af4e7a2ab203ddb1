#pragma once

#include <QApplication>

#include <memory>

class QTranslator;

// The application object. An exception that reaches the message loop ends the user action in
// progress and is shown in the application's default error box; Qt never sees it.
class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* destinataire, QEvent* evenement) override;

    // The title of the default error box. Kept apart from Qt's display name, which the
    // platform would append to every window caption.
    static QString Titre();
    static void FixeTitre(const QString& titre);
};

// Qt's own dialogs and buttons (file and print dialogs, standard buttons) in French, as the rest
// of the program, whatever the system's language: Qt's French translation, installed while this
// object lives. Chargee() is false where the system lacks it (they stay in English).
class TTraductionQt {
public:
    TTraductionQt();
    ~TTraductionQt();
    TTraductionQt(const TTraductionQt&) = delete;
    TTraductionQt& operator=(const TTraductionQt&) = delete;

    bool Chargee() const { return chargee_; }

private:
    std::unique_ptr<QTranslator> traducteur_;
    bool chargee_ = false;
};

// The default error box: the application's title, the error icon, the message and OK.
void AfficheException(const std::exception& erreur);

// Runs a user action; an error ends it and goes to the default error box. Handlers use it so
// that no exception has to unwind through Qt's own frames.
template <class Action> void AvecBoiteErreur(Action&& action) {
    try {
        action();
    } catch (const std::exception& erreur) {
        AfficheException(erreur);
    }
}
