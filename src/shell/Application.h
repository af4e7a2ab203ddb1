#pragma once

#include <QApplication>

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
