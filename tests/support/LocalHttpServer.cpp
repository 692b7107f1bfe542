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
    QByteArray& received = m_pending[socket];
    received += socket->readAll();
    const qsizetype end = received.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QByteArray head = received.left(end);
    received.clear();
    requests.append(head);

    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QString path = requestLine.size() > 1 ? QString::fromLatin1(requestLine[1]) : QString();
    const Response response = m_responses.value(path, Response{404, "not here", -1});
    const QByteArray reason = response.status == 200        ? "OK"
                              : response.status == 404      ? "Not Found"
                              : response.location.isEmpty() ? "Error"
                                                            : "Found";
    QByteArray answer = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reason +
                        "\r\nContent-Type: application/octet-stream\r\n";
    if (!response.location.isEmpty())
        answer += "Location: " + response.location + "\r\n";
    if (!response.endless)
        answer += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    answer += "Connection: close\r\n\r\n";
    if (response.endless) {
        socket->write(answer);
        connect(socket, &QTcpSocket::bytesWritten, this,
                [this, socket, body = response.body, sent = qint64(0)](qint64 written) mutable {
                    sent += written;
                    if (socket->bytesToWrite() < body.size())
                        sendMore(socket, body, sent);
                });
        sendMore(socket, response.body, 0);
        return;
    }
    if (response.trickleMs > 0) {
        socket->write(answer);
        trickle(socket, response.body, 0, response.trickleMs);
        return;
    }
    if (response.stallAfter >= 0) {
        socket->write(answer + response.body.left(response.stallAfter));
        socket->flush();
        return;
    }
    socket->write(answer + response.body);
    socket->disconnectFromHost();
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
