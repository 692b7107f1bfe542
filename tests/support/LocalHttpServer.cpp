#include "support/LocalHttpServer.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

namespace testsupport {

LocalHttpServer::LocalHttpServer()
{
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::accept);
    m_server.listen(QHostAddress::LocalHost);
}

LocalHttpServer::~LocalHttpServer()
{
    // Connections still open (a stalled answer) go before the records they use.
    for (QTcpSocket* socket : m_server.findChildren<QTcpSocket*>()) {
        socket->disconnect(this);
        delete socket;
    }
}

QUrl LocalHttpServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

void LocalHttpServer::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        ++m_open;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            --m_open;
            m_pending.remove(socket);
            socket->deleteLater();
        });
    }
}

void LocalHttpServer::read(QTcpSocket* socket)
{
    m_pending[socket] += socket->readAll();
    // A redirect keeps the connection, so the client may ask again on it.
    for (;;) {
        QByteArray& received = m_pending[socket];
        const qsizetype end = received.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = received.left(end);
        received.remove(0, end + 4);
        requests.append(head);
        if (!answer(socket, head))
            return;
    }
}

bool LocalHttpServer::answer(QTcpSocket* socket, const QByteArray& head)
{

    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QString path = requestLine.size() > 1 ? QString::fromLatin1(requestLine[1]) : QString();
    const Response response = m_responses.value(path, Response{404, "not here", -1});
    const QByteArray reason = response.status == 200        ? "OK"
                              : response.status == 404      ? "Not Found"
                              : response.location.isEmpty() ? "Error"
                                                            : "Found";
    QByteArray message = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reason +
                         "\r\nContent-Type: application/octet-stream\r\n";
    if (!response.location.isEmpty())
        message += "Location: " + response.location + "\r\n";
    if (!response.endless)
        message += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    if (!response.location.isEmpty()) {
        socket->write(message + "\r\n" + response.body);
        return true;
    }
    message += "Connection: close\r\n\r\n";
    if (response.endless) {
        socket->write(message);
        connect(socket, &QTcpSocket::bytesWritten, this,
                [this, socket, body = response.body, sent = qint64(0)](qint64 written) mutable {
                    sent += written;
                    if (socket->bytesToWrite() < body.size())
                        sendMore(socket, body, sent);
                });
        sendMore(socket, response.body, 0);
        return false;
    }
    if (response.trickleMs > 0) {
        socket->write(message);
        trickle(socket, response.body, 0, response.trickleMs);
        return false;
    }
    if (response.stallAfter >= 0) {
        socket->write(message + response.body.left(response.stallAfter));
        socket->flush();
        return false;
    }
    socket->write(message + response.body);
    socket->disconnectFromHost();
    return false;
}

void LocalHttpServer::sendMore(QTcpSocket* socket, const QByteArray& body, qint64 sent)
{
    if (sent >= kEndlessLimit) {
        socket->disconnectFromHost();
        return;
    }
    socket->write(body);
}

void LocalHttpServer::trickle(QTcpSocket* socket, const QByteArray& body, qsizetype next, int intervalMs)
{
    if (next >= body.size()) {
        socket->disconnectFromHost();
        return;
    }
    socket->write(body.mid(next, 1));
    QTimer::singleShot(intervalMs, socket, [=, this] { trickle(socket, body, next + 1, intervalMs); });
}

} // namespace testsupport
