#include "platform/PortalFileChooser.h"

#include "platform/FileName.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QObject>
#include <QRandomGenerator>
#include <QUrl>
#include <QVariantMap>

namespace {

// The portal's own shapes: a filter is a name with its patterns (type 0: a
// glob), a choice an id, a label, its options (none: a check box) and its value.
struct PortalPattern {
    uint type = 0;
    QString pattern;
};
struct PortalFilter {
    QString name;
    QList<PortalPattern> patterns;
};
struct PortalPair {
    QString id;
    QString value;
};
struct PortalChoice {
    QString id;
    QString label;
    QList<PortalPair> options;
    QString initial;
};

} // namespace

Q_DECLARE_METATYPE(PortalPattern)
Q_DECLARE_METATYPE(PortalFilter)
Q_DECLARE_METATYPE(PortalPair)
Q_DECLARE_METATYPE(PortalChoice)

namespace {

QDBusArgument& operator<<(QDBusArgument& out, const PortalPattern& pattern)
{
    out.beginStructure();
    out << pattern.type << pattern.pattern;
    out.endStructure();
    return out;
}
const QDBusArgument& operator>>(const QDBusArgument& in, PortalPattern& pattern)
{
    in.beginStructure();
    in >> pattern.type >> pattern.pattern;
    in.endStructure();
    return in;
}
QDBusArgument& operator<<(QDBusArgument& out, const PortalFilter& filter)
{
    out.beginStructure();
    out << filter.name << filter.patterns;
    out.endStructure();
    return out;
}
const QDBusArgument& operator>>(const QDBusArgument& in, PortalFilter& filter)
{
    in.beginStructure();
    in >> filter.name >> filter.patterns;
    in.endStructure();
    return in;
}
QDBusArgument& operator<<(QDBusArgument& out, const PortalPair& pair)
{
    out.beginStructure();
    out << pair.id << pair.value;
    out.endStructure();
    return out;
}
const QDBusArgument& operator>>(const QDBusArgument& in, PortalPair& pair)
{
    in.beginStructure();
    in >> pair.id >> pair.value;
    in.endStructure();
    return in;
}
QDBusArgument& operator<<(QDBusArgument& out, const PortalChoice& choice)
{
    out.beginStructure();
    out << choice.id << choice.label << choice.options << choice.initial;
    out.endStructure();
    return out;
}
const QDBusArgument& operator>>(const QDBusArgument& in, PortalChoice& choice)
{
    in.beginStructure();
    in >> choice.id >> choice.label >> choice.options >> choice.initial;
    in.endStructure();
    return in;
}

void registerTypes()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<PortalPattern>();
        qDBusRegisterMetaType<QList<PortalPattern>>();
        qDBusRegisterMetaType<PortalFilter>();
        qDBusRegisterMetaType<QList<PortalFilter>>();
        qDBusRegisterMetaType<PortalPair>();
        qDBusRegisterMetaType<QList<PortalPair>>();
        qDBusRegisterMetaType<PortalChoice>();
        qDBusRegisterMetaType<QList<PortalChoice>>();
        return true;
    }();
    (void)registered;
}

const QString kChoiceId = QStringLiteral("option");

} // namespace

namespace platform {

namespace {

//! Receives the portal's answer to one request.
class PortalResponse : public QObject {
    Q_OBJECT
public:
    bool answered = false;
    uint code = 2;
    QVariantMap results;

Q_SIGNALS:
    void done();

public Q_SLOTS:
    void Response(uint response, const QVariantMap& answer)
    {
        answered = true;
        code = response;
        results = answer;
        Q_EMIT done();
    }
};

QVariantMap requestOptions(const PortalFileChooser::Request& request, const QString& token)
{
    QVariantMap options;
    options.insert(QStringLiteral("handle_token"), token);
    options.insert(QStringLiteral("modal"), true);
    options.insert(QStringLiteral("multiple"), request.multiple);
    options.insert(QStringLiteral("directory"), request.directory);
    QList<PortalFilter> filters;
    for (const PortalFileChooser::Filter& filter : request.filters) {
        PortalFilter entry{filter.name, {}};
        for (const QString& glob : filter.globs)
            entry.patterns.append({0, glob});
        filters.append(entry);
    }
    if (!filters.isEmpty()) {
        options.insert(QStringLiteral("filters"), QVariant::fromValue(filters));
        options.insert(QStringLiteral("current_filter"), QVariant::fromValue(filters.front()));
    }
    if (!request.folder.isEmpty())
        options.insert(QStringLiteral("current_folder"), nativeName(request.folder) + '\0');
    if (!request.choiceLabel.isEmpty()) {
        const QList<PortalChoice> choices{
            {kChoiceId, request.choiceLabel, {}, request.choice ? QStringLiteral("true") : QStringLiteral("false")}};
        options.insert(QStringLiteral("choices"), QVariant::fromValue(choices));
    }
    return options;
}

PortalFileChooser::Answer readAnswer(const PortalResponse& response, const PortalFileChooser::Request& request)
{
    PortalFileChooser::Answer answer;
    answer.choice = request.choice;
    if (response.code != 0)
        return answer;
    const QStringList uris = response.results.value(QStringLiteral("uris")).toStringList();
    for (const QString& uri : uris) {
        const QString path = pathOfFileUrl(QUrl(uri));
        if (!path.isEmpty())
            answer.paths.append(path);
    }
    const QVariant choices = response.results.value(QStringLiteral("choices"));
    if (choices.canConvert<QDBusArgument>()) {
        QList<PortalPair> chosen;
        choices.value<QDBusArgument>() >> chosen;
        for (const PortalPair& pair : chosen)
            if (pair.id == kChoiceId)
                answer.choice = pair.value == QLatin1String("true");
    }
    answer.accepted = !answer.paths.isEmpty();
    return answer;
}

} // namespace

const QString& PortalFileChooser::service()
{
    static const QString name = QStringLiteral("org.freedesktop.portal.Desktop");
    return name;
}

const QString& PortalFileChooser::objectPath()
{
    static const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
    return path;
}

const QString& PortalFileChooser::interfaceName()
{
    static const QString name = QStringLiteral("org.freedesktop.portal.FileChooser");
    return name;
}

QString PortalFileChooser::requestPath(const QString& uniqueName, const QString& handleToken)
{
    QString sender = uniqueName.startsWith(u':') ? uniqueName.mid(1) : uniqueName;
    sender.replace(u'.', u'_');
    return QStringLiteral("/org/freedesktop/portal/desktop/request/") + sender + u'/' + handleToken;
}

bool PortalFileChooser::offered(const QDBusConnection& bus)
{
    if (!bus.isConnected() || !bus.interface())
        return false;
    if (bus.interface()->isServiceRegistered(service()).value())
        return true;
    // Not running yet: the bus starts it on the first request when it can.
    const QDBusReply<QStringList> activatable = bus.interface()->call(QStringLiteral("ListActivatableNames"));
    return activatable.isValid() && activatable.value().contains(service());
}

std::optional<PortalFileChooser::Answer> PortalFileChooser::ask(const QDBusConnection& bus, const Request& request)
{
    if (!bus.isConnected())
        return std::nullopt;
    registerTypes();
    QDBusConnection connection(bus);
    const QString token = QStringLiteral("tonemill%1").arg(QRandomGenerator::global()->generate());
    const QString expected = requestPath(connection.baseService(), token);
    const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
    const QString responseName = QStringLiteral("Response");

    // Listening before asking: the answer may come at once.
    PortalResponse response;
    QEventLoop waiting;
    QObject::connect(&response, &PortalResponse::done, &waiting, &QEventLoop::quit);
    connection.connect(service(), expected, requestInterface, responseName, &response,
                       SLOT(Response(uint, QVariantMap)));

    // Folders too are chosen with OpenFile, asked for as "directory".
    QDBusMessage call =
        QDBusMessage::createMethodCall(service(), objectPath(), interfaceName(), QStringLiteral("OpenFile"));
    call << request.parentWindow << request.title << requestOptions(request, token);
    QDBusPendingCallWatcher sent(connection.asyncCall(call));
    QObject::connect(&sent, &QDBusPendingCallWatcher::finished, &waiting, &QEventLoop::quit);
    // The user's clicks and keys wait while the dialog is up: it is modal.
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    const QDBusPendingReply<QDBusObjectPath> handle = sent;
    if (!response.answered && (handle.isError() || !handle.isValid())) {
        connection.disconnect(service(), expected, requestInterface, responseName, &response,
                              SLOT(Response(uint, QVariantMap)));
        return std::nullopt;
    }
    // An older portal names the request itself.
    const QString path = handle.isValid() ? handle.value().path() : expected;
    if (path != expected) {
        connection.disconnect(service(), expected, requestInterface, responseName, &response,
                              SLOT(Response(uint, QVariantMap)));
        connection.connect(service(), path, requestInterface, responseName, &response,
                           SLOT(Response(uint, QVariantMap)));
    }
    // A portal that goes away never answers: that counts as cancelled.
    QDBusServiceWatcher gone(service(), connection, QDBusServiceWatcher::WatchForUnregistration);
    QObject::connect(&gone, &QDBusServiceWatcher::serviceUnregistered, &waiting, &QEventLoop::quit);
    if (!response.answered)
        waiting.exec(QEventLoop::ExcludeUserInputEvents);
    connection.disconnect(service(), path, requestInterface, responseName, &response,
                          SLOT(Response(uint, QVariantMap)));
    return readAnswer(response, request);
}

} // namespace platform

#include "PortalFileChooser.moc"
