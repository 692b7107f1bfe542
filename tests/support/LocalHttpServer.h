#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

namespace testsupport {

//! A small HTTP/1.1 server on 127.0.0.1 for download tests. It answers GET
//! requests for the paths it was given (404 for others) and records what it
//! was asked. A connection ends after its answer, except after a redirect.
class LocalHttpServer : public QObject {
    Q_OBJECT
public:
    struct Response {
        Response(int code = 200, QByteArray content = {}, qint64 stallAfterBytes = -1)
            : status(code), body(std::move(content)), stallAfter(stallAfterBytes)
        {
        }
        int status = 200;
        QByteArray body;
        //! Sends the headers and only this many bytes of the body, then keeps
        //! the connection open without sending more (-1: the whole body).
        qint64 stallAfter = -1;
        //! A "Location" header (for a redirect status).
        QByteArray location;
        //! Sends `body` again and again without a length, as long as the
        //! client reads (at most kEndlessLimit bytes).
        bool endless = false;
        //! Sends the body one byte every this many milliseconds (0: at once).
        int trickleMs = 0;
    };
    //! Where an endless body stops, so the server always ends by itself.
    static constexpr qint64 kEndlessLimit = 256 * 1024 * 1024;

    //! Listens on a free port of 127.0.0.1.
    LocalHttpServer();
    ~LocalHttpServer() override;

    bool isListening() const { return m_server.isListening(); }
    QUrl url(const QString& path) const;
    void serve(const QString& path, const Response& response) { m_responses.insert(path, response); }

    //! The request line and headers of every request, as received.
    QList<QByteArray> requests;
    //! Connections still open (a stalled answer keeps one).
    int openConnections() const { return m_open; }

private:
    void accept();
    void read(QTcpSocket* socket);
    //! Answers one request; true when the connection stays open for more.
    bool answer(QTcpSocket* socket, const QByteArray& head);
    void sendMore(QTcpSocket* socket, const QByteArray& body, qint64 sent);
    void trickle(QTcpSocket* socket, const QByteArray& body, qsizetype next, int intervalMs);

    QTcpServer m_server;
    QHash<QString, Response> m_responses;
    QHash<QTcpSocket*, QByteArray> m_pending;
    int m_open = 0;
};

} // namespace testsupport
