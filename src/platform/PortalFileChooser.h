#pragma once

#include <QDBusConnection>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

//! The desktop's own file and folder dialog, asked for through the XDG
//! desktop portal's FileChooser on the session bus: the dialog the desktop
//! shows every program, in its own look and language. The window waits for
//! the answer without taking the user's input meanwhile, so the dialog is
//! modal to it as Qt's own is.
class PortalFileChooser {
public:
    struct Filter {
        QString name;
        QStringList globs; //!< "*.wav"
    };

    struct Request {
        //! The window the dialog belongs to ("x11:1c00007"); empty when it
        //! cannot be named.
        QString parentWindow;
        QString title;
        bool multiple = false;
        bool directory = false;
        //! The first one is the one selected.
        QList<Filter> filters;
        //! The folder it opens in; empty leaves it to the desktop.
        QString folder;
        //! One check box under the dialog, when `choiceLabel` is not empty.
        QString choiceLabel;
        bool choice = false;
    };

    struct Answer {
        bool accepted = false;
        //! Local paths of what was chosen.
        QStringList paths;
        //! The check box as the user left it.
        bool choice = false;
    };

    //! Whether the session offers the portal: it runs, or the bus can start it.
    static bool offered(const QDBusConnection& bus);

    //! Shows the desktop's dialog and waits for it. Nothing when the desktop
    //! offers no portal (or it refused the request): Qt's dialog is then the
    //! one to show.
    static std::optional<Answer> ask(const QDBusConnection& bus, const Request& request);

    //! The service, object and interface the dialog is asked of.
    static const QString& service();
    static const QString& objectPath();
    static const QString& interfaceName();

    //! The object path of the request that `handleToken` names for the
    //! connection with the unique name `uniqueName` (":1.42").
    static QString requestPath(const QString& uniqueName, const QString& handleToken);
};

} // namespace platform
